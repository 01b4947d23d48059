#include "app/shell/commands/URLCommands.h"

#include <QStringList>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace vorlix::URLCommands {

namespace {

using K = AppCommand::Kind;

struct Word {
    const char* text;
    bool takesCapturePrefix;
    AppCommand command;
};

const std::array<Word, 14>& words()
{
    static const std::array<Word, 14> table{{
        {"area", true, K::captureArea},
        {"screen", true, K::captureFullScreen},
        {"window", true, K::captureWindow},
        {"active-window", true, K::captureActiveWindow},
        {"all-in-one", true, K::captureAllInOne},
        {"scroll", true, K::captureScrolling},
        {"scroll-up", true, K::captureScrolling},
        {"delayed", true, K::captureDelayed},
        {"repeat", true, K::captureRepeatArea},
        {"fixed", true, AppCommand::fixedArea(std::nullopt)},
        {"text", false, K::recognizeText},
        {"ocr", false, K::recognizeText},
        {"history", false, K::showHistoryFolder},
        {"settings", false, K::openSettings},
    }};
    return table;
}

} // namespace

std::optional<AppCommand> command(const QUrl& url)
{
    if (!url.isValid() || url.scheme().compare(QLatin1String(scheme), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    QStringList parts{url.host()};
    for (const QString& part : url.path().split(u'/'))
        if (!part.isEmpty())
            parts.append(part);
    const QString joined = parts.join(u'/').toLower();
    for (const Word& word : words()) {
        const QString text = QLatin1String(word.text);
        if (joined == text || (word.takesCapturePrefix && joined == u"capture/"_s + text))
            return word.command;
    }
    return std::nullopt;
}

std::optional<AppCommand> command(const QString& text)
{
    if (text.isEmpty() || text.size() > maximumLength)
        return std::nullopt;
    for (const QChar c : text)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            return std::nullopt;
    return command(QUrl(text, QUrl::StrictMode));
}

bool needsConfirmation(const AppCommand& command)
{
    switch (command.kind) {
    case K::captureFullScreen:
    case K::captureDelayed:
    case K::captureRepeatArea:
    case K::captureActiveWindow:
        return true;
    default:
        return false;
    }
}

bool Gate::admit(Clock::time_point now)
{
    if (m_last && now >= *m_last && now - *m_last < interval)
        return false;
    m_last = now;
    return true;
}

} // namespace vorlix::URLCommands
