#include "app/settings/ShortcutSettingsViewController.h"

#include "app/settings/SettingsPage.h"
#include "app/settings/SettingsRow.h"
#include "app/settings/SettingsSection.h"
#include "app/settings/SettingsServices.h"
#include "app/settings/ShortcutRecorder.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"
#include "platform/HotkeyCenter.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

} // namespace

QString ShortcutSettingsViewController::message(const HotkeyConfiguration::Conflict& conflict, const QString& comboText)
{
    using Conflict = HotkeyConfiguration::Conflict;
    return std::visit(Overloaded{
                          [](const Conflict::Invalid&) { return u"Usa almeno uno tra Ctrl, Alt e Super."_s; },
                          [&](const Conflict::System& system) {
                              return comboText + u" è usata dal sistema ("_s + system.name + u")."_s;
                          },
                          [&](const Conflict::OtherAction& other) {
                              return comboText + u" è già usata per “"_s + displayName(other.action) + u"”."_s;
                          },
                      },
                      conflict.value);
}

QWidget* ShortcutSettingsViewController::loadView()
{
    std::vector<QWidget*> rows;
    QPointer<ShortcutSettingsViewController> page(this);
    for (const auto& [action, text] : EnumTexts<HotkeyAction>::table) {
        // A copy: a field torn down with the page still registers the hot keys again.
        auto* recorder = new ShortcutRecorder(hotkeys(), [apply = services().applyHotkeys] {
            if (apply)
                apply();
        });
        recorder->onRecord = [page, action = action](const KeyCombo& combo) {
            if (page)
                page->assign(combo, action);
        };
        recorder->onClear = [page, action = action] {
            if (page)
                page->assign(std::nullopt, action);
        };
        m_recorders[action] = recorder;
        auto* row = new SettingsRow(displayName(action), std::nullopt, recorder);
        row->warning()->setTextFormat(Qt::PlainText);
        m_rows[action] = row;
        rows.push_back(row);
    }

    m_restoreButton = new QPushButton(u"Ripristina predefinite"_s);
    m_restoreButton->setFont(systemFont(11));
    connect(m_restoreButton, &QPushButton::clicked, this, &ShortcutSettingsViewController::restoreDefaults);

    auto* section = new SettingsSection(u"Scorciatoie globali"_s, rows, {},
                                        u"Funzionano con qualsiasi app in primo piano. Clicca un campo e premi la "
                                        u"nuova combinazione; Esc annulla, ✕ la disattiva."_s);
    auto* view = new SettingsPage({section}, m_restoreButton);
    reload();
    return view;
}

void ShortcutSettingsViewController::reload()
{
    const HotkeyConfiguration configuration = settings().get(setting::hotkeys);
    for (const auto& [action, recorder] : m_recorders) {
        const auto bound = configuration.bindings.find(action);
        recorder->setCombo(bound == configuration.bindings.end() ? std::nullopt
                                                                 : std::optional<KeyCombo>(bound->second));
    }
}

void ShortcutSettingsViewController::assign(const std::optional<KeyCombo>& combo, HotkeyAction action)
{
    HotkeyConfiguration configuration = settings().get(setting::hotkeys);
    hideWarning(action);
    if (combo) {
        if (const std::optional<HotkeyConfiguration::Conflict> conflict = configuration.conflict(*combo, action)) {
            showWarning(action, message(*conflict, shortcutText(*combo, hotkeys())));
            // The field took every hot key away when it started listening.
            applyHotkeys();
            reload();
            return;
        }
        configuration.bindings[action] = *combo;
    } else {
        configuration.bindings.erase(action);
    }
    settings().set(setting::hotkeys, configuration);
    const std::set<HotkeyAction> failed = applyHotkeys();
    if (combo && failed.contains(action))
        showWarning(action, shortcutText(*combo, hotkeys()) + u" è già usata da un'altra app."_s);
    reload();
}

void ShortcutSettingsViewController::restoreDefaults()
{
    settings().set(setting::hotkeys, HotkeyConfiguration::defaults());
    for (const auto& [action, row] : m_rows)
        hideWarning(action);
    applyHotkeys();
    reload();
}

ShortcutRecorder* ShortcutSettingsViewController::recorder(HotkeyAction action) const
{
    const auto found = m_recorders.find(action);
    return found == m_recorders.end() ? nullptr : found->second;
}

SettingsRow* ShortcutSettingsViewController::row(HotkeyAction action) const
{
    const auto found = m_rows.find(action);
    return found == m_rows.end() ? nullptr : found->second;
}

HotkeyCenter& ShortcutSettingsViewController::hotkeys() const
{
    return services().hotkeys ? services().hotkeys() : HotkeyCenter::shared();
}

std::set<HotkeyAction> ShortcutSettingsViewController::applyHotkeys() const
{
    return services().applyHotkeys ? services().applyHotkeys() : std::set<HotkeyAction>{};
}

void ShortcutSettingsViewController::showWarning(HotkeyAction action, const QString& text) const
{
    if (SettingsRow* r = row(action)) {
        r->warning()->setText(text);
        r->warning()->show();
    }
}

void ShortcutSettingsViewController::hideWarning(HotkeyAction action) const
{
    if (SettingsRow* r = row(action)) {
        r->warning()->clear();
        r->warning()->hide();
    }
}

} // namespace vorlix
