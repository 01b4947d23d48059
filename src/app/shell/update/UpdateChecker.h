#pragma once
// Finds out, at most once a day, whether a newer version of the program has been
// published: one GET of "version.json" from the maker's page. The answer is a status
// that the tray menu, the main menu, the tray icon's red dot and the settings show.
//
// The record comes from the network and is read within strict limits: status 200, at
// most `UpdateInfo::maximumFileSize` bytes, a well-formed record whose version parses,
// no redirect to a less safe scheme. Anything else is a failed check, shown as "not
// verified", never as up to date.
//
// Nothing waits for the network: the request runs on the event loop, and the network
// access is set up only when a check starts and let go when it ends (UpdateDownload).

#include "app/shell/update/UpdateDownload.h"
#include "core/formats/UpdateInfo.h"

#include <QColor>
#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace vorlix {

class Settings;

class UpdateChecker : public QObject {
    Q_OBJECT

public:
    // Posted on the settings' notification centre after every check.
    static const QString didChange; // "VorlixUpdateStatusDidChange"
    static constexpr std::chrono::seconds timerInterval{3600};
    static constexpr std::chrono::milliseconds requestTimeout{15'000};

    struct Appearance {
        QString title;
        QColor color; // of the dot
        QString tooltip;
        bool operator==(const Appearance&) const = default;
    };

    // What the item's action reaches outside the checker; the defaults open the settings
    // window through the command centre and the page with the desktop's browser.
    struct Hooks {
        std::function<void()> openSettings;
        std::function<void(const QUrl&)> openPage;
        std::function<QDateTime()> now;
    };

    explicit UpdateChecker(Settings& settings, QObject* parent = nullptr);
    ~UpdateChecker() override;

    // The application's checker over the shared settings, made on first use.
    static UpdateChecker& shared();

    Hooks hooks;

    // Checks once if due, then repeats the due test every hour.
    void start();
    // A check when none was made yet, a day or more has passed, or the last one lies in
    // the future; nothing while checking is off.
    void checkIfDue();
    // Starts one check unless checking is off or one is under way.
    void checkNow();
    bool isChecking() const;

    // Computed from the settings on every call.
    UpdateStatus status() const;
    static Appearance appearance(const UpdateStatus& status);
    // A dot of the colour, 9 points across in a 16-point image.
    static QIcon dot(const QColor& color);

    // The maker's page, and the update file beside it.
    static QUrl pageURL();
    static QUrl feedURL();
    // The "updateFeedURL" setting when it holds an address, else `feedURL()`.
    QUrl requestURL() const;

    // A new update item at the end of `menu`, showing the current status each time the
    // menu opens and after every check.
    QAction* menuItem(QMenu& menu);
    // The item's action: the settings when checking is off, the page when an update is
    // available, else a new check.
    void menuItemChosen();

    // The longest a request may take; `requestTimeout` unless a test shortens it.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    const QTimer& timer() const { return m_timer; }

signals:
    // On every "VorlixUpdateStatusDidChange", whoever posted it.
    void statusChanged();

private:
    void configure(QAction& item) const;
    void received(const UpdateDownloadResult& result);
    void finish(const std::optional<UpdateInfo>& record);
    QDateTime now() const;

    Settings& m_settings;
    QTimer m_timer;
    std::chrono::milliseconds m_timeout = requestTimeout;
    std::unique_ptr<UpdateDownload> m_download; // while a check runs
};

} // namespace vorlix
