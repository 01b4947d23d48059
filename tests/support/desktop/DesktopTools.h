#pragma once
// Input and inspection of the test program's desktop through the usual X tools: keys and
// pointer through xdotool, the clipboard through xclip, windows found by title. Each
// call keeps the test program's event loop turning while it waits, so that the program
// can answer the tool (a clipboard it owns, a window it draws) and queued work runs.

#include "support/EventLoopWaits.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace vorlix::test {

using namespace std::chrono_literals;

struct ToolResult {
    int exitCode = -1; // -1 when the tool did not start or did not finish in time
    QByteArray output;
};

// Runs `program` on the process desktop and waits for it.
ToolResult runTool(const QString& program, const QStringList& arguments, std::chrono::milliseconds timeout = 5s);

// Key presses in xdotool's notation ("ctrl+shift+2", "Num_Lock"), each pressed and released.
bool sendKeys(const QString& keys);
bool movePointer(int x, int y);
bool click(int button = 1);

// The id of the first window whose title is exactly `title`, once it is shown.
std::optional<std::uint32_t> waitForWindow(const QString& title, std::chrono::milliseconds timeout = 5s);
// The clipboard's content in `mimeType`; nullopt when nobody owns the clipboard or the
// owner does not offer that type.
std::optional<QByteArray> readClipboard(const QString& mimeType = QStringLiteral("UTF8_STRING"));

} // namespace vorlix::test
