// The whole set of interface icons drawn at 24 px, as a toolbar and the property bar
// paint them: warm (every icon already made), into one transparent image per round.
// Also the one-off cost of making the icons (parsing their path data).

#include "app/support/Icon.h"
#include "app/support/SvgPath.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vorlix;

namespace {

void allIconsAt24Pixels(benchmark::State& state)
{
    for (const Icon::Named& named : Icon::all())
        named.icon();
    // All icons side by side in one strip, as on a toolbar.
    const int count = int(Icon::all().size());
    QImage strip(24 * count, 24, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        strip.fill(Qt::transparent);
        QPainter painter(&strip);
        int x = 0;
        for (const Icon::Named& named : Icon::all()) {
            named.icon().draw(painter, QRectF(x, 0, 24, 24), Qt::black);
            x += 24;
        }
        painter.end();
        benchmark::DoNotOptimize(strip.constBits());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(allIconsAt24Pixels)->Unit(benchmark::kMicrosecond);

void parseIconPathData(benchmark::State& state)
{
    const QString data =
        QStringLiteral("M8 15V6.5C8 5.7 8.7 5 9.5 5S11 5.7 11 6.5V12M11 6.5V4.5C11 3.7 11.7 3 12.5 3S14 3.7 14 4.5V12"
                       "M14 6.5C14 5.7 14.7 5 15.5 5S17 5.7 17 6.5V14C17 18 15 21 11.5 21C9 21 7.6 20 6.3 18"
                       "L4.3 14.6C3.9 13.9 4.1 13.1 4.8 12.7S6.3 12.5 6.8 13.2L8 15");
    for (auto _ : state)
        benchmark::DoNotOptimize(SvgPath::parse(data));
    state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(parseIconPathData)->Unit(benchmark::kMicrosecond);

} // namespace
