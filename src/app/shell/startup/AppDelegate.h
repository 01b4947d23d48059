#pragma once
// The application's launch and end. `finishLaunching` runs once the application object
// exists and this start has become the running instance: it puts the icon into the
// tray, starts following the windows for the activation policy, applies the hot keys,
// migrates and cleans up the history, starts the hourly clean-up timer and the update
// checker. When the
// application quits, the history is cleaned up once more. Closing the last window never
// quits it.
//
// What belongs to the commands (hot keys, history, the handling of URLs and files) comes
// in as hooks; a missing hook is skipped. Nothing heavy is made here: text recognition,
// the capture service and the editor are made when first used.

#include "app/shell/startup/ActivationPolicyController.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vorlix {

class Settings;
class StatusMenuController;

// The history is cleaned up by the timer once a day: when 86400 s have passed since the
// last clean-up, or when none was ever made.
bool isHistoryCleanUpDue(const std::optional<QDateTime>& lastCleanup, const QDateTime& now);

class AppDelegate : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds cleanupInterval{3600};

    struct Hooks {
        std::function<void()> applyHotkeys;
        std::function<void()> migrateLegacyHistory;
        std::function<void()> cleanUpHistory;
        std::function<void()> startUpdateChecker;
        // Command URLs and file paths, from this start's command line or handed over by a
        // later start.
        std::function<void(const QStringList&)> openURLsOrFiles;
    };

    AppDelegate(Settings& settings, Hooks hooks, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The application's name, version, organisation and desktop file name: the names
    // its settings folder and its windows go by. Call once the application object exists.
    static void setApplicationIdentity();

    void finishLaunching();
    // Logs each of `arguments`, then hands them to the openURLsOrFiles hook.
    void handleArguments(const QStringList& arguments);
    // What the clean-up timer does when it fires.
    void cleanupTimerFired(const QDateTime& now = QDateTime::currentDateTimeUtc());

    ActivationPolicyController& activationPolicy() { return m_activationPolicy; }
    StatusMenuController* statusMenu() { return m_statusMenu.get(); }
    const QTimer& cleanupTimer() const { return m_cleanupTimer; }

private:
    void willTerminate();

    Settings& m_settings;
    Hooks m_hooks;
    std::unique_ptr<StatusMenuController> m_statusMenu;
    ActivationPolicyController m_activationPolicy;
    QTimer m_cleanupTimer;
};

} // namespace vorlix
