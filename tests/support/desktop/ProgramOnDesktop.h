#pragma once
// The program started as a child process on the test's desktop, with its folders, settings
// and instance socket in a temporary home; what it writes to its error output is kept in a
// log file there. For test programs that define VORLIX_EXECUTABLE.

#include "support/desktop/ChildProcess.h"
#include "support/desktop/Desktop.h"
#include "support/desktop/ProgramHome.h"

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace vorlix::test {

struct ProgramOnDesktop {
    QTemporaryDir home;
    QString logPath = home.filePath(QStringLiteral("vorlix.log"));

    std::vector<std::string> environment() const
    {
        std::vector<std::string> entries = programEnvironment(home.path());
        entries.push_back("DISPLAY=" + processDesktop().displayName().toStdString());
        return entries;
    }

    ChildProcess startProgram() const
    {
        const int log = open(logPath.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ChildProcess process(VORLIX_EXECUTABLE, {}, {.environment = environment(), .standardError = log});
        close(log);
        return process;
    }

    QByteArray log() const
    {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace vorlix::test
