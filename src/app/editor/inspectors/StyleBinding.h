#pragma once
// The link between one style control of the property bar and the part of a `Style` it
// shows. `update` puts the value of the canvas's style context into the control; a
// change of the control is written back through the canvas as one undo step named
// `actionName()` (a slider drag as a whole is one step). Without a canvas a change does
// nothing. The bar owns its bindings; each control holds its binding only as the receiver
// of its signal.

#include "app/editor/canvas/CanvasView.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractButton;
class QComboBox;
class QLabel;

namespace vorlix {

class SegmentedControl;
class ValueSlider;

class StyleBinding : public QObject {
public:
    StyleBinding(CanvasView* canvas, QString actionName);

    CanvasView* canvas() const { return m_canvas; }
    void setCanvas(CanvasView* canvas) { m_canvas = canvas; }
    const QString& actionName() const { return m_actionName; }

    virtual void update(const CanvasView::StyleContext& context);

protected:
    void write(bool continuous, const std::function<void(Style&)>& change) const;

private:
    QPointer<CanvasView> m_canvas;
    const QString m_actionName;
};

// The default text of a slider's value: the value rounded to a whole number.
QString wholeNumberText(double value);

// A slider with a label that shows its value; values snap to multiples of `step`.
class SliderBinding final : public StyleBinding {
public:
    using Format = std::function<QString(double)>;
    SliderBinding(CanvasView* canvas, QString actionName, ValueSlider* slider, QLabel* label, double Style::*field,
                  double step, Format format = wholeNumberText);

    // The slider's value snapped to the step, shown and written.
    void changed();
    // The slider keeps its knob while the user drags it; the label always shows the style.
    void update(const CanvasView::StyleContext& context) override;

private:
    ValueSlider* const m_slider;
    QLabel* const m_label;
    double Style::*const m_field;
    const double m_step;
    const Format m_format;
};

// A checkbox (or any checkable button) over a switch of the style.
class ToggleBinding final : public StyleBinding {
public:
    ToggleBinding(CanvasView* canvas, QString actionName, QAbstractButton* button, bool Style::*field);
    void changed();
    void update(const CanvasView::StyleContext& context) override;

private:
    QAbstractButton* const m_button;
    bool Style::*const m_field;
};

// A choice among options by index: `get` reads the index from a style, `set` writes it.
struct IndexAccess {
    std::function<int(const Style&)> get;
    std::function<void(Style&, int)> set;
};

class ChoiceBinding final : public StyleBinding {
public:
    ChoiceBinding(CanvasView* canvas, QString actionName, SegmentedControl* control, IndexAccess access);
    // No selection counts as the first option.
    void changed();
    void update(const CanvasView::StyleContext& context) override;

private:
    SegmentedControl* const m_control;
    const IndexAccess m_access;
};

class PopupBinding final : public StyleBinding {
public:
    PopupBinding(CanvasView* canvas, QString actionName, QComboBox* popup, IndexAccess access);
    void changed();
    void update(const CanvasView::StyleContext& context) override;

private:
    QComboBox* const m_popup;
    const IndexAccess m_access;
};

} // namespace vorlix
