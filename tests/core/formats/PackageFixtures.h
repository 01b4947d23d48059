#pragma once
// A small project for package tests: two panels (one cropped, one with a captured
// cursor), annotations on panels and canvas, and a store holding the three images the
// project uses plus one it does not.

#include "core/formats/ProjectPackage.h"
#include "core/imaging/ImageCoding.h"

#include "support/ModelBuilders.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace vorlix::test {

inline const QUuid firstImage = uuid(101);
inline const QUuid secondImage = uuid(102);
inline const QUuid cursorImage = uuid(103);
inline const QUuid unusedImage = uuid(104);

inline QByteArray pngBytes(QColor colour, int w = 4, int h = 3)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return *ImageCoding::encode(image, ImageType::png, 1, 0.9);
}

inline DocumentModel sampleDocument()
{
    DocumentModel d;
    Panel first;
    first.id = uuid(1);
    first.imageID = firstImage;
    first.pixelSize = {4, 3};
    first.crop = Rect(1, 0, 2, 3);
    first.annotations = {Annotation::make(uuid(11), AnnotationKind::arrow, {{0, 0}, {3, 2}})};
    Panel second;
    second.id = uuid(2);
    second.imageID = secondImage;
    second.pixelSize = {4, 3};
    second.origin = {0, 40};
    second.cursor = CursorElement{{1, 1}, cursorImage, {0, 0}, true, false};
    second.annotations = {Annotation::make(uuid(12), AnnotationKind::text, {{1, 1}}, QStringLiteral("Ciao è"))};
    d.panels = {first, second};
    d.annotations = {Annotation::make(uuid(13), AnnotationKind::line, {{0, 0}, {10, 10}})};
    d.background = ColorBackground{RGBAColor::hex("#1A1D20")};
    return d;
}

inline ImageStore sampleStore()
{
    ImageStore store;
    store.add({pngBytes(Qt::red), QStringLiteral("png")}, firstImage);
    store.add({pngBytes(Qt::green), QStringLiteral("JPG")}, secondImage); // the name keeps the case
    store.add({pngBytes(Qt::black, 2, 2), QStringLiteral("png")}, cursorImage);
    store.add({pngBytes(Qt::blue), QStringLiteral("png")}, unusedImage);
    return store;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace vorlix::test
