#pragma once
// Printing a rendered document: one page, landscape for a canvas wider than high, the
// picture at its size in points (1/72 inch) or shrunk to fit the printable area, and
// centred in it.

#include "core/formats/ImageStore.h"
#include "core/model/DocumentModel.h"
#include "core/model/ExportOptions.h"
#include "core/model/Geometry.h"

#include <QString>

#include <optional>

class QPrinter;

namespace vorlix::DocumentPrinting {

// Where a picture of `pictureSize` points goes in a printable area of `area` points:
// the same size when it fits, else shrunk proportionally until it does; centred.
Rect placement(Size pictureSize, const Rect& area);

// Renders the whole document with `options` and prints it on `printer` as one job named
// `jobName`. The Italian reason when nothing was printed.
std::optional<QString> print(const DocumentModel& document, const ImageStore& images, const ExportOptions& options,
                             const QString& jobName, QPrinter& printer);

} // namespace vorlix::DocumentPrinting
