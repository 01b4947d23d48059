// The history folder: adding a 5K shot (its record goes into a text chunk, the pixels
// are not encoded again) and listing a folder of 5,000 shots plus 100 PNGs saved by
// other programs, warm (the files were just written, so they are in the page cache).

#include "core/formats/HistoryStore.h"
#include "core/formats/PngChunks.h"
#include "core/imaging/ImageCoding.h"

#include "ScreenshotFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QDateTime firstShot(QDate(2024, 3, 5), QTime(9, 0, 0), QTimeZone::utc());

const QByteArray& shotPng()
{
    static const QByteArray png = *ImageCoding::encode(bench::screenshotFixture(), ImageType::png, 2, 0);
    return png;
}

HistoryEntry record(const QDateTime& date, int n)
{
    HistoryEntry e;
    e.id = QUuid::createUuidV5(QUuid(), QByteArray::number(n));
    e.date = date;
    e.captureKind = CaptureKind::window;
    e.pixelWidth = 5120;
    e.pixelHeight = 2880;
    e.pixelsPerPoint = 2;
    e.sourceAppName = u"Terminale"_s;
    e.sourceWindowTitle = u"utente@macchina: ~/progetti/vorlix — modifica"_s;
    return e;
}

void BM_AddShotChunkOnly(benchmark::State& state)
{
    const QByteArray& png = shotPng();
    const QString json = QString::fromStdString(encodeHistoryEntry(record(firstShot, 0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PngChunks::withDescription(png, json));
    state.counters["bytes"] = double(png.size());
}
BENCHMARK(BM_AddShotChunkOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AddShot5K(benchmark::State& state)
{
    const QByteArray& png = shotPng();
    QTemporaryDir dir;
    const HistoryStore store(dir.path(), u"Vorlix"_s);
    int n = 0;
    for (auto _ : state) {
        const HistoryEntry written = store.add(png, record(firstShot.addSecs(n), n));
        ++n;
        state.PauseTiming();
        QFile::remove(*written.fileURL);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddShot5K)->Unit(benchmark::kMillisecond)->UseRealTime();

// 5,000 history files with records and 100 foreign PNGs, written once.
const QTemporaryDir& listingFolder()
{
    static QTemporaryDir d;
    static const bool written = [] {
        QImage small(64, 40, QImage::Format_RGB32);
        small.fill(QColor(40, 90, 160));
        const QByteArray png = *ImageCoding::encode(small, ImageType::png, 2, 0);
        const HistoryStore naming(d.path(), u"Vorlix"_s);
        for (int n = 0; n < 5100; ++n) {
            const QDateTime date = firstShot.addSecs(-qint64(n) * 37);
            const bool foreign = n % 51 == 50;
            const QString name = foreign ? u"Vorlix altro %1.png"_s.arg(n) : naming.fileName(date);
            QFile file(QDir(d.path()).filePath(name));
            if (!file.open(QIODevice::WriteOnly))
                std::abort();
            const std::string json = encodeHistoryEntry(record(date, n));
            file.write(foreign ? png : *PngChunks::withDescription(png, QString::fromStdString(json)));
        }
        return true;
    }();
    (void)written;
    return d;
}

void BM_ListHistoryWarm(benchmark::State& state)
{
    const HistoryStore store(listingFolder().path(), u"Vorlix"_s);
    store.entries(); // warm the page cache
    std::size_t count = 0;
    for (auto _ : state)
        count = store.entries().size();
    state.counters["entries"] = double(count);
}
BENCHMARK(BM_ListHistoryWarm)->Unit(benchmark::kMillisecond)->UseRealTime();

// A store that has read nothing yet: every file's header is read.
void BM_ListHistoryFirstTime(benchmark::State& state)
{
    HistoryStore(listingFolder().path(), u"Vorlix"_s).entries(); // warm the page cache
    for (auto _ : state)
        benchmark::DoNotOptimize(HistoryStore(listingFolder().path(), u"Vorlix"_s).entries());
}
BENCHMARK(BM_ListHistoryFirstTime)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tray menu's question on every opening, to a store that listed the folder before.
void BM_RecentFiveOfHistory(benchmark::State& state)
{
    const HistoryStore store(listingFolder().path(), u"Vorlix"_s);
    store.entries();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.recentEntries(HistoryStore::recentMenuCount));
}
BENCHMARK(BM_RecentFiveOfHistory)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
