#include "core/imaging/HeifDecoder.h"

#include "core/imaging/HelperFile.h"

#include <QProcess>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <limits>
#include <optional>

namespace vorlix::HeifDecoder {

namespace {

constexpr qsizetype headerSize = 13;

struct Header {
    QSize size;
    bool alpha = false;
};

QString helperProgram()
{
#ifdef VORLIX_HEIF_DECODE_NAME
    static const QString found = [] {
        const QString path =
            findHelperFile(QStringLiteral(VORLIX_HEIF_DECODE_NAME), QStringLiteral(VORLIX_HEIF_DECODE_BUILT));
        if (path.isEmpty())
            qWarning("The HEIF decoder was not found: HEIC and HEIF pictures cannot be opened");
        return path;
    }();
    return found;
#else
    return {};
#endif
}

// The helper's answer for the data, or nothing when it refused the data, failed or took
// longer than `timeout` (then it is stopped).
std::optional<QByteArray> askHelper(const QByteArray& data, qint64 maximumPixels, bool sizeOnly,
                                    std::chrono::milliseconds timeout)
{
    const QString program = helperProgram();
    if (program.isEmpty())
        return std::nullopt;
    QStringList arguments;
    if (sizeOnly)
        arguments << QStringLiteral("--size");
    arguments << QString::number(maximumPixels);
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted())
        return std::nullopt;
    process.write(data);
    process.closeWriteChannel();
    if (!process.waitForFinished(int(timeout.count()))) {
        process.kill();
        process.waitForFinished();
        qWarning("The HEIF decoder took too long and was stopped");
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

std::optional<Header> header(const QByteArray& answer)
{
    if (answer.size() < headerSize || !answer.startsWith("VHD1"))
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(answer.constData());
    const quint32 width = qFromLittleEndian<quint32>(bytes + 4);
    const quint32 height = qFromLittleEndian<quint32>(bytes + 8);
    if (width == 0 || height == 0 || width > quint32(INT_MAX) || height > quint32(INT_MAX))
        return std::nullopt;
    return Header{QSize(int(width), int(height)), bytes[12] != 0};
}

} // namespace

bool isHeif(const QByteArray& data)
{
    static constexpr std::array<const char*, 10> brands{"heic", "heix", "heim", "heis", "hevc",
                                                        "hevx", "hevm", "hevs", "mif1", "msf1"};
    if (data.size() < 16 || std::memcmp(data.constData() + 4, "ftyp", 4) != 0)
        return false;
    const qsizetype boxSize = std::min<qsizetype>(qFromBigEndian<quint32>(data.constData()), data.size());
    const auto isStillImage = [&](qsizetype at) {
        return std::any_of(brands.begin(), brands.end(),
                           [&](const char* brand) { return std::memcmp(data.constData() + at, brand, 4) == 0; });
    };
    // The major brand, then the compatible ones after the minor version.
    if (isStillImage(8))
        return true;
    for (qsizetype at = 16; at + 4 <= boxSize; at += 4)
        if (isStillImage(at))
            return true;
    return false;
}

std::optional<QSize> size(const QByteArray& data)
{
    const std::optional<QByteArray> answer = askHelper(data, std::numeric_limits<qint64>::max(), true, decodeTimeout);
    if (!answer)
        return std::nullopt;
    const std::optional<Header> read = header(*answer);
    return read ? std::optional(read->size) : std::nullopt;
}

QImage decode(const QByteArray& data, qint64 maximumPixels, std::chrono::milliseconds timeout)
{
    const std::optional<QByteArray> answer = askHelper(data, maximumPixels, false, timeout);
    if (!answer)
        return {};
    const std::optional<Header> read = header(*answer);
    if (!read)
        return {};
    const qint64 pixels = qint64(read->size.width()) * read->size.height();
    const int bytesPerPixel = read->alpha ? 4 : 3;
    if (pixels > maximumPixels || answer->size() != headerSize + pixels * bytesPerPixel)
        return {};
    const auto* rows = reinterpret_cast<const uchar*>(answer->constData() + headerSize);
    // A copy: the answer's bytes go when this returns.
    return QImage(rows, read->size.width(), read->size.height(), qsizetype(read->size.width()) * bytesPerPixel,
                  read->alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
        .copy();
}

} // namespace vorlix::HeifDecoder
