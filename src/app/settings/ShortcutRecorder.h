#pragma once
// A small field that records the next key combination typed while it listens. A click
// starts recording; a key with its modifiers ends it and is handed to `onRecord`
// without any check (whoever stores it checks it); Escape or the ✕ button cancel it.
// While idle the ✕ button takes the combination away through `onClear`.
//
// Keys are read by their position (the key table of LinuxKeyMap.h), not by the
// character the layout gives; a press of a modifier key alone is no combination.
//
// While it listens every global hot key is unregistered, so that a combination already
// in use reaches the field instead of starting a capture. Every way of stopping without
// a new combination registers them again: Escape, ✕, losing the keyboard focus for any
// reason (another control, another window or application), being hidden (window closed,
// page switched) or destroyed. After a recorded key the receiver of `onRecord` does it.

#include "core/formats/KeyCombo.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QKeyEvent;
class QToolButton;

namespace vorlix {

class HotkeyCenter;

// A combination as the shortcut settings show it: the modifiers, then the character
// of the key in the current layout in upper case ("Ctrl+Maiusc+2"); keys that give no
// printing character by their name ("Ctrl+F5", "Alt+Spazio").
QString shortcutText(const KeyCombo& combo, const HotkeyCenter& hotkeys);

class ShortcutRecorder : public QWidget {
    Q_OBJECT
public:
    static constexpr int fieldHeight = 24;
    // At least this wide, and wide enough for the longest combination of modifiers.
    static constexpr int minimumFieldWidth = 170;

    // `registerAgain` registers the stored hot keys again after a recording that ends
    // without a new combination.
    ShortcutRecorder(HotkeyCenter& hotkeys, std::function<void()> registerAgain, QWidget* parent = nullptr);
    ~ShortcutRecorder() override;

    std::function<void(const KeyCombo&)> onRecord;
    std::function<void()> onClear;

    const std::optional<KeyCombo>& combo() const { return m_combo; }
    void setCombo(const std::optional<KeyCombo>& combo);
    bool isRecording() const { return m_isRecording; }

    QLabel& label() const { return *m_label; }
    QToolButton& clearButton() const { return *m_clearButton; }

    // The ✕ button: cancels a recording, otherwise takes the combination away.
    void clear();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void startRecording();
    void stopRecording();
    // Stops without a combination and registers the hot keys again.
    void cancelRecording();
    void updateTitle();

    HotkeyCenter& m_hotkeys;
    std::function<void()> m_registerAgain;
    std::optional<KeyCombo> m_combo;
    QLabel* m_label;
    QToolButton* m_clearButton;
    bool m_isRecording = false;
};

} // namespace vorlix
