#include "app/shell/startup/ActivationPolicyController.h"

#include "app/editor/window/EditorWindow.h"
#include "app/settings/SettingsWindowController.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vorlix {

ActivationPolicyController::ActivationPolicyController(Hooks hooks, QObject* parent)
    : QObject(parent), m_hooks(std::move(hooks))
{
}

ActivationPolicyController::~ActivationPolicyController()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void ActivationPolicyController::observe() { qApp->installEventFilter(this); }

void ActivationPolicyController::showAsRegularApp() { apply(m_policy.showAsRegularApp()); }

bool ActivationPolicyController::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            windowsChanged();
        break;
    default:
        break;
    }
    return false;
}

void ActivationPolicyController::windowsChanged()
{
    if (m_decisionPending)
        return;
    m_decisionPending = true;
    QTimer::singleShot(0, this, &ActivationPolicyController::decide);
}

void ActivationPolicyController::decide()
{
    m_decisionPending = false;
    bool shown = false;
    // A minimised window is still visible to Qt; a closed one is not, whatever its state.
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (counts(window) && window->isVisible()) {
            shown = true;
            break;
        }
    apply(m_policy.windowsChanged(shown));
}

void ActivationPolicyController::apply(const ActivationPolicy::Effects& effects)
{
    if (effects.newMode && m_hooks.applyMode)
        m_hooks.applyMode(*effects.newMode);
    if (!effects.activate)
        return;
    if (m_hooks.activate) {
        m_hooks.activate();
        return;
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        if (counts(window) && window->isVisible()) {
            window->raise();
            window->activateWindow();
            return;
        }
}

bool ActivationPolicyController::counts(const QWidget* window) const
{
    if (m_hooks.counts)
        return m_hooks.counts(window);
    return dynamic_cast<const EditorWindow*>(window) != nullptr ||
           dynamic_cast<const SettingsWindow*>(window) != nullptr;
}

} // namespace vorlix
