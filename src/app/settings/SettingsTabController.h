#pragma once
// The base of the settings window's pages. A page builds its view (`loadView`) when it
// is first about to appear; every time it is about to appear it copies the stored
// settings into its controls (`reload`) and works out the size it wants: its view's
// full size, capped by the height the screen leaves (SettingsWindowController::pageSize).

#include <QSize>
#include <QWidget>

namespace vorlix {

class Settings;
class SettingsWindowController;
struct SettingsServices;

class SettingsTabController : public QWidget {
    Q_OBJECT

public:
    explicit SettingsTabController(SettingsWindowController& window);

    // Loads the view when needed, reloads and refits.
    void viewWillAppear();
    // Works out the wanted size again, without reloading.
    void refit();
    // Copies the stored settings into the controls.
    virtual void reload() {}

    bool isViewLoaded() const { return m_view != nullptr; }
    QWidget* view();
    QSize preferredContentSize() const { return m_preferredContentSize; }

signals:
    void preferredContentSizeChanged(QSize size);

protected:
    // The page's view, made once.
    virtual QWidget* loadView() = 0;

    Settings& settings() const;
    SettingsServices& services() const;
    SettingsWindowController& windowController() const { return m_window; }

private:
    SettingsWindowController& m_window;
    QWidget* m_view = nullptr;
    QSize m_preferredContentSize;
};

} // namespace vorlix
