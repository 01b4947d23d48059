#include "app/settings/SettingsTabController.h"

#include "app/settings/SettingsWindowController.h"

#include <QVBoxLayout>

namespace vorlix {

SettingsTabController::SettingsTabController(SettingsWindowController& window) : m_window(window)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWidget* SettingsTabController::view()
{
    if (!m_view) {
        m_view = loadView();
        layout()->addWidget(m_view);
    }
    return m_view;
}

void SettingsTabController::viewWillAppear()
{
    view();
    reload();
    refit();
}

void SettingsTabController::refit()
{
    QWidget* page = view();
    page->updateGeometry();
    if (QLayout* own = page->layout())
        own->activate();
    const QSize size = m_window.pageSize(page->sizeHint());
    if (size == m_preferredContentSize)
        return;
    m_preferredContentSize = size;
    emit preferredContentSizeChanged(size);
}

Settings& SettingsTabController::settings() const { return m_window.settings(); }

SettingsServices& SettingsTabController::services() const { return m_window.services(); }

} // namespace vorlix
