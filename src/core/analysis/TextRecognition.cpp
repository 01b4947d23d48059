// Text by Tesseract's LSTM engine, codes by ZXing, on one flattened luma image.
//
// Codes are read first and their areas blanked before text recognition, so that a code's
// modules never come out as garbage text. Text is recognised only where the line finder
// sees ink, on an image upscaled until lines are about 30 pixels high (screenshots at
// 1x carry text far smaller than the engine was trained on).

#include "core/analysis/TextRecognition.h"

#include "core/analysis/RecognitionEngine.h"
#include "core/analysis/RunTogether.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QPolygon>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>

namespace vorlix::TextRecognition {

namespace {

constexpr float minLineConfidence = 40.0f; // Tesseract's 0-100 scale; below is mostly noise
constexpr double targetLineHeight = 30.0;  // pixels the engine reads best
constexpr int maxUpscale = 3;
constexpr qsizetype maxRecognitionPixels = 24'000'000;
constexpr int engineResolution = 300; // dots per inch told to the engine
constexpr std::size_t maxIdleEngines = 4;

// Initialised engines, lent to one recognition at a time. An engine is not thread-safe
// and costs well over 100 ms to initialise, so engines are kept for reuse by any thread.
class EnginePool {
public:
    struct Release {
        void operator()(void* engine) const { RecognitionEngine::api()->destroyText(engine); }
    };
    using Engine = std::unique_ptr<void, Release>;

    static EnginePool& shared()
    {
        // Never destroyed: recognitions may still run on pool threads while statics go.
        static EnginePool* pool = new EnginePool;
        return *pool;
    }

    Engine acquire()
    {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_idle.empty()) {
                Engine engine = std::move(m_idle.back());
                m_idle.pop_back();
                return engine;
            }
        }
        return create();
    }

    void release(Engine engine)
    {
        if (!engine)
            return;
        RecognitionEngine::api()->clearText(engine.get());
        const std::lock_guard lock(m_mutex);
        if (m_idle.size() < maxIdleEngines)
            m_idle.push_back(std::move(engine));
    }

private:
    static Engine create()
    {
        const RecognitionEngine::Api* api = RecognitionEngine::api();
        if (!api)
            return nullptr;
        // Some of the engine's settings are process-wide, so engines are set up one at a time.
        static std::mutex creation;
        const std::lock_guard lock(creation);
        return Engine(api->createText(languages));
    }

    std::mutex m_mutex;
    std::vector<Engine> m_idle;
};

struct EngineLoan {
    EnginePool::Engine engine = EnginePool::shared().acquire();
    ~EngineLoan() { EnginePool::shared().release(std::move(engine)); }
};

// Reads every code; blanks each found one in `luma` so text recognition skips it.
QStringList readCodes(QImage& luma)
{
    const RecognitionEngine::Api* api = RecognitionEngine::api();
    if (!api)
        return {};
    // With a second core, two families of codes are looked for at once: each search
    // binarises the image again, but the finders of all formats together cost more.
    using Family = RecognitionEngine::CodeFamily;
    const std::vector<Family> families = analysisThreads(2) > 1
                                             ? std::vector<Family>{Family::squareAndLinear, Family::others}
                                             : std::vector<Family>{Family::all};
    std::vector<std::vector<RecognitionEngine::Code>> found(families.size());
    runTogether(families.size(), [&](std::size_t i) {
        api->readCodes(luma.constBits(), luma.width(), luma.height(), int(luma.bytesPerLine()), families[i], &found[i]);
    });

    QStringList payloads;
    QPainter painter(&luma);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const std::vector<RecognitionEngine::Code>& family : found) {
        for (const RecognitionEngine::Code& code : family) {
            payloads.append(QString::fromStdString(code.text));
            // The code's corners, pushed out by a quarter so its quiet zone goes too.
            double cx = 0, cy = 0;
            for (const auto& [x, y] : code.corners) {
                cx += x / 4.0;
                cy += y / 4.0;
            }
            QPolygonF area;
            for (const auto& [x, y] : code.corners)
                area << QPointF(cx + (x - cx) * 1.25, cy + (y - cy) * 1.25);
            const QRectF box = area.boundingRect();
            if (box.height() < 4) // linear codes report a thin scan line: blank their full bars
                painter.drawRect(box.adjusted(-8, -box.width() / 4, 8, box.width() / 4));
            else
                painter.drawPolygon(area);
        }
    }
    return uniqueCodes(payloads);
}

int upscaleFor(const std::vector<Rect>& lines)
{
    std::vector<double> heights;
    for (const Rect& line : lines)
        if (line.height() >= 4)
            heights.push_back(line.height());
    if (heights.empty())
        return 1;
    std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
    const double median = heights[heights.size() / 2];
    return std::clamp(int(std::lround(targetLineHeight / median)), 1, maxUpscale);
}

// A full-width band of the image, recognised on its own.
struct Band {
    int top = 0; // half-open, in pixels of the recognised image
    int bottom = 0;
};

// Cuts the image into at most `count` full-width bands of about equal work, only in the
// gaps between text lines. A line's work is its length in line heights, which is how far
// the engine's network steps along it.
std::vector<Band> bandsOf(std::vector<Rect> lines, int imageHeight, double scale, std::size_t count)
{
    std::sort(lines.begin(), lines.end(), [](const Rect& a, const Rect& b) { return a.minY() < b.minY(); });
    auto work = [](const Rect& line) { return line.width() / std::max(line.height(), 1.0); };
    double total = 0;
    for (const Rect& line : lines)
        total += work(line);

    std::vector<Band> bands;
    int top = 0;
    double done = 0;
    double lowestBottom = 0;
    for (std::size_t i = 0; i + 1 < lines.size() && bands.size() + 1 < count; ++i) {
        done += work(lines[i]);
        lowestBottom = std::max(lowestBottom, lines[i].maxY());
        const double nextTop = lines[i + 1].minY();
        const double share = total * double(bands.size() + 1) / double(count);
        if (nextTop <= lowestBottom || done < share)
            continue;
        if (top + 2 >= imageHeight)
            break;
        const int cut = std::clamp(int(std::lround((lowestBottom + nextTop) / 2 * scale)), top + 1, imageHeight - 1);
        bands.push_back({top, cut});
        top = cut;
    }
    bands.push_back({top, imageHeight});
    return bands;
}

std::vector<Observation> recognizeBand(const QImage& input, Band band, int scale)
{
    EngineLoan loan;
    if (!loan.engine)
        return {};
    // The band is handed over as an image of its own: with a sub-rectangle of the whole
    // image the engine's line recognition reads pixels from the wrong rows.
    std::vector<RecognitionEngine::TextLine> lines;
    if (!RecognitionEngine::api()->readText(loan.engine.get(), input.constScanLine(band.top), input.width(),
                                            band.bottom - band.top, int(input.bytesPerLine()), engineResolution,
                                            minLineConfidence, &lines))
        return {};

    std::vector<Observation> observations;
    for (const RecognitionEngine::TextLine& line : lines) {
        const QString text = QString::fromStdString(line.text).simplified();
        if (text.isEmpty())
            continue;
        observations.push_back(
            {text, Rect(double(line.left) / scale, double(band.top + line.top) / scale,
                        double(line.right - line.left) / scale, double(line.bottom - line.top) / scale)});
    }
    return observations;
}

std::vector<Observation> readTextLines(const QImage& luma)
{
    const std::vector<Rect> lines = textLines(luma);
    if (lines.empty())
        return {};

    int scale = upscaleFor(lines);
    while (scale > 1 && qsizetype(luma.width()) * luma.height() * scale * scale > maxRecognitionPixels)
        --scale;
    QImage input = scale == 1 ? luma
                              : luma.scaled(luma.width() * scale, luma.height() * scale, Qt::IgnoreAspectRatio,
                                            Qt::SmoothTransformation);
    // Dark text on a light ground, as the engine expects.
    qsizetype dark = 0;
    for (int y = 0; y < input.height(); y += 4) {
        const uchar* row = input.constScanLine(y);
        for (int x = 0; x < input.width(); x += 4)
            dark += row[x] < 128 ? 1 : -1;
    }
    if (dark > 0)
        input.invertPixels();

    // Bands of lines are read by several engines at once: the engine itself uses one core.
    const std::vector<Band> bands = bandsOf(lines, input.height(), scale, analysisThreads(maxIdleEngines));
    std::vector<std::vector<Observation>> found(bands.size());
    runTogether(bands.size(), [&](std::size_t i) { found[i] = recognizeBand(input, bands[i], scale); });

    std::vector<Observation> observations;
    for (std::vector<Observation>& band : found)
        observations.insert(observations.end(), std::make_move_iterator(band.begin()),
                            std::make_move_iterator(band.end()));
    return observations;
}

} // namespace

QString Result::combined() const
{
    QStringList parts;
    if (!text.isEmpty())
        parts.append(text);
    parts.append(codes);
    return parts.join(u'\n');
}

QString joinInReadingOrder(const std::vector<Observation>& observations)
{
    std::vector<Observation> pieces;
    for (const Observation& observation : observations)
        if (!observation.text.isEmpty())
            pieces.push_back(observation);
    std::vector<Rect> boxes;
    boxes.reserve(pieces.size());
    for (const Observation& piece : pieces)
        boxes.push_back(piece.box);

    QStringList lines;
    for (const std::vector<std::size_t>& members : groupIntoLines(boxes)) {
        QStringList words;
        for (const std::size_t index : members)
            words.append(pieces[index].text);
        lines.append(words.join(u' '));
    }
    return lines.join(u'\n');
}

QStringList uniqueCodes(const QStringList& payloads)
{
    QStringList unique;
    for (const QString& payload : payloads)
        if (!payload.isEmpty() && !unique.contains(payload))
            unique.append(payload);
    return unique;
}

Result recognizeNow(const QImage& image)
{
    QImage luma = flattenedLuma(image);
    if (luma.isNull() || luma.width() == 0 || luma.height() == 0)
        return {};
    Result result;
    result.codes = readCodes(luma);
    result.text = joinInReadingOrder(readTextLines(luma));
    return result;
}

QFuture<Result> recognize(const QImage& image)
{
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, image] {
        promise->addResult(recognizeNow(image));
        promise->finish();
    });
    return future;
}

void recognize(const QImage& image, QObject* context, std::function<void(const Result&)> onResult)
{
    auto* watcher = new QFutureWatcher<Result>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, onResult = std::move(onResult)] {
        const Result result = watcher->future().resultCount() > 0 ? watcher->result() : Result{};
        watcher->deleteLater();
        onResult(result);
    });
    watcher->setFuture(recognize(image));
}

} // namespace vorlix::TextRecognition
