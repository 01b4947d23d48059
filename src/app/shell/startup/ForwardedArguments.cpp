#include "app/shell/startup/ForwardedArguments.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QtEndian>

#include <cstdint>
#include <optional>

namespace vorlix::ForwardedArguments {

namespace {

// A scheme of two characters or more followed by ':' ("vorlix:", "file:", "https:").
bool looksLikeURL(const QString& argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(argument).hasMatch();
}

void appendNumber(QByteArray& out, std::uint32_t value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

std::optional<std::uint32_t> numberAt(QByteArrayView bytes, qsizetype offset)
{
    if (bytes.size() - offset < 4)
        return std::nullopt;
    return qFromBigEndian<std::uint32_t>(bytes.data() + offset);
}

} // namespace

QStringList forwardable(const QStringList& arguments, const QString& currentFolder)
{
    const QDir folder(currentFolder);
    QStringList result;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QString path = QDir::cleanPath(folder.absoluteFilePath(argument));
        if (!looksLikeURL(argument) || QFileInfo::exists(path)) {
            result.append(path);
            continue;
        }
        // The desktop hands files over as file URLs.
        const QUrl url(argument, QUrl::StrictMode);
        const bool onThisComputer = url.host().isEmpty() || url.host() == QStringLiteral("localhost");
        const QString localFile = url.isValid() && url.isLocalFile() && onThisComputer ? url.toLocalFile() : QString();
        result.append(localFile.isEmpty() ? argument : QDir::cleanPath(localFile));
    }
    return result;
}

QByteArray encode(const QStringList& arguments)
{
    QList<QByteArray> kept;
    for (const QString& argument : arguments) {
        QByteArray bytes = argument.toUtf8();
        if (bytes.size() > maximumArgumentBytes) {
            qWarning("An argument of %lld bytes is too long to hand over and is left out",
                     static_cast<long long>(bytes.size()));
            continue;
        }
        if (kept.size() == maximumArguments) {
            qWarning("Only the first %d arguments are handed over", maximumArguments);
            break;
        }
        kept.append(std::move(bytes));
    }
    QByteArray message;
    appendNumber(message, static_cast<std::uint32_t>(kept.size()));
    for (const QByteArray& bytes : kept) {
        appendNumber(message, static_cast<std::uint32_t>(bytes.size()));
        message.append(bytes);
    }
    return message;
}

Decoded decode(QByteArrayView bytes)
{
    using Status = Decoded::Status;
    const Decoded invalid{.status = Status::invalid, .arguments = {}, .length = 0};
    const std::optional<std::uint32_t> count = numberAt(bytes, 0);
    if (!count)
        return {};
    if (*count > static_cast<std::uint32_t>(maximumArguments))
        return invalid;
    qsizetype offset = 4;
    QStringList arguments;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::optional<std::uint32_t> length = numberAt(bytes, offset);
        if (!length)
            return {};
        if (*length > static_cast<std::uint32_t>(maximumArgumentBytes))
            return invalid;
        offset += 4;
        if (bytes.size() - offset < static_cast<qsizetype>(*length))
            return {};
        const QByteArrayView text = bytes.sliced(offset, *length);
        if (!text.isValidUtf8())
            return invalid;
        arguments.append(QString::fromUtf8(text));
        offset += *length;
    }
    return {.status = Status::complete, .arguments = std::move(arguments), .length = offset};
}

} // namespace vorlix::ForwardedArguments
