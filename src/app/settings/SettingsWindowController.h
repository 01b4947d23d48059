#pragma once
// The application's one preferences window: a toolbar of three tabs, "Generale",
// "Scatti" and "Scorciatoie", over the selected page. Made on first use and kept for the
// whole run; closing only hides it, and the selected tab survives.
//
// The window takes the size its selected page wants (its content's full height, capped by
// the height of the screen) and, each time it is opened from hidden, hangs from the top
// edge of the screen's available area, centred. Pages read the stored settings again
// each time they are about to appear.
//
// Adding a page: a SettingsTabController subclass, made and added with `addPage` in the
// constructor, in tab order.

#include "app/settings/SettingsServices.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QActionGroup;
class QStackedWidget;
class QToolBar;
class QAction;

namespace vorlix {

class Settings;
class SettingsTabController;

// The window itself; the activation policy counts it like an editor window.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* parent = nullptr);
};

class SettingsWindowController : public QObject {
    Q_OBJECT

public:
    struct Tab {
        SettingsTabController* page;
        QAction* action;
    };

    SettingsWindowController(Settings& settings, SettingsServices& services);
    ~SettingsWindowController() override;

    // The application's controller over the shared settings and `services()`, made on
    // first use.
    static SettingsWindowController& shared();
    // What the shared controller's pages use; fill in before its first use.
    static SettingsServices& sharedServices();

    // Brings the window up: placed at the top of the screen when it was hidden, then in
    // front with no field focused.
    void show();
    // The size a page of `size` may take: its width, and its height capped by the height
    // the screen leaves under the window's title and toolbar.
    QSize pageSize(QSize size) const;

    void selectTab(int index);
    int selectedTab() const;

    SettingsWindow& window() const { return *m_window; }
    const std::vector<Tab>& tabs() const { return m_tabs; }
    QToolBar& toolbar() const { return *m_toolbar; }
    Settings& settings() const { return m_settings; }
    SettingsServices& services() const { return m_services; }

    // The top-left corner of a window `frame` wide hanging from the top edge of
    // `available`, centred, its left edge on a whole pixel (halves away from zero).
    static QPoint topCentre(const QRect& available, int frameWidth);
    // `size` with its height capped at the available height less the title's.
    static QSize capped(QSize size, int availableHeight, int titleHeight);

private:
    void addPage(SettingsTabController* page, const QString& label, const char* symbol);
    void placeAtTop();
    void fitWindow(QSize pageSize);
    QScreen* screen(bool windowsFirst) const;
    int titleHeight() const;

    Settings& m_settings;
    SettingsServices& m_services;
    std::unique_ptr<SettingsWindow> m_window;
    QToolBar* m_toolbar;
    QStackedWidget* m_stack;
    QActionGroup* m_tabGroup;
    std::vector<Tab> m_tabs;
};

} // namespace vorlix
