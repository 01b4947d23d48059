#include "core/model/ExportOptions.h"

#include "core/model/PanelGeometry.h"

#include <algorithm>
#include <limits>

namespace vorlix {

namespace {
template <class... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;
} // namespace

ImageType imageType(const ExportOptions::Format& format)
{
    return std::visit(Overloaded{[](const ExportOptions::Png&) { return ImageType::png; },
                                 [](const ExportOptions::Jpeg&) { return ImageType::jpeg; }},
                      format);
}

double nativePixelsPerPoint(const DocumentModel& document)
{
    if (document.panels.empty())
        return 1.0;
    double density = -std::numeric_limits<double>::infinity();
    for (const Panel& panel : document.panels)
        density = std::max(density, panel.pixelsPerPoint / std::max(panel.scale, minimumDivisor));
    return density;
}

double exportPixelsPerPoint(const DocumentModel& document, const ExportOptions& options, const Rect& canvasBounds)
{
    return std::visit(Overloaded{[](const ExportOptions::Normal&) { return 1.0; },
                                 [&](const ExportOptions::Native&) { return nativePixelsPerPoint(document); },
                                 [](const ExportOptions::Scale& s) { return s.factor; },
                                 [&](const ExportOptions::MaxWidth& cap) {
                                     const double native = nativePixelsPerPoint(document);
                                     const double width = canvasBounds.isNull() ? 0 : canvasBounds.width();
                                     // A zero-width canvas or a cap under one pixel would give an
                                     // infinite or non-positive density: neither is a cap.
                                     if (!(width > 0) || cap.width < 1)
                                         return native;
                                     const double limit = static_cast<double>(cap.width);
                                     return native * width > limit ? limit / width : native;
                                 }},
                      options.resolution);
}

} // namespace vorlix
