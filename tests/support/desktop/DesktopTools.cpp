#include "support/desktop/DesktopTools.h"

#include "support/desktop/Desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <thread>

namespace vorlix::test {

ToolResult runTool(const QString& program, const QStringList& arguments, std::chrono::milliseconds timeout)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), processDesktop().displayName());
    process.setProcessEnvironment(environment);
    process.setProgram(program);
    process.setArguments(arguments);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start();
    timer.start(timeout);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.error() == QProcess::FailedToStart)
        return {};
    return {process.exitCode(), process.readAllStandardOutput()};
}

bool sendKeys(const QString& keys)
{
    return runTool(QStringLiteral("xdotool"), {QStringLiteral("key"), keys}).exitCode == 0;
}

bool movePointer(int x, int y)
{
    return runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(x), QString::number(y)})
               .exitCode == 0;
}

bool click(int button)
{
    return runTool(QStringLiteral("xdotool"), {QStringLiteral("click"), QString::number(button)}).exitCode == 0;
}

std::optional<std::uint32_t> waitForWindow(const QString& title, std::chrono::milliseconds timeout)
{
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    std::optional<std::uint32_t> found;
    waitUntil(
        [&] {
            const ToolResult result =
                runTool(QStringLiteral("xdotool"),
                        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern});
            if (result.exitCode != 0)
                return false;
            bool ok = false;
            const std::uint32_t id = QString::fromUtf8(result.output).section(QLatin1Char('\n'), 0, 0).toUInt(&ok);
            if (ok)
                found = id;
            return ok;
        },
        timeout);
    return found;
}

std::optional<QByteArray> readClipboard(const QString& mimeType)
{
    const QStringList clipboard{QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o"),
                                QStringLiteral("-t")};
    // xclip gives an empty text for a type the owner does not offer: ask for the list first.
    const ToolResult targets = runTool(QStringLiteral("xclip"), clipboard + QStringList{QStringLiteral("TARGETS")});
    if (targets.exitCode != 0 || !targets.output.split('\n').contains(mimeType.toUtf8()))
        return std::nullopt;
    const ToolResult result = runTool(QStringLiteral("xclip"), clipboard + QStringList{mimeType});
    if (result.exitCode != 0)
        return std::nullopt;
    return result.output;
}

} // namespace vorlix::test
