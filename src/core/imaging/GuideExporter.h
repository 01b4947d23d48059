#pragma once
// A step-by-step guide made from a document whose panels are the steps of a procedure:
// one picture per panel, each under the heading "Passaggio <n>" with the panel's caption,
// written either as a folder ("guida.md" plus one PNG per step) or as one PDF.
//
// Steps are cut out of one rendering of the whole document, so a step's picture shows
// the panel with its annotations exactly as an image export would.
//
// PDF units are points. Pages are 595 x 842 points (A4 portrait) with 48-point margins,
// so the column is 499 points wide and a page holds 746 points of content. Block
// positions are measured from the top-left corner of the page, y downward.
//
// Pure functions of their arguments except `steps`, which renders through the exporter
// (main thread), and `writeFolder`, which writes files.

#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/render/ImageProviding.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace vorlix {

namespace GuideExporter {

struct Step {
    // The panel's position in the document's panel list plus 1; panels that yield no
    // step leave gaps.
    std::int64_t number = 0;
    // Trimmed of whitespace and line breaks at both ends; absent when that leaves nothing.
    std::optional<QString> caption;
    // The panel's area of the rendered document, annotations included.
    QImage image;
    // Pixels of `image` per canvas point.
    double pixelsPerPoint = 1;

    bool operator==(const Step&) const = default;
};

// Page geometry of the PDF, in points.
inline constexpr double pageWidth = 595;
inline constexpr double pageHeight = 842;
inline constexpr double pageMargin = 48;
inline constexpr double columnWidth = pageWidth - 2 * pageMargin;   // 499
inline constexpr double usableHeight = pageHeight - 2 * pageMargin; // 746
inline constexpr double maximumImageHeight = 0.7 * usableHeight;    // 522.2

// The file the Markdown guide is written to inside its folder.
inline constexpr const char* markdownFileName = "guida.md";

// The steps of the document's panels in panel order, cut out of one white-backed
// rendering at the document's native density. Empty when the document cannot be
// rendered. A panel whose frame lies outside the canvas bounds, or whose pixels cannot
// be cut, yields no step.
std::vector<Step> steps(const DocumentModel& document, const ImageProviding& images);

// "passaggio-%02d.png" with the step's number: "passaggio-07.png", "passaggio-123.png".
QString imageFileName(const Step& step);

// The guide as Markdown: "# <title>", then per step "## Passaggio <n>", its caption
// when it has one, and a link to imageFileName(step), every line followed by an empty
// one; lines joined by "\n". Captions and the title are written unchanged.
QString markdown(const QString& title, const std::vector<Step>& steps);

// The drawn size of a step's picture in points: its size in points, shrunk to fit
// maxWidth x maxHeight, never enlarged.
Size fittedImageSize(const Step& step, double maxWidth, double maxHeight);

// One block of the PDF: where it is drawn, on which page.
struct PdfBlock {
    enum class Kind { title, heading, caption, image };

    Kind kind = Kind::title;
    std::size_t stepIndex = 0; // into the steps; 0 for the title
    int page = 0;              // from 0
    Rect rect;                 // points, from the page's top-left corner

    bool operator==(const PdfBlock&) const = default;
};

// The layout of the PDF: the title on the first page, then per step its heading, its
// caption when it has one and its picture. A step whose heading, caption, picture and
// the 22-point gap after it do not fit below what the page already holds starts a new
// page; a step taller than a whole page stays at the top of its page.
std::vector<PdfBlock> pdfLayout(const QString& title, const std::vector<Step>& steps);

// The guide as PDF bytes laid out by pdfLayout, with the title as the document's
// title; pictures are embedded losslessly at their full pixel size. Nothing when the
// PDF cannot be made.
std::optional<QByteArray> pdf(const QString& title, const std::vector<Step>& steps);

// ---- Writing a guide folder

// Why a guide folder could not be written. The files written before stay.
struct FolderError {
    enum class Kind { createFolder, write };

    Kind kind = Kind::write;
    QString path;    // the folder or file concerned
    QString message; // Italian, for the alert

    bool operator==(const FolderError&) const = default;
};

// A folder that was written, with the steps whose picture could not be encoded: their
// heading and caption are in the Markdown without a link, since there is no file.
struct FolderReport {
    std::vector<std::int64_t> stepsWithoutPicture;

    bool operator==(const FolderReport&) const = default;

    // Italian, for the alert that tells about the missing pictures; empty when none is
    // missing.
    QString message() const;
};

// Creates the folder (with its parents; an existing folder is fine), writes each step's
// picture as PNG under imageFileName (recording its density), then the Markdown as
// "guida.md" in UTF-8, every file atomically. The first folder or file error stops the
// writing. The Markdown never links a picture that was not written.
std::variant<FolderReport, FolderError> writeFolder(const QString& folder, const QString& title,
                                                    const std::vector<Step>& steps);

} // namespace GuideExporter

} // namespace vorlix
