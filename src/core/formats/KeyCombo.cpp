#include "core/formats/KeyCombo.h"

#include "core/formats/LinuxKeyMap.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace vorlix {

bool KeyCombo::isValidGlobalShortcut() const
{
    const std::int64_t primary = Modifiers::command.rawValue | Modifiers::option.rawValue | Modifiers::control.rawValue;
    return (modifiers.rawValue & primary) != 0;
}

QString KeyCombo::modifierSymbols() const
{
    QStringList names;
    if (modifiers.contains(Modifiers::command))
        names.append(u"Ctrl"_s);
    if (modifiers.contains(Modifiers::option))
        names.append(u"Alt"_s);
    if (modifiers.contains(Modifiers::control))
        names.append(u"Super"_s);
    if (modifiers.contains(Modifiers::shift))
        names.append(u"Maiusc"_s);
    return names.join(u'+');
}

QString KeyCombo::displayText() const
{
    const QString modifierText = modifierSymbols();
    const QString key = keyName(keyCode);
    return modifierText.isEmpty() ? key : modifierText + u'+' + key;
}

KeyCombo JsonCoding<KeyCombo>::decode(const JsonValue& v)
{
    v.expectObject();
    KeyCombo combo;
    combo.keyCode = v.key("keyCode").toUInt32();
    combo.modifiers.rawValue = v.key("modifiers").toInt64();
    return combo;
}

Json JsonCoding<KeyCombo>::encode(const KeyCombo& combo)
{
    return Json{{"keyCode", combo.keyCode}, {"modifiers", combo.modifiers.rawValue}};
}

} // namespace vorlix
