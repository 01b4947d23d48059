// Text lines by ink projection: deterministic, fast on the thin bands that highlighter
// alignment renders, and independent of any recognition engine.
//
// The image is flattened to luma; its background is the median luma and ink is every
// pixel that differs from it by more than `inkContrast` (dark text on light or light text
// on dark alike). A recursive cut finds text rectangles: runs of inked rows, split into
// column segments at wide gaps, each segment cut again until it no longer splits. The
// rectangles are then merged into lines like any other text boxes.

#include "core/analysis/TextLineFinder.h"

#include "core/analysis/RunTogether.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace vorlix::TextRecognition {

namespace {

constexpr int inkContrast = 48; // luma steps (of 255) between ink and background
constexpr int maxCutDepth = 6;
constexpr qsizetype parallelFlattenPixels = 1'000'000;
constexpr double smallRunShare = 0.35; // a row run below this share of its neighbour is a mark on it

struct Span {
    int begin = 0; // half-open
    int end = 0;
    int length() const { return end - begin; }
};

// Ink is every pixel whose luma lies outside [background - inkContrast, background +
// inkContrast], tested as one unsigned byte comparison so that row scans vectorise.
class InkMap {
public:
    InkMap(const QImage& luma, int background)
        : m_bits(luma.constBits()),
          m_stride(luma.bytesPerLine()),
          m_low(uchar(std::max(0, background - inkContrast))),
          m_range(uchar(std::min(255, background + inkContrast) - m_low))
    {
    }

    const uchar* row(int y) const { return m_bits + y * m_stride; }
    bool inked(uchar value) const { return uchar(value - m_low) > m_range; }

    // Whether any pixel of row `y` in `columns` is ink, tested a block at a time without
    // branches: blank rows are the common case.
    bool rowInked(int y, Span columns) const
    {
        constexpr int block = 64;
        const uchar* pixels = row(y);
        for (int x = columns.begin; x < columns.end; x += block) {
            const int end = std::min(x + block, columns.end);
            uchar any = 0;
            for (int i = x; i < end; ++i)
                any |= uchar(inked(pixels[i]));
            if (any)
                return true;
        }
        return false;
    }

    // Marks the columns of row `y` that hold ink in `profile` (indexed from `columns.begin`).
    void markInkedColumns(int y, Span columns, std::vector<uchar>& profile) const
    {
        const uchar* pixels = row(y) + columns.begin;
        for (int x = 0; x < columns.length(); ++x)
            profile[x] |= uchar(inked(pixels[x]));
    }

private:
    const uchar* m_bits;
    qsizetype m_stride;
    uchar m_low;
    uchar m_range;
};

// The background: the median luma of every other pixel of every other row.
int medianLuma(const QImage& luma)
{
    // Four interleaved histograms: a flat background hits one bin over and over, and one
    // histogram would make every count wait for the one before.
    std::array<std::array<qsizetype, 256>, 4> partial{};
    const int width = luma.width();
    qsizetype count = 0;
    for (int y = 0; y < luma.height(); y += 2) {
        const uchar* row = luma.constScanLine(y);
        int x = 0;
        for (; x + 6 < width; x += 8) {
            ++partial[0][row[x]];
            ++partial[1][row[x + 2]];
            ++partial[2][row[x + 4]];
            ++partial[3][row[x + 6]];
        }
        for (; x < width; x += 2)
            ++partial[0][row[x]];
        count += (width + 1) / 2;
    }
    const qsizetype half = (count + 1) / 2;
    qsizetype seen = 0;
    for (int v = 0; v < 256; ++v) {
        seen += partial[0][v] + partial[1][v] + partial[2][v] + partial[3][v];
        if (seen >= half)
            return v;
    }
    return 255;
}

// Runs of non-zero profile entries; gaps of at most `bridge` empty entries are bridged.
std::vector<Span> runsOf(const std::vector<uchar>& profile, int offset, int bridge)
{
    std::vector<Span> runs;
    for (int i = 0; i < int(profile.size()); ++i) {
        if (profile[i] == 0)
            continue;
        if (!runs.empty() && i + offset - runs.back().end <= bridge)
            runs.back().end = i + offset + 1;
        else
            runs.push_back({i + offset, i + offset + 1});
    }
    return runs;
}

// Marks (accents, dots, underlines) separated from their line by a gap no taller than
// themselves join the neighbouring run they are closest to.
std::vector<Span> attachMarks(std::vector<Span> runs)
{
    bool changed = true;
    while (changed && runs.size() > 1) {
        changed = false;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const Span run = runs[i];
            const int maxGap = std::max(2, run.length());
            int best = -1;
            int bestGap = 0;
            for (int j : {int(i) - 1, int(i) + 1}) {
                if (j < 0 || j >= int(runs.size()))
                    continue;
                const Span other = runs[j];
                const int gap = j < int(i) ? run.begin - other.end : other.begin - run.end;
                if (run.length() < smallRunShare * other.length() && gap <= maxGap && (best < 0 || gap < bestGap)) {
                    best = j;
                    bestGap = gap;
                }
            }
            if (best >= 0) {
                Span& target = runs[best];
                target = {std::min(target.begin, run.begin), std::max(target.end, run.end)};
                runs.erase(runs.begin() + i);
                changed = true;
                break;
            }
        }
    }
    return runs;
}

void cut(const InkMap& ink, Span columns, Span rows, int depth, std::vector<Rect>& out)
{
    std::vector<uchar> rowProfile(rows.length(), 0);
    for (int y = rows.begin; y < rows.end; ++y)
        rowProfile[y - rows.begin] = ink.rowInked(y, columns);

    for (const Span rowRun : attachMarks(runsOf(rowProfile, rows.begin, 1))) {
        std::vector<uchar> columnProfile(columns.length(), 0);
        for (int y = rowRun.begin; y < rowRun.end; ++y)
            ink.markInkedColumns(y, columns, columnProfile);

        // Letter and word gaps stay inside a segment; wider gaps separate blocks of text.
        const int bridge = std::max(2, rowRun.length() / 2);
        const std::vector<Span> segments = runsOf(columnProfile, columns.begin, bridge);
        if (segments.size() == 1 || depth >= maxCutDepth) {
            for (const Span segment : segments)
                out.emplace_back(segment.begin, rowRun.begin, segment.length(), rowRun.length());
            continue;
        }
        for (const Span segment : segments)
            cut(ink, segment, rowRun, depth + 1, out);
    }
}

} // namespace

QImage flattenedLuma(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_Grayscale8)
        return image;
    // RGB32 has the same layout with an opaque alpha byte: no conversion needed.
    const QImage argb =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage luma(argb.size(), QImage::Format_Grayscale8);
    const int width = argb.width();
    auto flattenRows = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* out = luma.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const unsigned pixel = in[x];
                const unsigned blank = 255 - (pixel >> 24); // premultiplied: white shows through
                const unsigned r = ((pixel >> 16) & 0xFF) + blank;
                const unsigned g = ((pixel >> 8) & 0xFF) + blank;
                const unsigned b = (pixel & 0xFF) + blank;
                out[x] = uchar((54 * r + 183 * g + 19 * b + 128) >> 8);
            }
        }
    };
    // Large images (whole screens) are flattened in bands on a few threads: the pass is
    // bound by memory, and one core alone does not draw all of its bandwidth.
    const int height = argb.height();
    const std::size_t parts = qsizetype(width) * height >= parallelFlattenPixels ? analysisThreads(4) : 1;
    runTogether(parts, [&](std::size_t i) { flattenRows(int(height * i / parts), int(height * (i + 1) / parts)); });
    return luma;
}

std::vector<std::vector<std::size_t>> groupIntoLines(const std::vector<Rect>& boxes)
{
    std::vector<std::size_t> order(boxes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return boxes[a].minX() < boxes[b].minX(); });

    struct Line {
        Rect bounds;
        std::vector<std::size_t> members;
    };
    std::vector<Line> lines;
    for (const std::size_t index : order) {
        const Rect& box = boxes[index];
        const auto sameLine = [&](const Line& line) {
            const double tolerance = std::min(box.height(), line.bounds.height()) / 2;
            return std::abs(line.bounds.midY() - box.midY()) < tolerance;
        };
        const auto found = std::find_if(lines.begin(), lines.end(), sameLine);
        if (found == lines.end()) {
            lines.push_back({box.standardized(), {index}});
        } else {
            found->bounds = found->bounds.united(box);
            found->members.push_back(index);
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.bounds.minY() < b.bounds.minY(); });

    std::vector<std::vector<std::size_t>> result;
    result.reserve(lines.size());
    for (Line& line : lines)
        result.push_back(std::move(line.members)); // already in order of minX
    return result;
}

std::vector<Rect> mergeIntoLines(const std::vector<Rect>& boxes)
{
    std::vector<Rect> lines;
    for (const std::vector<std::size_t>& members : groupIntoLines(boxes)) {
        Rect bounds = Rect::null();
        for (const std::size_t index : members)
            bounds = bounds.united(boxes[index]);
        lines.push_back(bounds);
    }
    return lines;
}

std::vector<Rect> textLines(const QImage& image)
{
    const QImage luma = flattenedLuma(image);
    if (luma.isNull() || luma.width() == 0 || luma.height() == 0)
        return {};
    const InkMap ink(luma, medianLuma(luma));
    std::vector<Rect> boxes;
    cut(ink, {0, luma.width()}, {0, luma.height()}, 0, boxes);
    return mergeIntoLines(boxes);
}

} // namespace vorlix::TextRecognition
