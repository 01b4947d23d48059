// Writes the seed corpus of the fuzz targets with our own writers, so every seed is a
// file the program really makes: `fuzz_seeds fuzz/corpus` (folders are created).

#include "FuzzSupport.h"

#include "app/shell/startup/ForwardedArguments.h"

#include "support/ModelBuilders.h"

#include "core/document/AnnotationClipboard.h"
#include "core/document/DocumentAnnotations.h"
#include "core/formats/HistoryEntry.h"
#include "core/formats/PngChunks.h"
#include "core/formats/ProjectPackage.h"
#include "core/imaging/ImageCoding.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

QString folder;

void write(const QString& target, const QString& name, const QByteArray& bytes)
{
    const QString dir = folder + u'/' + target;
    QDir().mkpath(dir);
    QFile file(dir + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fuzz::fail("cannot write a seed");
}

QByteArray bytesOf(const std::string& text) { return QByteArray(text.data(), qsizetype(text.size())); }

// Every annotation kind once on the document, with three points each.
DocumentModel everyKindDocument()
{
    DocumentModel doc;
    Panel panel;
    panel.id = test::uuid(100);
    panel.imageID = test::uuid(101);
    panel.pixelSize = {640, 480};
    doc.panels = {panel};
    int n = 200;
    for (const AnnotationKind kind : allCases<AnnotationKind>()) {
        const std::vector<Point> points = {{10.0 + n % 7, 20}, {120, 80.5}, {60, 140}};
        doc.annotations.push_back(Annotation::make(test::uuid(n++), kind, points,
                                                   isTextual(kind) ? QStringLiteral("Testo è qui") : QString()));
    }
    return doc;
}

QImage sampleImage(bool alpha)
{
    QImage image(24, 16, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    image.fill(alpha ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    painter.fillRect(2, 2, 12, 8, QColor(230, 40, 60, 200));
    painter.setPen(Qt::blue);
    painter.drawLine(0, 15, 23, 0);
    return image;
}

HistoryEntry sampleEntry(bool full)
{
    HistoryEntry entry;
    entry.id = test::uuid(7);
    entry.date = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    entry.captureKind = full ? CaptureKind::scrolling : CaptureKind::area;
    entry.pixelWidth = 24;
    entry.pixelHeight = 16;
    entry.pixelsPerPoint = full ? 2 : 1;
    if (full) {
        entry.sourceAppName = QStringLiteral("Editor di testo");
        entry.sourceAppBundleID = QStringLiteral("org.example.editor");
        entry.sourceWindowTitle = QStringLiteral("Relazione — bozza ✓");
        entry.recognizedText = QStringLiteral("Riga uno\nRiga due");
    }
    return entry;
}

QByteArray encoded(const std::optional<QByteArray>& data)
{
    if (!data)
        fuzz::fail("a writer gave nothing");
    return *data;
}

// A package in the package target's framing: the document, then for each image the
// document uses (in set order) the separator FF FE, a placement byte (0: PNG file,
// 1: JPEG file) and the file's bytes.
QByteArray framedPackage(const DocumentModel& doc, const ImageStore& store, const QByteArray& documentJSON)
{
    QByteArray out = documentJSON;
    for (const QUuid& id : referencedImageIDs(doc)) {
        const ImageAsset asset = *store.asset(id);
        out.append("\xff\xfe", 2);
        out.append(asset.fileExtension == u"png" ? '\0' : '\1');
        out.append(asset.data);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder>\n");
        return 2;
    }
    fuzz::startApplication();
    folder = QString::fromLocal8Bit(argv[1]);

    // document.json
    write("document", "empty.json", bytesOf(encodeJson(DocumentModel{}).dump()));
    write("document", "off-default.json", bytesOf(encodeJson(test::offDefaultDocument()).dump(2)));
    // Every kind in groups of four, so each seed stays a few KiB.
    const DocumentModel kinds = everyKindDocument();
    for (std::size_t first = 0; first < kinds.annotations.size(); first += 4) {
        DocumentModel group = kinds;
        group.annotations.assign(kinds.annotations.begin() + first,
                                 kinds.annotations.begin() + std::min(first + 4, kinds.annotations.size()));
        const QString name = QStringLiteral("kinds-%1.json").arg(first / 4 + 1);
        write("document", name, bytesOf(encodeJson(group).dump()));
        std::set<QUuid> ids;
        for (const Annotation& a : group.annotations)
            ids.insert(a.id);
        write("clipboard", name, AnnotationClipboard::copy(group, ids).encoded());
    }
    const DocumentModel styled = test::offDefaultDocument();
    std::set<QUuid> styledIDs;
    for (const Annotation& a : styled.panels[0].annotations)
        styledIDs.insert(a.id);
    write("clipboard", "styled-callout.json", AnnotationClipboard::copy(styled, styledIDs).encoded());

    // history PNGs: our shots with their records, tEXt and iTXt
    const QImage opaque = sampleImage(false);
    const QImage clear = sampleImage(true);
    write("history_png", "plain.png",
          encoded(ImageCoding::encode(opaque, ImageType::png, 1, 0.9,
                                      QString::fromStdString(encodeHistoryEntry(sampleEntry(false))))));
    write("history_png", "unicode.png",
          encoded(ImageCoding::encode(clear, ImageType::png, 2, 0.9,
                                      QString::fromStdString(encodeHistoryEntry(sampleEntry(true))))));
    write("history_png", "rewritten.png",
          encoded(PngChunks::withDescription(encoded(ImageCoding::encode(opaque, ImageType::png, 1, 0.9)),
                                             QString::fromStdString(encodeHistoryEntry(sampleEntry(true))))));

    // images the store decodes
    write("image", "opaque.png", encoded(ImageCoding::encode(opaque, ImageType::png, 1, 0.9)));
    write("image", "alpha-144dpi.png", encoded(ImageCoding::encode(clear, ImageType::png, 2, 0.9)));
    write("image", "quality-90.jpeg", encoded(ImageCoding::encode(opaque, ImageType::jpeg, 2, 0.9)));
    write("image", "quality-30.jpeg", encoded(ImageCoding::encode(clear, ImageType::jpeg, 1, 0.3)));
    write("image", "described.png",
          encoded(ImageCoding::encode(opaque, ImageType::png, 1, 0.9, QStringLiteral("Descrizione"))));

    // project packages: our own package files, and an older document the reader upgrades
    const DocumentModel older = test::offDefaultDocument(); // format 2, step numbers shown
    ImageStore store;
    store.add(ImageAsset{encoded(ImageCoding::encode(opaque, ImageType::png, 1, 0.9)), u"png"_s},
              older.panels[0].imageID);
    store.add(ImageAsset{encoded(ImageCoding::encode(clear, ImageType::jpeg, 1, 0.5)), u"jpeg"_s},
              older.panels[0].cursor->imageID);
    const ProjectPackage::PackageFiles files = ProjectPackage::files(older, store);
    write("package", "current.bin", framedPackage(older, store, files.documentJSON));
    write("package", "version-2.bin", framedPackage(older, store, bytesOf(encodeJson(older).dump())));

    // SVG path data as the icons write it, and the oddities the reader accepts
    write("svg_path", "arrow.txt", "M5.8 18.2L13.3 9.9L11.5 8.1L20 4L15.9 12.5L14.1 10.7Z");
    write("svg_path", "ellipse.txt", "M4 12C4 8.69 7.58 6 12 6S20 8.69 20 12S16.42 18 12 18S4 15.31 4 12Z");
    write("svg_path", "corner-marks.txt", "M2 6.5V2h4.5M11.5 2H16v4.5M16 11.5V16h-4.5M6.5 16H2v-4.5");
    write("svg_path", "pen-stroke.txt",
          "M5.2 12.9C7.4 11.3 9.6 8.4 11.8 5.4c.5-.7 1.6-.3 1.3.5-1.5 3.5-4.2 6.9-7 8.3-.9.4-1.5-.7-.9-1.3z");
    write("svg_path", "oddities.txt", "12,34 m1.5.5-2 3 4L A1 2 3Q L5 6e7 z 1 2 s1 2 3 4 H");

    // what a later start hands over: a command URL, files beside a URL, nothing
    write("forwarded_arguments", "command.bin", ForwardedArguments::encode({u"vorlix://capture/screen"_s}));
    write("forwarded_arguments", "files.bin",
          ForwardedArguments::encode({u"/home/utente/Immagini/è qui.png"_s, u"vorlix://capture/area"_s}));
    write("forwarded_arguments", "empty.bin", ForwardedArguments::encode({}));
    return 0;
}
