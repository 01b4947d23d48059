#pragma once
// The pieces every settings page is built from, so that all pages look alike:
//
//   SettingsRow      a label on the left with an optional grey explanation under it and a
//                    red warning line (hidden until a page shows one), a control on the
//                    right; at least 40 points high, inset 14 points at the sides.
//   NumberStepper    a number field, a stepper and a unit: every numeric setting.
//
// Sections, cards and the scrolling page are in SettingsSection.h and SettingsPage.h.

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace vorlix {

// The grey of explanations and units.
QColor secondaryLabelColor(const QWidget& widget);
// A label in the interface font at `pointSize` points; `wraps` for explanations.
QLabel* settingsLabel(const QString& text, double pointSize, bool wraps = false);

class SettingsRow : public QWidget {
    Q_OBJECT

public:
    // Text wider than this wraps.
    static constexpr int textWidth = 260;
    static constexpr int minimumHeight = 40;

    SettingsRow(const QString& label, const std::optional<QString>& detail, QWidget* control,
                QWidget* parent = nullptr);

    QLabel* warning() const { return m_warning; }
    QWidget* control() const { return m_control; }

private:
    QLabel* m_warning;
    QWidget* m_control;
};

// An integer within a fixed range: typed into the field or stepped with the arrows. Every
// change, from either, is brought into the range, written back to both and handed to
// `onChange`. Pages show a value with `setValue`, which writes it as given.
class NumberStepper : public QWidget {
    Q_OBJECT

public:
    NumberStepper(int minimum, int maximum, const QString& unit, QWidget* parent = nullptr);

    std::function<void(int)> onChange;

    // Shows `value` in the field and puts the arrows at it (within the range).
    void setValue(std::int64_t value);
    // What the field shows.
    QString text() const;
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    QLineEdit* field() const { return m_field; }
    QToolButton* upArrow() const { return m_up; }
    QToolButton* downArrow() const { return m_down; }

    // What a change from the field or the arrows does with the value it carries.
    void changed(std::int64_t value);

private:
    void step(int by);

    QLineEdit* m_field;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum;
    int m_maximum;
    int m_stepperValue;
};

} // namespace vorlix
