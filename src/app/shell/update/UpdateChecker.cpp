#include "app/shell/update/UpdateChecker.h"

#include "app/shell/commands/CommandCenter.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <string_view>

using namespace Qt::StringLiterals;

namespace vorlix {

const QString UpdateChecker::didChange = u"VorlixUpdateStatusDidChange"_s;

namespace {

constexpr qint64 maximumBodySize = static_cast<qint64>(UpdateInfo::maximumFileSize);

// A record whose version parses; anything else counts as no record.
std::optional<UpdateInfo> decodedRecord(const QByteArray& body)
{
    try {
        UpdateInfo info = decodeUpdateInfo(std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
        if (info.appVersion())
            return info;
    } catch (const DecodeError& error) {
        qInfo("The update file is not a valid record: %s", error.what());
    }
    return std::nullopt;
}

} // namespace

UpdateChecker::UpdateChecker(Settings& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    hooks.openSettings = [] { CommandCenter::shared().perform(AppCommand(AppCommand::Kind::openSettings)); };
    hooks.openPage = [](const QUrl& page) { QDesktopServices::openUrl(page); };
    hooks.now = [] { return QDateTime::currentDateTimeUtc(); };
    m_timer.setInterval(timerInterval);
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &UpdateChecker::checkIfDue);
    // Also posted by whoever turns checking on or off.
    connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
        if (name == didChange)
            emit statusChanged();
    });
}

UpdateChecker::~UpdateChecker() = default;

UpdateChecker& UpdateChecker::shared()
{
    static UpdateChecker* checker = new UpdateChecker(Settings::shared()); // lives for the whole run
    return *checker;
}

void UpdateChecker::start()
{
    checkIfDue();
    m_timer.start();
}

void UpdateChecker::checkIfDue()
{
    if (m_settings.get(setting::checksForUpdates) &&
        UpdateStatus::isCheckDue(m_settings.get(setting::lastUpdateCheck), now()))
        checkNow();
}

void UpdateChecker::checkNow()
{
    if (!m_settings.get(setting::checksForUpdates) || isChecking())
        return;
    m_download = makeUpdateDownload();
    if (!m_download) {
        finish(std::nullopt);
        return;
    }
    m_download->get(requestURL(), maximumBodySize, m_timeout,
                    [this](const UpdateDownloadResult& result) { received(result); });
}

bool UpdateChecker::isChecking() const { return m_download != nullptr; }

void UpdateChecker::received(const UpdateDownloadResult& result)
{
    // The network access is made again for the next check, a day later at the earliest.
    m_download.reset();
    std::optional<UpdateInfo> record;
    if (result.body)
        record = decodedRecord(*result.body);
    else
        qInfo("The update check failed: %s", qPrintable(result.failure));
    finish(record);
}

void UpdateChecker::finish(const std::optional<UpdateInfo>& record)
{
    m_settings.set(setting::lastUpdateCheck, now());
    m_settings.set(setting::lastUpdateCheckSucceeded, record.has_value());
    if (record)
        m_settings.set(setting::latestUpdate, *record);
    m_settings.notifications().post(didChange);
}

QDateTime UpdateChecker::now() const { return hooks.now ? hooks.now() : QDateTime::currentDateTimeUtc(); }

UpdateStatus UpdateChecker::status() const
{
    return UpdateStatus::evaluate(m_settings.get(setting::checksForUpdates), m_settings.get(setting::latestUpdate),
                                  AppConfig::installedVersion(), m_settings.get(setting::lastUpdateCheckSucceeded));
}

UpdateChecker::Appearance UpdateChecker::appearance(const UpdateStatus& status)
{
    struct Colour {
        QColor operator()(const UpdateStatus::UpdateAvailable&) const { return QColor(255, 59, 48); }
        QColor operator()(const UpdateStatus::Disabled&) const { return QColor(255, 204, 0); }
        QColor operator()(const UpdateStatus::UpToDate&) const { return QColor(52, 199, 89); }
        QColor operator()(const UpdateStatus::NotVerified&) const { return QColor(142, 142, 147); }
    };
    return {status.title(), std::visit(Colour{}, status.state), status.tooltip(AppConfig::name())};
}

QIcon UpdateChecker::dot(const QColor& color)
{
    constexpr qreal scale = 2;
    QPixmap image(QSize(16, 16) * scale);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0, 0, 16, 16).adjusted(3.5, 3.5, -3.5, -3.5));
    painter.end();
    return QIcon(image);
}

QUrl UpdateChecker::pageURL() { return AppConfig::updatePageURL(); }

QUrl UpdateChecker::feedURL()
{
    QUrl feed = pageURL();
    QString path = feed.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    feed.setPath(path + u"version.json"_s);
    return feed;
}

QUrl UpdateChecker::requestURL() const { return m_settings.get(setting::updateFeedURL).value_or(feedURL()); }

QAction* UpdateChecker::menuItem(QMenu& menu)
{
    auto* item = new QAction(&menu);
    configure(*item);
    connect(&menu, &QMenu::aboutToShow, item, [this, item] { configure(*item); });
    connect(this, &UpdateChecker::statusChanged, item, [this, item] { configure(*item); });
    connect(item, &QAction::triggered, this, &UpdateChecker::menuItemChosen, Qt::QueuedConnection);
    menu.addAction(item);
    return item;
}

void UpdateChecker::configure(QAction& item) const
{
    const Appearance look = appearance(status());
    item.setText(look.title);
    item.setIcon(dot(look.color));
    item.setToolTip(look.tooltip);
}

void UpdateChecker::menuItemChosen()
{
    const UpdateStatus current = status();
    if (std::holds_alternative<UpdateStatus::Disabled>(current.state)) {
        if (hooks.openSettings)
            hooks.openSettings();
    } else if (current.isUpdateAvailable()) {
        if (hooks.openPage)
            hooks.openPage(pageURL());
    } else {
        checkNow();
    }
}

} // namespace vorlix
