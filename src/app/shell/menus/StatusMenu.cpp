#include "app/shell/menus/StatusMenu.h"

#include "app/capture/CaptureService.h"
#include "app/shell/commands/CommandCenter.h"
#include "app/shell/commands/LaunchAtLogin.h"
#include "app/shell/menus/MainMenu.h"
#include "app/shell/menus/MenuCommandTarget.h"
#include "app/shell/menus/MenuIcons.h"
#include "app/shell/panels/CaptureSizeCheck.h"
#include "app/shell/update/UpdateChecker.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"
#include "app/support/Termination.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

std::optional<KeyCombo> bindingOf(const HotkeyConfiguration& hotkeys, HotkeyAction action)
{
    const auto found = hotkeys.bindings.find(action);
    if (found == hotkeys.bindings.end())
        return std::nullopt;
    return found->second;
}

bool clipboardHoldsImage()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasImage() || data->hasFormat(u"image/png"_s));
}

QAction* addPlain(QMenu& menu, const QString& title, bool enabled = true)
{
    QAction* action = menu.addAction(title);
    action->setEnabled(enabled);
    return action;
}

} // namespace

StatusMenu::StatusMenu(Settings& settings) : m_settings(settings)
{
    sources.recentEntries = [](int limit) { return CommandCenter::shared().history().recentEntries(limit); };
    sources.thumbnail = [](const HistoryEntry& entry, int maxPixelSize) {
        return CommandCenter::shared().history().thumbnail(entry, maxPixelSize);
    };
    sources.hasLastArea = [] { return CaptureService::hasShared() && CaptureService::shared().lastArea().has_value(); };
    sources.hasPinnedImages = [] { return false; }; // no pinned images yet
    sources.clipboardHasImage = clipboardHoldsImage;
    sources.launchesAtLogin = [] { return LaunchAtLogin::isEnabled(); };
    sources.fitsSomeScreen = [](const CaptureSize& size) { return fitsSomeScreen(size); };
    sources.now = [] { return QDateTime::currentDateTime(); };
    sources.addUpdateItem = [](QMenu& menu) { UpdateChecker::shared().menuItem(menu); };
    QObject::connect(&m_menu, &QMenu::aboutToShow, &m_menu, [this] { rebuild(); });
}

void StatusMenu::rebuild()
{
    // clear() drops the actions but leaves the submenus, which are children of the menu.
    for (QMenu* submenu : m_menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        submenu->deleteLater();
    m_menu.clear();
    const HotkeyConfiguration hotkeys = m_settings.get(setting::hotkeys);
    const bool historyEnabled = m_settings.get(setting::historyEnabled);
    const std::vector<HistoryEntry> recent =
        historyEnabled ? sources.recentEntries(recentShotCount) : std::vector<HistoryEntry>{};
    const auto item = [&](QMenu& menu, const QString& title, const AppCommand& command,
                          std::optional<HotkeyAction> hotkey = std::nullopt) {
        QAction* action =
            MenuCommandTarget::item(title, command, hotkey ? bindingOf(hotkeys, *hotkey) : std::nullopt, &menu);
        menu.addAction(action);
        return action;
    };
    using K = AppCommand::Kind;

    item(m_menu, u"Riapri l'ultimo scatto"_s, K::reopenLastShot)->setEnabled(!recent.empty());
    m_menu.addSeparator();
    item(m_menu, u"Cattura area"_s, K::captureArea, HotkeyAction::captureArea);
    item(m_menu, u"Cattura schermo intero"_s, K::captureFullScreen, HotkeyAction::captureFullScreen);
    item(m_menu, u"Riconosci testo/QR"_s, K::recognizeText, HotkeyAction::recognizeText);
    item(m_menu, u"Tutto in uno"_s, K::captureAllInOne, HotkeyAction::captureAllInOne);

    auto* more = new QMenu(u"Altro"_s, &m_menu);
    item(*more, u"Ripeti cattura area"_s, K::captureRepeatArea)->setEnabled(sources.hasLastArea());
    auto* fixed = new QMenu(u"Cattura area di misura fissa"_s, more);
    fillFixedSizeMenu(*fixed, bindingOf(hotkeys, HotkeyAction::captureFixedArea));
    more->addMenu(fixed);
    item(*more, u"Cattura finestra attiva"_s, K::captureActiveWindow, HotkeyAction::captureActiveWindow);
    item(*more, u"Cattura una finestra (Maiusc per più finestre)"_s, K::captureWindow, HotkeyAction::captureWindow);
    item(*more, u"Cattura ritardata (%1 s)"_s.arg(m_settings.get(setting::captureDelay)), K::captureDelayed);
    item(*more, u"Cattura a scorrimento"_s, K::captureScrolling, HotkeyAction::captureScrolling);
    more->addSeparator();
    item(*more, u"Apri file…"_s, K::openImageFile);
    item(*more, u"Carica dagli appunti"_s, K::openFromClipboard)->setEnabled(sources.clipboardHasImage());
    item(*more, u"Apri progetto…"_s, K::openProject);
    m_menu.addMenu(more);

    m_menu.addSeparator();
    addRecentShots(recent, historyEnabled);
    item(m_menu, u"Mostra tutta la cronologia…"_s, K::showHistoryFolder);
    if (sources.hasPinnedImages()) {
        m_menu.addSeparator();
        auto* pins = new QMenu(u"Leggio"_s, &m_menu);
        item(*pins, u"Togli «Trasparente ai clic»"_s, K::unlockPinnedWindows);
        item(*pins, u"Chiudi tutti"_s, K::closePinnedWindows);
        m_menu.addMenu(pins);
    }
    m_menu.addSeparator();
    QAction* login = item(m_menu, u"Avvia al login"_s, K::toggleLaunchAtLogin);
    login->setCheckable(true);
    login->setChecked(sources.launchesAtLogin());
    QAction* settings = item(m_menu, u"Impostazioni…"_s, K::openSettings);
    settings->setText(settings->text() + u"\tCtrl+,"_s);
    QAction* about = addPlain(m_menu, u"Informazioni su "_s + AppConfig::name());
    QObject::connect(
        about, &QAction::triggered, qApp, [] { MainMenu::hooks().showAbout(); }, Qt::QueuedConnection);
    sources.addUpdateItem(m_menu);
    QAction* quit = addPlain(m_menu, u"Esci\tCtrl+Q"_s);
    QObject::connect(
        quit, &QAction::triggered, qApp, [] { Termination::request(); }, Qt::QueuedConnection);
    MenuIcons::apply(m_menu);
}

void StatusMenu::addRecentShots(const std::vector<HistoryEntry>& entries, bool historyEnabled)
{
    addPlain(m_menu, u"Ultimi scatti"_s, false);
    const QDateTime now = sources.now();
    for (const HistoryEntry& entry : entries) {
        QAction* action =
            MenuCommandTarget::item(title(entry, now), AppCommand::historyEntry(entry.id), std::nullopt, &m_menu);
        // Titles come from the calendar only; nothing of the shot's own text is shown.
        if (const QImage image = sources.thumbnail(entry, thumbnailPixelSize); !image.isNull())
            action->setIcon(thumbnail(image));
        m_menu.addAction(action);
    }
    if (entries.empty()) {
        // Indented like a level-one item under its heading.
        addPlain(m_menu, (historyEnabled ? u"    Nessuno scatto recente"_s : u"    Cronologia disattivata"_s), false);
    }
}

void StatusMenu::fillFixedSizeMenu(QMenu& menu, const std::optional<KeyCombo>& hotkey) const
{
    const std::vector<CaptureSize> favourites = m_settings.get(setting::captureSizes);
    const auto sizeItem = [&](const CaptureSize& size, const std::optional<KeyCombo>& key) {
        QAction* action = MenuCommandTarget::item(size.title(), AppCommand::fixedArea(size), key, &menu);
        menu.addAction(action);
        return action;
    };
    if (const std::optional<CaptureSize> last = m_settings.get(setting::lastCaptureSize)) {
        menu.addSection(u"Ultima usata"_s);
        sizeItem(*last, hotkey);
        menu.addSeparator();
    }
    std::vector<CaptureSize> pixels;
    std::vector<CaptureSize> ratios;
    for (const CaptureSize& size : favourites)
        (size.ratioOnly ? ratios : pixels).push_back(size);
    if (!pixels.empty()) {
        menu.addSection(u"Misure preferite"_s);
        for (const CaptureSize& size : pixels)
            sizeItem(size, std::nullopt)->setEnabled(sources.fitsSomeScreen(size));
        menu.addSeparator();
    }
    if (!ratios.empty()) {
        menu.addSection(u"Solo proporzioni"_s);
        for (const CaptureSize& size : ratios)
            sizeItem(size, std::nullopt);
        menu.addSeparator();
    }
    menu.addAction(
        MenuCommandTarget::item(u"Altra misura…"_s, AppCommand::Kind::captureCustomFixedArea, std::nullopt, &menu));
}

QString StatusMenu::title(const HistoryEntry& entry, const QDateTime& now)
{
    const QDateTime local = entry.date.toLocalTime();
    const QDate today = now.toLocalTime().date();
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QString day;
    if (local.date() == today)
        day = u"Oggi"_s;
    else if (local.date() == today.addDays(-1))
        day = u"Ieri"_s;
    else
        day = italian.toString(local.date(), u"d MMM"_s);
    return day + u", "_s + local.toString(u"HH:mm"_s);
}

QIcon StatusMenu::thumbnail(const QImage& image)
{
    const double dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QImage canvas(thumbnailSize * dpr, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(dpr);
    canvas.fill(Qt::transparent);
    const double scale =
        std::min(double(thumbnailSize.width()) / image.width(), double(thumbnailSize.height()) / image.height());
    const QSizeF drawn(image.width() * scale, image.height() * scale);
    const QRectF target(
        QPointF((thumbnailSize.width() - drawn.width()) / 2, (thumbnailSize.height() - drawn.height()) / 2), drawn);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    QColor separator = QGuiApplication::palette().color(QPalette::Mid);
    painter.setPen(QPen(separator, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(target.adjusted(0.25, 0.25, -0.25, -0.25));
    painter.end();
    return QIcon(QPixmap::fromImage(canvas));
}

} // namespace vorlix
