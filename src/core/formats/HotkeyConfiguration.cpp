#include "core/formats/HotkeyConfiguration.h"

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

using M = KeyCombo::Modifiers;

KeyCombo combo(std::uint32_t keyCode, M modifiers) { return {keyCode, modifiers}; }

} // namespace

QString displayName(HotkeyAction action)
{
    switch (action) {
    case HotkeyAction::captureArea:
        return u"Cattura area"_s;
    case HotkeyAction::captureFullScreen:
        return u"Cattura schermo intero"_s;
    case HotkeyAction::recognizeText:
        return u"Riconosci testo/QR"_s;
    case HotkeyAction::captureAllInOne:
        return u"Tutto in uno"_s;
    case HotkeyAction::captureWindow:
        return u"Cattura una finestra"_s;
    case HotkeyAction::captureActiveWindow:
        return u"Cattura finestra attiva"_s;
    case HotkeyAction::captureScrolling:
        return u"Cattura a scorrimento"_s;
    case HotkeyAction::captureFixedArea:
        return u"Cattura area di misura fissa"_s;
    }
    return {};
}

const HotkeyConfiguration& HotkeyConfiguration::defaults()
{
    static const HotkeyConfiguration configuration{{
        {HotkeyAction::captureArea, combo(KeyCode::digit2, M::command | M::shift)},
        {HotkeyAction::captureFullScreen, combo(KeyCode::digit1, M::command | M::shift)},
        {HotkeyAction::recognizeText, combo(KeyCode::o, M::command | M::option | M::control)},
        {HotkeyAction::captureAllInOne, combo(KeyCode::digit2, M::command | M::shift | M::control)},
    }};
    return configuration;
}

const std::vector<HotkeyConfiguration::SystemShortcut>& HotkeyConfiguration::systemShortcuts()
{
    const M ctrlAlt = M::command | M::option;
    static const std::vector<SystemShortcut> table{
        {combo(KeyCode::print, M{}), u"Schermata del sistema"_s},
        {combo(KeyCode::print, M::option), u"Schermata di una finestra del sistema"_s},
        {combo(KeyCode::print, M::shift), u"Schermata di un'area del sistema"_s},
        {combo(KeyCode::tab, M::option), u"Passaggio tra le finestre"_s},
        {combo(KeyCode::f4, M::option), u"Chiusura della finestra"_s},
        {combo(KeyCode::f2, M::option), u"Esecuzione di un comando"_s},
        {combo(KeyCode::leftSuper, M::control), u"Panoramica delle attività"_s},
        {combo(KeyCode::l, M::control), u"Blocco dello schermo"_s},
        {combo(KeyCode::t, ctrlAlt), u"Apertura del terminale"_s},
        {combo(KeyCode::l, ctrlAlt), u"Blocco dello schermo"_s},
        {combo(KeyCode::forwardDelete, ctrlAlt), u"Uscita dalla sessione"_s},
        {combo(KeyCode::leftArrow, ctrlAlt), u"Cambio dell'area di lavoro"_s},
        {combo(KeyCode::rightArrow, ctrlAlt), u"Cambio dell'area di lavoro"_s},
        {combo(KeyCode::upArrow, ctrlAlt), u"Cambio dell'area di lavoro"_s},
        {combo(KeyCode::downArrow, ctrlAlt), u"Cambio dell'area di lavoro"_s},
    };
    return table;
}

std::optional<HotkeyConfiguration::Conflict> HotkeyConfiguration::conflict(const KeyCombo& candidate,
                                                                           HotkeyAction action) const
{
    if (!candidate.isValidGlobalShortcut())
        return Conflict::invalid();
    for (const SystemShortcut& shortcut : systemShortcuts())
        if (shortcut.combo == candidate)
            return Conflict::system(shortcut.name);
    for (const auto& [other, bound] : bindings)
        if (other != action && bound == candidate)
            return Conflict::otherAction(other);
    return std::nullopt;
}

HotkeyConfiguration JsonCoding<HotkeyConfiguration>::decode(const JsonValue& v)
{
    v.expectObject();
    HotkeyConfiguration configuration;
    v.key("bindings").forEachMember([&](const std::string& name, const JsonValue& value) {
        const std::optional<HotkeyAction> action = enumFromText<HotkeyAction>(name);
        if (!action)
            value.fail(DecodeErrorKind::dataCorrupted, "\"" + name + "\" is not a hot-key action.");
        configuration.bindings[*action] = decodeJson<KeyCombo>(value);
    });
    return configuration;
}

Json JsonCoding<HotkeyConfiguration>::encode(const HotkeyConfiguration& configuration)
{
    Json bindings = Json::object();
    for (const auto& [action, combo] : configuration.bindings)
        bindings[std::string(enumText(action))] = encodeJson(combo);
    return Json{{"bindings", bindings}};
}

} // namespace vorlix
