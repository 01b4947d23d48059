#include "app/shell/commands/LaunchAtLogin.h"

#include "app/support/AppConfig.h"
#include "app/support/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace vorlix::LaunchAtLogin {

namespace {

// An argument of a desktop entry's Exec key, quoted with its reserved characters escaped.
QString quotedArgument(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    // Within a desktop entry's string value a backslash is itself escaped.
    escaped.replace(u"\\"_s, u"\\\\"_s);
    return u"\""_s + escaped + u"\""_s;
}

QString executable() { return QCoreApplication::applicationFilePath(); }

QString cleanLine(const QString& text)
{
    QString line = text;
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    return line;
}

} // namespace

QString entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + u"/.config"_s;
    return config + u"/autostart/org.vorlix.Vorlix.desktop"_s;
}

QString entryText(const QString& name, const QString& program)
{
    return u"[Desktop Entry]\nType=Application\nName="_s + cleanLine(name) + u"\nExec="_s +
           cleanLine(quotedArgument(program)) + u"\nX-GNOME-Autostart-enabled=true\n"_s;
}

bool isEnabled()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QString expectedExec = u"Exec="_s + cleanLine(quotedArgument(executable()));
    bool startsUs = false;
    bool hidden = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed == expectedExec)
            startsUs = true;
        else if (trimmed.compare(u"Hidden=true"_s, Qt::CaseInsensitive) == 0)
            hidden = true;
    }
    return startsUs && !hidden;
}

std::optional<QString> toggle()
{
    const QString path = entryPath();
    if (isEnabled()) {
        QFile file(path);
        if (!file.remove())
            return u"Impossibile togliere l'avvio al login: %1"_s.arg(file.errorString());
        return std::nullopt;
    }
    if (!QDir().mkpath(QFileInfo(path).path()))
        return u"Impossibile creare la cartella %1."_s.arg(QFileInfo(path).path());
    if (const std::optional<QString> error =
            Files::writeAtomically(path, entryText(AppConfig::name(), executable()).toUtf8()))
        return u"Impossibile attivare l'avvio al login: %1"_s.arg(*error);
    return std::nullopt;
}

} // namespace vorlix::LaunchAtLogin
