#pragma once
// A project document over settings of its own, and encoded pictures to add to it.

#include "app/editor/document/ProjectDocument.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"

#include "core/imaging/ImageCoding.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace vorlix::test {

// A w × h opaque picture of one colour, as PNG recording `pixelsPerPoint` × 72 dots per inch.
inline QByteArray solidPng(QColor colour, int w, int h, double pixelsPerPoint = 1)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return *ImageCoding::encode(image, ImageType::png, pixelsPerPoint, 0.9);
}

struct DocumentTest : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
};

} // namespace vorlix::test
