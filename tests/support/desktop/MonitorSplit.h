#pragma once
// The test desktop's one screen split into two RandR monitors side by side, "LEFT" and
// "RIGHT", each half as wide, for as long as the object lives.

#include "support/desktop/Desktop.h"
#include "support/desktop/DesktopTools.h"

#include <QString>

namespace vorlix::test {

class MonitorSplit {
public:
    // `output` is the server's only output (the name of its one screen): the left monitor
    // takes it, so that it shows no monitor of its own.
    explicit MonitorSplit(const QString& output)
    {
        const QSize size = processDesktop().size();
        const auto monitor = [&](int x) {
            return QStringLiteral("%1/100x%2/100+%3+0").arg(half()).arg(size.height()).arg(x);
        };
        m_split = runTool("xrandr", {"--setmonitor", "LEFT", monitor(0), output}).exitCode == 0 &&
                  runTool("xrandr", {"--setmonitor", "RIGHT", monitor(half()), "none"}).exitCode == 0;
    }
    ~MonitorSplit()
    {
        runTool("xrandr", {"--delmonitor", "LEFT"});
        runTool("xrandr", {"--delmonitor", "RIGHT"});
    }
    MonitorSplit(const MonitorSplit&) = delete;
    MonitorSplit& operator=(const MonitorSplit&) = delete;

    bool isSplit() const { return m_split; }
    // Where the right monitor begins, in pixels.
    static int half() { return processDesktop().size().width() / 2; }

private:
    bool m_split = false;
};

} // namespace vorlix::test
