#pragma once
// The commands other programs may ask for with a "vorlix:" URL: the capture words, text
// recognition, the history folder and the settings, nothing else. Host and path are
// joined with "/" and lower-cased; query, fragment, port and user play no role.
//
// A URL comes from any program or any clicked link, so it is checked strictly, captures
// that take a picture without the user choosing anything are confirmed first, and a
// flood of URLs is cut short.

#include "app/shell/commands/AppCommand.h"

#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

namespace vorlix::URLCommands {

inline constexpr char scheme[] = "vorlix";
inline constexpr int maximumLength = 256;

// The command of a URL of our scheme; nothing for any other URL.
std::optional<AppCommand> command(const QUrl& url);
// The command of URL text as received: no longer than maximumLength, printable ASCII
// only, a valid URL in strict parsing; nothing otherwise.
std::optional<AppCommand> command(const QString& text);

// Captures a URL would start without the user choosing what is captured.
bool needsConfirmation(const AppCommand& command);

// Lets URL commands through at most one per `interval`; the others are refused.
class Gate {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds interval{1000};

    bool admit(Clock::time_point now);

private:
    std::optional<Clock::time_point> m_last;
};

} // namespace vorlix::URLCommands
