#include "app/shell/startup/AppDelegate.h"

#include "app/shell/startup/StatusMenuController.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"

#include <QApplication>

namespace vorlix {

namespace {

constexpr qint64 cleanupAfterSeconds = 86'400;

void run(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

bool isHistoryCleanUpDue(const std::optional<QDateTime>& lastCleanup, const QDateTime& now)
{
    return !lastCleanup || !lastCleanup->isValid() || lastCleanup->secsTo(now) >= cleanupAfterSeconds;
}

AppDelegate::AppDelegate(Settings& settings, Hooks hooks, QObject* parent)
    : QObject(parent), m_settings(settings), m_hooks(std::move(hooks))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::setApplicationIdentity()
{
    QCoreApplication::setApplicationName(AppConfig::name());
    QCoreApplication::setApplicationVersion(AppConfig::version());
    QCoreApplication::setOrganizationName(AppConfig::organizationName());
    QCoreApplication::setOrganizationDomain(AppConfig::organizationDomain());
    QGuiApplication::setApplicationDisplayName(AppConfig::name());
    QGuiApplication::setDesktopFileName(QString::fromLatin1(AppConfig::applicationId));
}

void AppDelegate::finishLaunching()
{
    QApplication::setQuitOnLastWindowClosed(false);
    m_statusMenu = std::make_unique<StatusMenuController>(m_settings);
    m_activationPolicy.observe();
    run(m_hooks.applyHotkeys);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::willTerminate);
    run(m_hooks.migrateLegacyHistory);
    run(m_hooks.cleanUpHistory);
    m_cleanupTimer.setInterval(cleanupInterval);
    m_cleanupTimer.setTimerType(Qt::CoarseTimer);
    connect(&m_cleanupTimer, &QTimer::timeout, this, [this] { cleanupTimerFired(); });
    m_cleanupTimer.start();
    run(m_hooks.startUpdateChecker);
}

void AppDelegate::handleArguments(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        qInfo("Received %s", qPrintable(argument));
    if (m_hooks.openURLsOrFiles && !arguments.isEmpty())
        m_hooks.openURLsOrFiles(arguments);
}

void AppDelegate::cleanupTimerFired(const QDateTime& now)
{
    if (isHistoryCleanUpDue(m_settings.get(setting::lastHistoryCleanup), now))
        run(m_hooks.cleanUpHistory);
}

void AppDelegate::willTerminate() { run(m_hooks.cleanUpHistory); }

} // namespace vorlix
