#include "app/settings/SettingsWindowController.h"

#include "app/settings/GeneralSettingsViewController.h"
#include "app/settings/SettingsTabController.h"
#include "app/settings/ShortcutSettingsViewController.h"
#include "app/settings/ShotsSettingsViewController.h"
#include "app/support/Settings.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QScreen>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr int tabButtonWidth = 96;

// The tabs' symbols in the desktop's icon theme.
QIcon symbolIcon(std::string_view symbol)
{
    struct Row {
        std::string_view symbol;
        const char* themeName;
    };
    static constexpr Row rows[] = {
        {"gearshape", "preferences-system"},
        {"photo.on.rectangle", "image-x-generic"},
        {"keyboard", "input-keyboard"},
    };
    for (const Row& row : rows)
        if (row.symbol == symbol)
            return QIcon::fromTheme(QString::fromLatin1(row.themeName));
    return {};
}

} // namespace

SettingsWindow::SettingsWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    // The window itself takes the focus when it opens, so that no field starts focused.
    setFocusPolicy(Qt::ClickFocus);
}

SettingsWindowController::SettingsWindowController(Settings& settings, SettingsServices& services)
    : m_settings(settings),
      m_services(services),
      m_window(std::make_unique<SettingsWindow>()),
      m_toolbar(new QToolBar),
      m_stack(new QStackedWidget),
      m_tabGroup(new QActionGroup(this))
{
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(24, 24));
    auto spacer = [] {
        auto* space = new QWidget;
        space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        return space;
    };
    m_toolbar->addWidget(spacer());
    m_tabGroup->setExclusive(true);

    auto* layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_stack);

    addPage(new GeneralSettingsViewController(*this), u"Generale"_s, "gearshape");
    addPage(new ShotsSettingsViewController(*this), u"Scatti"_s, "photo.on.rectangle");
    addPage(new ShortcutSettingsViewController(*this), u"Scorciatoie"_s, "keyboard");
    m_toolbar->addWidget(spacer());
    selectTab(0);
}

SettingsWindowController::~SettingsWindowController() = default;

SettingsServices& SettingsWindowController::sharedServices()
{
    static SettingsServices services;
    return services;
}

SettingsWindowController& SettingsWindowController::shared()
{
    // Kept for the whole run, widgets and all.
    static auto* controller = new SettingsWindowController(Settings::shared(), sharedServices());
    return *controller;
}

void SettingsWindowController::addPage(SettingsTabController* page, const QString& label, const char* symbol)
{
    page->setWindowTitle(label);
    QAction* action = m_toolbar->addAction(symbolIcon(symbol), label);
    action->setCheckable(true);
    action->setIconText(label);
    action->setToolTip(label);
    m_tabGroup->addAction(action);
    if (QWidget* button = m_toolbar->widgetForAction(action)) {
        button->setFixedWidth(tabButtonWidth);
        button->setFocusPolicy(Qt::NoFocus);
    }
    const int index = int(m_tabs.size());
    connect(action, &QAction::triggered, this, [this, index] { selectTab(index); });
    connect(page, &SettingsTabController::preferredContentSizeChanged, this, [this, page](QSize size) {
        if (m_stack->currentWidget() == page)
            fitWindow(size);
    });
    m_stack->addWidget(page);
    m_tabs.push_back({page, action});
}

void SettingsWindowController::selectTab(int index)
{
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    const Tab& tab = m_tabs[std::size_t(index)];
    tab.action->setChecked(true);
    tab.page->viewWillAppear();
    m_stack->setCurrentIndex(index);
    m_window->setWindowTitle(tab.page->windowTitle());
    fitWindow(tab.page->preferredContentSize());
}

int SettingsWindowController::selectedTab() const { return m_stack->currentIndex(); }

void SettingsWindowController::fitWindow(QSize pageSize)
{
    m_stack->setFixedSize(pageSize);
    m_window->layout()->activate();
}

void SettingsWindowController::show()
{
    if (m_services.showAsRegularApp)
        m_services.showAsRegularApp();
    const bool placing = !m_window->isVisible();
    if (placing) {
        selectTab(selectedTab());
        placeAtTop();
    }
    m_window->show();
    // Once shown, the window's frame is known: centred again with it.
    if (placing)
        placeAtTop();
    m_window->raise();
    m_window->activateWindow();
    // No field starts focused.
    if (QWidget* focused = m_window->focusWidget())
        focused->clearFocus();
    m_window->setFocus();
}

QScreen* SettingsWindowController::screen(bool windowsFirst) const
{
    QScreen* own =
        m_window->isVisible() || m_window->testAttribute(Qt::WA_WState_Created) ? m_window->screen() : nullptr;
    QScreen* primary = QGuiApplication::primaryScreen();
    return windowsFirst ? (own ? own : primary) : (primary ? primary : own);
}

int SettingsWindowController::titleHeight() const
{
    // The window manager's title bar, once the window has one, and the tabs.
    const int frame = m_window->isVisible() ? m_window->frameGeometry().height() - m_window->geometry().height() : 0;
    return std::max(frame, 0) + m_toolbar->sizeHint().height();
}

QSize SettingsWindowController::capped(QSize size, int availableHeight, int titleHeight)
{
    return {size.width(), std::min(size.height(), availableHeight - titleHeight)};
}

QPoint SettingsWindowController::topCentre(const QRect& available, int frameWidth)
{
    const double centre = available.x() + available.width() * 0.5;
    return {int(std::round(centre - frameWidth * 0.5)), available.y()};
}

QSize SettingsWindowController::pageSize(QSize size) const
{
    const QScreen* shown = screen(true);
    if (!shown)
        return size;
    return capped(size, shown->availableGeometry().height(), titleHeight());
}

void SettingsWindowController::placeAtTop()
{
    const QScreen* shown = screen(false);
    if (!shown)
        return;
    m_window->layout()->activate();
    const int frameWidth = std::max(m_window->frameGeometry().width(), m_window->width());
    m_window->move(topCentre(shown->availableGeometry(), frameWidth));
}

} // namespace vorlix
