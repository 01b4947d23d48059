#pragma once
// What tests and benchmarks that start the program itself share: the environment that
// keeps every folder of the program inside a temporary one, and xdotool's view of its
// windows.

#include "support/desktop/DesktopTools.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace vorlix::test {

// Every folder inside `root`, its runtime folder too (so its own instance socket), X11,
// and no session bus: the tray icon goes to the tray through XEmbed.
inline std::vector<std::string> programEnvironment(const QString& root)
{
    const std::string path = root.toStdString();
    return {"HOME=" + path,
            "XDG_CONFIG_HOME=" + path + "/config",
            "XDG_DATA_HOME=" + path + "/data",
            "XDG_CACHE_HOME=" + path + "/cache",
            "XDG_RUNTIME_DIR=" + path,
            "QT_QPA_PLATFORM=xcb",
            "DBUS_SESSION_BUS_ADDRESS=unix:path=" + path + "/no-bus"};
}

// This process's environment with the "NAME=value" entries over it, for QProcess.
inline QProcessEnvironment withEntries(const std::vector<std::string>& entries)
{
    QProcessEnvironment result = QProcessEnvironment::systemEnvironment();
    for (const std::string& entry : entries) {
        const QString text = QString::fromStdString(entry);
        const qsizetype equals = text.indexOf(u'=');
        result.insert(text.left(equals), text.mid(equals + 1));
    }
    return result;
}

// The ids of the shown windows that match xdotool search criteria ("--pid", "1234").
inline QStringList visibleWindows(const QStringList& criteria)
{
    QStringList arguments = {QStringLiteral("search"), QStringLiteral("--onlyvisible")};
    arguments << criteria;
    return QString::fromLatin1(runTool(QStringLiteral("xdotool"), arguments).output).split(u'\n', Qt::SkipEmptyParts);
}

// A window's place on the screen, from xdotool's shell-style answer.
inline std::optional<QRect> windowGeometry(const QString& window)
{
    const ToolResult found =
        runTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    QMap<QString, int> values;
    for (const QString& line : QString::fromLatin1(found.output).split(u'\n', Qt::SkipEmptyParts))
        values.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
    if (!values.contains(QStringLiteral("WIDTH")))
        return std::nullopt;
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

} // namespace vorlix::test
