#include "core/imaging/PngEncoder.h"

#include <QColorSpace>
#include <QScopeGuard>
#include <QThreadPool>
#include <QtEndian>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vorlix {

PngEncoderSettings PngEncoderSettings::fast() { return {PNG_FILTER_UP, 1, Z_RLE}; }

PngEncoderSettings PngEncoderSettings::thorough() { return {PNG_ALL_FILTERS, 6, Z_FILTERED}; }

namespace {

// Bands per thread: bands of a screenshot differ a lot in how long they take (flat
// wallpaper against text), so a few more bands than threads keep all threads busy.
constexpr int bandsPerThread = 2;

// The largest IDAT chunk written; decoders read chunk by chunk.
constexpr qsizetype idatChunkBytes = qsizetype(1) << 20;

// ---- Running bands on several threads ----

// Work items taken in turn by the calling thread and by pool threads that join it.
// Shared ownership: a pool thread that starts only after every item was taken finds
// nothing left to do, even after the caller has returned.
struct BandQueue {
    std::function<void(int)> work;
    int count = 0;
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable allFinished;
    int finished = 0;

    void drain()
    {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            work(i);
            const std::lock_guard lock(mutex);
            if (++finished == count)
                allFinished.notify_all();
        }
    }
};

// Calls work(0...count-1) on up to `threads` threads: the calling one and threads of the
// global pool. The caller never waits for an item no thread has taken, so this is safe on
// a pool thread while the pool is full: helpers queued behind other work just find
// nothing left when they start. (Taking only idle threads would often find none: the
// helpers of the previous call still count as busy while they wind down.) `work` must
// not throw.
void forEachBand(int count, int threads, std::function<void(int)> work)
{
    if (count <= 1 || threads <= 1) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    auto queue = std::make_shared<BandQueue>();
    queue->work = std::move(work);
    queue->count = count;
    QThreadPool* pool = QThreadPool::globalInstance();
    for (int helper = 1; helper < std::min(threads, count); ++helper)
        pool->start([queue] { queue->drain(); });
    queue->drain();
    std::unique_lock lock(queue->mutex);
    queue->allFinished.wait(lock, [&] { return queue->finished == queue->count; });
}

struct Band {
    int firstRow;
    int endRow;
};

std::vector<Band> bandsOf(int height, qsizetype bytesPerRow, int threads)
{
    const qsizetype total = qsizetype(height) * bytesPerRow;
    const qsizetype bySize = std::max<qsizetype>(1, total / pngMinimumBandBytes);
    const qsizetype byThreads = threads > 1 ? qsizetype(threads) * bandsPerThread : 1;
    const int count = int(std::clamp<qsizetype>(std::min(bySize, byThreads), 1, std::max(height, 1)));
    std::vector<Band> bands;
    bands.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        bands.push_back({int(qint64(height) * i / count), int(qint64(height) * (i + 1) / count)});
    return bands;
}

// ---- Rows as PNG pixels ----

enum class Packing {
    rgbFromWords,               // RGB32, ARGB32 (all opaque): 32-bit QRgb words
    rgbFromRgbxBytes,           // RGBX8888, RGBA8888 (all opaque): R, G, B, X bytes
    rgbBytes,                   // RGB888
    rgbaFromWords,              // ARGB32
    rgbaFromPremultipliedWords, // ARGB32_Premultiplied
    rgbaBytes,                  // RGBA8888
    rgbaFromPremultipliedBytes, // RGBA8888_Premultiplied
};

// The picture whose rows are packed into PNG pixels. An opaque premultiplied pixel
// equals its straight form, so opaque pictures only drop the fourth byte.
struct PixelSource {
    QImage image;
    Packing packing = Packing::rgbFromWords;

    bool hasAlpha() const { return packing >= Packing::rgbaFromWords; }
    int bytesPerPixel() const { return hasAlpha() ? 4 : 3; }
    std::size_t rowBytes() const { return std::size_t(image.width()) * std::size_t(bytesPerPixel()); }
};

QRgb wordAt(const uchar* pixels, int x)
{
    QRgb word;
    std::memcpy(&word, pixels + 4 * std::size_t(x), 4);
    return word;
}

void packRow(const PixelSource& source, int y, uchar* out)
{
    const uchar* in = source.image.constScanLine(y);
    const int width = source.image.width();
    switch (source.packing) {
    case Packing::rgbFromWords:
        for (int x = 0; x < width; ++x, out += 3) {
            const QRgb p = wordAt(in, x);
            out[0] = uchar(qRed(p));
            out[1] = uchar(qGreen(p));
            out[2] = uchar(qBlue(p));
        }
        return;
    case Packing::rgbFromRgbxBytes:
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        return;
    case Packing::rgbBytes:
        std::memcpy(out, in, std::size_t(width) * 3);
        return;
    case Packing::rgbaFromWords:
    case Packing::rgbaFromPremultipliedWords:
        for (int x = 0; x < width; ++x, out += 4) {
            QRgb p = wordAt(in, x);
            if (source.packing == Packing::rgbaFromPremultipliedWords)
                p = qUnpremultiply(p);
            out[0] = uchar(qRed(p));
            out[1] = uchar(qGreen(p));
            out[2] = uchar(qBlue(p));
            out[3] = uchar(qAlpha(p));
        }
        return;
    case Packing::rgbaBytes:
        std::memcpy(out, in, std::size_t(width) * 4);
        return;
    case Packing::rgbaFromPremultipliedBytes:
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            const QRgb p = qUnpremultiply(qRgba(in[0], in[1], in[2], in[3]));
            out[0] = uchar(qRed(p));
            out[1] = uchar(qGreen(p));
            out[2] = uchar(qBlue(p));
            out[3] = uchar(qAlpha(p));
        }
        return;
    }
}

bool isFourBytesPerPixel(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied ||
           f == QImage::Format_RGBX8888 || f == QImage::Format_RGBA8888 || f == QImage::Format_RGBA8888_Premultiplied;
}

bool isWordFormat(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}

bool rowsOpaque(const QImage& image, int firstRow, int endRow, const std::atomic<bool>& translucentFound)
{
    // Byte index of alpha in a pixel: ARGB32 formats are 32-bit words, RGBA8888 ones bytes.
    const bool words = isWordFormat(image.format());
    const int a = words && Q_BYTE_ORDER == Q_BIG_ENDIAN ? 0 : 3;
    const qsizetype width = image.width();
    for (int y = firstRow; y < endRow && !translucentFound.load(std::memory_order_relaxed); ++y) {
        const uchar* row = image.constScanLine(y);
        uchar all = 0xff;
        for (qsizetype x = 0; x < width; ++x)
            all &= row[4 * x + a];
        if (all != 0xff)
            return false;
    }
    return true;
}

bool allOpaque(const QImage& image, int threads)
{
    const std::vector<Band> bands = bandsOf(image.height(), image.bytesPerLine(), threads);
    std::atomic<bool> translucentFound{false};
    forEachBand(int(bands.size()), threads, [&](int i) {
        if (!rowsOpaque(image, bands[std::size_t(i)].firstRow, bands[std::size_t(i)].endRow, translucentFound))
            translucentFound = true;
    });
    return !translucentFound;
}

// The formats read in place; any other is converted first.
PixelSource pixelSource(const QImage& input, int threads)
{
    QImage image = input;
    if (image.format() == QImage::Format_RGB888)
        return {image, Packing::rgbBytes};
    if (!isFourBytesPerPixel(image.format()))
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QImage::Format f = image.format();
    const bool opaque = !image.hasAlphaChannel() || allOpaque(image, threads);
    if (opaque)
        return {image, isWordFormat(f) ? Packing::rgbFromWords : Packing::rgbFromRgbxBytes};
    switch (f) {
    case QImage::Format_ARGB32:
        return {image, Packing::rgbaFromWords};
    case QImage::Format_ARGB32_Premultiplied:
        return {image, Packing::rgbaFromPremultipliedWords};
    case QImage::Format_RGBA8888:
        return {image, Packing::rgbaBytes};
    default:
        return {image, Packing::rgbaFromPremultipliedBytes};
    }
}

// ---- Row filters ----

std::uint8_t paeth(int left, int up, int upLeft)
{
    const int p = left + up - upLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - up);
    const int pc = std::abs(p - upLeft);
    return std::uint8_t(pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft);
}

// Writes the filter type byte and the row filtered against `prior` (the row above, zeros
// above the first row) to out[0...n].
void filterRow(int type, const uchar* row, const uchar* prior, uchar* out, std::size_t n, std::size_t bpp)
{
    out[0] = uchar(type);
    uchar* f = out + 1;
    switch (type) {
    case PNG_FILTER_VALUE_NONE:
        std::memcpy(f, row, n);
        return;
    case PNG_FILTER_VALUE_SUB:
        std::memcpy(f, row, bpp);
        for (std::size_t i = bpp; i < n; ++i)
            f[i] = uchar(row[i] - row[i - bpp]);
        return;
    case PNG_FILTER_VALUE_UP:
        for (std::size_t i = 0; i < n; ++i)
            f[i] = uchar(row[i] - prior[i]);
        return;
    case PNG_FILTER_VALUE_AVG:
        for (std::size_t i = 0; i < bpp; ++i)
            f[i] = uchar(row[i] - (prior[i] >> 1));
        for (std::size_t i = bpp; i < n; ++i)
            f[i] = uchar(row[i] - ((row[i - bpp] + prior[i]) >> 1));
        return;
    default:
        for (std::size_t i = 0; i < bpp; ++i)
            f[i] = uchar(row[i] - prior[i]);
        for (std::size_t i = bpp; i < n; ++i)
            f[i] = uchar(row[i] - paeth(row[i - bpp], prior[i], prior[i - bpp]));
        return;
    }
}

// The filter types (PNG_FILTER_VALUE_*) a PNG_FILTER_* mask allows; none: no filtering.
std::vector<int> filterTypes(int mask)
{
    std::vector<int> types;
    for (int type = PNG_FILTER_VALUE_NONE; type < PNG_FILTER_VALUE_LAST; ++type)
        if (mask & (PNG_FILTER_NONE << type))
            types.push_back(type);
    if (types.empty())
        types.push_back(PNG_FILTER_VALUE_NONE);
    return types;
}

// libpng's choice among several filters: the smallest sum of the bytes taken as signed.
std::uint64_t signedSum(const uchar* filtered, std::size_t n)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += filtered[i] < 128 ? filtered[i] : 256 - filtered[i];
    return sum;
}

// ---- Bands as raw deflate ----

// One band: deflated filtered rows ending on a byte boundary (sync flush), the last band
// with the final block, and the Adler-32 of its filtered rows.
struct CompressedBand {
    std::vector<uchar> deflated;
    uLong adler = adler32(0, nullptr, 0);
    qsizetype filteredBytes = 0;
    bool ok = false;
};

class BandCompressor {
public:
    BandCompressor(const PixelSource& source, const PngEncoderSettings& settings)
        : source_(source), settings_(settings), types_(filterTypes(settings.filter))
    {
    }

    void compress(Band band, bool last, CompressedBand& out) const
    {
        try {
            out.ok = compressRows(band, last, out);
        } catch (const std::bad_alloc&) {
            out.ok = false;
        }
    }

private:
    bool compressRows(Band band, bool last, CompressedBand& out) const
    {
        z_stream z{};
        if (deflateInit2(&z, settings_.zlibLevel, Z_DEFLATED, -MAX_WBITS, 8, settings_.zlibStrategy) != Z_OK)
            return false;
        const auto end = qScopeGuard([&] { deflateEnd(&z); });

        const std::size_t n = source_.rowBytes();
        const std::size_t bpp = std::size_t(source_.bytesPerPixel());
        std::vector<uchar> row(n);
        std::vector<uchar> prior(n, 0);
        std::vector<uchar> filtered((n + 1) * types_.size());
        if (band.firstRow > 0)
            packRow(source_, band.firstRow - 1, prior.data());

        const std::size_t rawBytes = (n + 1) * std::size_t(band.endRow - band.firstRow);
        out.deflated.resize(std::max<std::size_t>(rawBytes / 16, 4096));
        z.next_out = out.deflated.data();
        z.avail_out = uInt(out.deflated.size());
        for (int y = band.firstRow; y < band.endRow; ++y) {
            packRow(source_, y, row.data());
            const uchar* filteredRow = filter(row.data(), prior.data(), filtered.data(), n, bpp);
            out.adler = adler32(out.adler, filteredRow, uInt(n + 1));
            out.filteredBytes += qsizetype(n + 1);
            const int flush = y + 1 < band.endRow ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
            z.next_in = const_cast<uchar*>(filteredRow);
            z.avail_in = uInt(n + 1);
            if (!deflateAll(z, flush, out.deflated))
                return false;
            std::swap(row, prior);
        }
        out.deflated.resize(z.total_out);
        return true;
    }

    const uchar* filter(const uchar* row, const uchar* prior, uchar* candidates, std::size_t n, std::size_t bpp) const
    {
        filterRow(types_[0], row, prior, candidates, n, bpp);
        if (types_.size() == 1)
            return candidates;
        const uchar* best = candidates;
        std::uint64_t bestSum = signedSum(candidates + 1, n);
        for (std::size_t i = 1; i < types_.size(); ++i) {
            uchar* candidate = candidates + i * (n + 1);
            filterRow(types_[i], row, prior, candidate, n, bpp);
            const std::uint64_t sum = signedSum(candidate + 1, n);
            if (sum < bestSum) {
                best = candidate;
                bestSum = sum;
            }
        }
        return best;
    }

    // Deflates all pending input with `flush`, growing the output as needed.
    static bool deflateAll(z_stream& z, int flush, std::vector<uchar>& deflated)
    {
        for (;;) {
            if (z.avail_out == 0) {
                deflated.resize(deflated.size() * 2);
                z.next_out = deflated.data() + z.total_out;
                z.avail_out = uInt(std::min<std::size_t>(deflated.size() - z.total_out, UINT32_MAX));
            }
            const int rc = deflate(&z, flush);
            if (rc == Z_STREAM_ERROR)
                return false;
            if (flush == Z_FINISH ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out > 0)
                return true;
        }
    }

    const PixelSource& source_;
    const PngEncoderSettings& settings_;
    std::vector<int> types_;
};

// ---- The file ----

void writeToByteArray(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<QByteArray*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void flushNothing(png_structp) {}

[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void ignoreWarning(png_structp, png_const_charp) {}

bool isPrintableLatin1(const QString& text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!(u == '\n' || (u >= 0x20 && u <= 0x7e) || (u >= 0xa1 && u <= 0xff)))
            return false;
    }
    return true;
}

// What is written besides the pixels.
struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    png_uint_32 dotsPerMetre = 0; // 0: no pHYs chunk
    png_text* text = nullptr;
    QByteArray icc;
};

// The signature and every chunk before the pixels, written by libpng; false when libpng
// reports an error. Caller-owned state only, so nothing the error jump could leave
// indeterminate lives in the frame of setjmp.
bool writeHeaderChunks(png_structp png, png_infop info, const PngHeader& header, QByteArray& out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &out, writeToByteArray, flushNothing);
    png_set_IHDR(png, info, header.width, header.height, 8, header.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (header.dotsPerMetre)
        png_set_pHYs(png, info, header.dotsPerMetre, header.dotsPerMetre, PNG_RESOLUTION_METER);
    if (!header.icc.isEmpty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE,
                     reinterpret_cast<png_const_bytep>(header.icc.constData()),
                     static_cast<png_uint_32>(header.icc.size()));
    if (header.text)
        png_set_text(png, info, header.text, 1);
    png_write_info(png, info);
    return true;
}

bool writeHeaderChunks(const PngHeader& header, QByteArray& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, ignoreWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && writeHeaderChunks(png, info, header, out);
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return ok;
}

void appendBigEndian(QByteArray& out, quint32 value)
{
    const quint32 bigEndian = qToBigEndian(value);
    out.append(reinterpret_cast<const char*>(&bigEndian), 4);
}

// Appends the zlib stream as IDAT chunks of at most idatChunkBytes.
class IdatWriter {
public:
    explicit IdatWriter(QByteArray& out) : out_(out) {}

    void append(const uchar* data, std::size_t size)
    {
        while (size > 0) {
            if (chunkStart_ < 0)
                open();
            const qsizetype room = idatChunkBytes - (out_.size() - chunkStart_ - 8);
            const std::size_t part = std::min(size, std::size_t(room));
            out_.append(reinterpret_cast<const char*>(data), qsizetype(part));
            crc_ = crc32(crc_, data, uInt(part));
            data += part;
            size -= part;
            if (qsizetype(part) == room)
                close();
        }
    }

    void finish()
    {
        if (chunkStart_ >= 0)
            close();
    }

private:
    void open()
    {
        chunkStart_ = out_.size();
        out_.append("\0\0\0\0IDAT", 8);
        crc_ = crc32(0, reinterpret_cast<const Bytef*>("IDAT"), 4);
    }

    void close()
    {
        qToBigEndian(quint32(out_.size() - chunkStart_ - 8), out_.data() + chunkStart_);
        appendBigEndian(out_, quint32(crc_));
        chunkStart_ = -1;
    }

    QByteArray& out_;
    qsizetype chunkStart_ = -1;
    uLong crc_ = 0;
};

// The two bytes zlib would start the stream with at this setting (window of 32 KiB).
std::array<uchar, 2> zlibHeader(const PngEncoderSettings& settings)
{
    const int level = settings.zlibLevel;
    const int levelFlags = settings.zlibStrategy >= Z_HUFFMAN_ONLY || level < 2 ? 0
                           : level < 6                                          ? 1
                           : level == 6                                         ? 2
                                                                                : 3;
    const int cmf = 0x78;
    int flg = levelFlags << 6;
    flg += 31 - (cmf * 256 + flg) % 31;
    return {uchar(cmf), uchar(flg)};
}

void appendPixels(const std::vector<CompressedBand>& bands, const PngEncoderSettings& settings, QByteArray& out)
{
    IdatWriter idat(out);
    const std::array<uchar, 2> header = zlibHeader(settings);
    idat.append(header.data(), header.size());
    uLong adler = adler32(0, nullptr, 0);
    for (const CompressedBand& band : bands) {
        idat.append(band.deflated.data(), band.deflated.size());
        adler = adler32_combine(adler, band.adler, band.filteredBytes);
    }
    uchar check[4];
    qToBigEndian(quint32(adler), check);
    idat.append(check, 4);
    idat.finish();
    out.append("\0\0\0\0IEND\xae\x42\x60\x82", 12);
}

int threadsFor(const PngEncoderSettings& settings)
{
    return settings.maxThreads > 0 ? settings.maxThreads : std::max(1, QThreadPool::globalInstance()->maxThreadCount());
}

} // namespace

std::optional<QByteArray> encodePng(const QImage& image, double dotsPerInch, const QString& description,
                                    const PngEncoderSettings& settings)
{
    if (image.isNull())
        return std::nullopt;

    const int threads = threadsFor(settings);
    const PixelSource source = pixelSource(image, threads);

    PngHeader header;
    header.width = png_uint_32(image.width());
    header.height = png_uint_32(image.height());
    header.colorType = source.hasAlpha() ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    const double metres = std::round(dotsPerInch / 0.0254);
    if (metres >= 1 && metres <= 0x7fffffff)
        header.dotsPerMetre = static_cast<png_uint_32>(metres);

    const bool latin1 = isPrintableLatin1(description);
    QByteArray textBytes = latin1 ? description.toLatin1() : description.toUtf8();
    png_text text{};
    text.compression = latin1 ? PNG_TEXT_COMPRESSION_NONE : PNG_ITXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>("Description");
    text.text = textBytes.data();
    if (latin1)
        text.text_length = static_cast<std::size_t>(textBytes.size());
    else
        text.itxt_length = static_cast<std::size_t>(textBytes.size());
    if (!description.isEmpty())
        header.text = &text;

    const QColorSpace space = image.colorSpace();
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb))
        header.icc = space.iccProfile();

    const std::vector<Band> bands = bandsOf(image.height(), qsizetype(source.rowBytes()) + 1, threads);
    std::vector<CompressedBand> compressed(bands.size());
    const BandCompressor compressor(source, settings);
    forEachBand(int(bands.size()), threads, [&](int i) {
        compressor.compress(bands[std::size_t(i)], std::size_t(i) + 1 == bands.size(), compressed[std::size_t(i)]);
    });
    if (!std::all_of(compressed.begin(), compressed.end(), [](const CompressedBand& b) { return b.ok; }))
        return std::nullopt;

    QByteArray out;
    qsizetype pixelBytes = 0;
    for (const CompressedBand& band : compressed)
        pixelBytes += qsizetype(band.deflated.size());
    out.reserve(pixelBytes + pixelBytes / idatChunkBytes * 12 + header.icc.size() + textBytes.size() + 1024);
    if (!writeHeaderChunks(header, out))
        return std::nullopt;
    appendPixels(compressed, settings, out);
    return out;
}

} // namespace vorlix
