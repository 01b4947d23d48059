#pragma once
// Keeps the application's ActivationPolicy in step with its windows. Once observing, it
// watches every top-level window of the application being shown, hidden, closed,
// activated or minimised, and on the next turn of the event loop decides from the
// windows that count (the editor and settings windows; panels, pins, the quick preview,
// alerts and the overlay never do). Several changes in one turn make one decision.
//
// What a decision means on the desktop is left to hooks: `applyMode` for the windows'
// presence in the task bar, `activate` for bringing the application to the front.

#include "app/shell/startup/ActivationPolicy.h"

#include <QObject>

#include <functional>

class QWidget;

namespace vorlix {

class ActivationPolicyController : public QObject {
    Q_OBJECT

public:
    struct Hooks {
        // Whether a top-level window counts; by default editor and settings windows count.
        std::function<bool(const QWidget*)> counts;
        std::function<void(ActivationPolicy::Mode)> applyMode;
        // By default the first shown counting window is raised and activated.
        std::function<void()> activate;
    };

    explicit ActivationPolicyController(Hooks hooks = {}, QObject* parent = nullptr);
    ~ActivationPolicyController() override;

    // Starts watching the application's windows.
    void observe();

    // Before an editor or the settings window is shown.
    void showAsRegularApp();

    ActivationPolicy::Mode mode() const { return m_policy.mode; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowsChanged();
    void decide();
    void apply(const ActivationPolicy::Effects& effects);
    bool counts(const QWidget* window) const;

    ActivationPolicy m_policy;
    Hooks m_hooks;
    bool m_decisionPending = false;
};

} // namespace vorlix
