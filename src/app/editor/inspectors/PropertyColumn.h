#pragma once
// The narrow strip beside the canvas of an editor window. It always offers "Opzioni",
// which opens the window's property bar in a popover, and shows, as the canvas state
// asks: the buttons that finish a crop, pin a measurement or deal with a background
// cut-out; the palette colours as swatches; one vertical slider for the main measure of
// the current style, or for the cut-out sensitivity.
//
// The window calls `refresh()` after every change of the canvas state; the column takes
// everything it shows from the canvas and the bar then. A slider drag is one undo step;
// a change by keys or the wheel is a step of its own. Main thread only.

#include "app/editor/canvas/CanvasView.h"
#include "core/model/StyleMeasure.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QPointer>

#include <optional>
#include <vector>

class QLabel;
class QSlider;
class QVBoxLayout;

namespace vorlix {

class ColumnButton;
class PropertyBar;
class Settings;
class SwatchButton;

class PropertyColumn final : public QFrame {
public:
    static constexpr int columnWidth = 56;
    // The slider works in hundredths of the values it shows.
    static constexpr double sliderScale = 100;

    // The column takes the bar, which it shows only in its popover.
    PropertyColumn(CanvasView& canvas, PropertyBar* propertyBar, Settings& settings, QWidget* parent = nullptr);
    ~PropertyColumn() override;

    // Brings every part of the column in line with the canvas and the property bar.
    void refresh();
    // Opens the property bar in the popover; a beep when the bar has nothing to show.
    void showOptions();
    // Swatches anew from the palette setting.
    void rebuildSwatches();
    // The slider moved, was turned or was let go.
    void measureChanged();

    PropertyBar& propertyBar() const { return *m_propertyBar; }
    QFrame* popover() const { return m_popover; }
    ColumnButton* optionsButton() const { return m_optionsButton; }
    ColumnButton* applyCropButton() const { return m_applyCropButton; }
    ColumnButton* cancelCropButton() const { return m_cancelCropButton; }
    ColumnButton* pinMeasureButton() const { return m_pinMeasureButton; }
    // Add, copy, drag, save, cancel.
    const std::vector<ColumnButton*>& cutOutButtons() const { return m_cutOutButtons; }
    const std::vector<SwatchButton*>& swatches() const { return m_swatches; }
    const std::vector<QWidget*>& separators() const { return m_separators; }
    QSlider* measureSlider() const { return m_measureSlider; }
    QLabel* measureValue() const { return m_measureValue; }
    QLabel* measureLabel() const { return m_measureLabel; }
    const std::optional<StyleMeasure>& measure() const { return m_measure; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ColumnButton* addButton(const char* symbol, const QString& title, const QString& toolTip);
    void toggleOptions();
    void saveCutOut();
    void cancelCutOut();
    void fitPopover();
    void setSliderValue(double value);
    double sliderValue() const;

    QPointer<CanvasView> m_canvas;
    Settings& m_settings;
    QFrame* m_popover = nullptr;
    PropertyBar* m_propertyBar = nullptr;
    QVBoxLayout* m_stack = nullptr;
    ColumnButton* m_optionsButton = nullptr;
    ColumnButton* m_applyCropButton = nullptr;
    ColumnButton* m_cancelCropButton = nullptr;
    ColumnButton* m_pinMeasureButton = nullptr;
    std::vector<ColumnButton*> m_cutOutButtons;
    QWidget* m_swatchStack = nullptr;
    std::vector<SwatchButton*> m_swatches;
    QLabel* m_measureLabel = nullptr;
    QLabel* m_measureValue = nullptr;
    QSlider* m_measureSlider = nullptr;
    std::optional<StyleMeasure> m_measure;
    std::vector<QWidget*> m_separators;
    // The press that closed the popover was on the options button: its click must not
    // open it again.
    QElapsedTimer m_sincePopoverHidden;
    bool m_optionsPressClosedPopover = false;
    QMetaObject::Connection m_paletteConnection;
};

} // namespace vorlix
