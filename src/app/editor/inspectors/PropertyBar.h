#pragma once
// The inspector of an editor window: a stack of compact rows showing the options of what
// the canvas works on, and turning each edit of them into one named undo step through the
// canvas (or the document's editor, through the canvas).
//
// What it shows, chosen by `refresh()` in this order: the crop bar while a panel is being
// cropped; the panel rows with a panel selected; the document's settings with nothing
// selected under the select tool; otherwise the style rows of the kinds being drawn or
// edited, with the style presets at their head. With nothing to show the bar hides itself.
//
// The rows are rebuilt only when what they show changes (another mode, other kinds, a
// palette change); every other refresh only puts current values into the controls.
// The content of each mode is built in a file of its own: StyleRows.cpp and
// StylePresetsMenu.cpp (style), CropBar.cpp, PanelRows.cpp and DocumentRows.cpp. Main
// thread only.

#include "app/editor/canvas/CanvasView.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QComboBox;
class QPushButton;
class QVBoxLayout;

namespace vorlix {

class ClosureCheckbox;
class ClosureSlider;
class SegmentedControl;
class Settings;
class StyleBinding;

class PropertyBar final : public QFrame {
    Q_OBJECT

public:
    enum class Mode { style, panel, document };

    PropertyBar(CanvasView& canvas, Settings& settings, QWidget* parent = nullptr);
    ~PropertyBar() override;

    // Sends a command of the editor window by its name ("rotateLeft", "arrangePanels" …);
    // the window sets it. Without it such buttons do nothing.
    std::function<void(const QString& command)> onCommand;

    // Brings the bar up to date with the canvas.
    void refresh();
    // Builds the rows of one mode afresh.
    void rebuild(const std::set<AnnotationKind>& kinds);
    void rebuildForCrop();
    void rebuildModelMode();

    CanvasView* canvas() const { return m_canvas; }
    Settings& settings() const { return m_settings; }
    Mode mode() const { return m_mode; }
    bool isShowingCrop() const { return m_isShowingCrop; }
    // The row widgets shown now, top first.
    std::vector<QWidget*> rowWidgets() const;
    QLineEdit* captionField() const { return m_captionField; }
    QLabel* cropSizeLabel() const { return m_cropSizeLabel; }

    // ---- Making rows (shared by every mode)
    // A row of the items, appended to the bar: spacing 8, centred vertically, as narrow
    // as its items.
    QWidget* addRow(const std::vector<QWidget*>& items);
    // A labelled group inside a row: its items side by side, `spacing` apart.
    static QWidget* group(const std::vector<QWidget*>& items, int spacing = 5);
    // Secondary 11-point text.
    static QLabel* label(const QString& text);
    // An empty label of fixed width for a value, in digits of equal width.
    static QLabel* valueLabel(int width);
    // A choice among pictures: 40-point segments, the i-th tip on segment i.
    static SegmentedControl* largeImageControl(const std::vector<QIcon>& images, const QStringList& tips);
    // A small push button of 11-point text.
    static QPushButton* textButton(const QString& title, const QString& toolTip = {});
    // A vertical rule 9 points wide.
    static QWidget* separator(int height = 20);
    // The font pop-up, bound to the style's font name ("Cambia carattere").
    QComboBox* fontPopup();
    // Takes the binding; it lives until the next rebuild.
    StyleBinding& addBinding(std::unique_ptr<StyleBinding> binding);

    // Font families offered, the system font (none) first; computed once per run.
    static const std::vector<std::optional<QString>>& fontFamilies();

    // ---- Actions
    // The current style context back to its kinds' defaults; the canvas takes the focus.
    void resetStyle();
    void paletteChanged();
    void cropAspectChanged(int index);
    void resetCrop();
    void cancelCrop();
    void applyCrop();
    void layoutChanged(int index);
    void cutMarkChanged(int index);
    void restoreStrips();
    void removePanel();
    // The caption field's text was typed (each keystroke) and its editing ended.
    void captionTextChanged();
    void captionEditingFinished();
    // Whether "Aggiorna" of the preset menu may act: `kind` names a kind whose preset
    // library has a selected preset.
    bool canUpdateStylePreset(const QVariant& kind) const;

private:
    void clearRows();
    void runModelRefreshers();
    void applyCaption(bool continuous);

    // ---- Style rows and presets (StyleRows.cpp, StylePresetsMenu.cpp)
    void buildStyleRows(const std::set<AnnotationKind>& kinds);
    void refreshPresetTitle();
    void refreshStampButtons();

    // ---- Panel and document rows (PanelRows.cpp, DocumentRows.cpp)
    void buildPanelRows();
    void buildDocumentRows();
    QWidget* layoutControl();
    QWidget* numberButton();
    QWidget* cutMarkControl();
    QWidget* modelSlider(const QString& title, double minimum, double maximum,
                         std::function<double(const DocumentModel&)> get,
                         std::function<void(DocumentModel&, double)> set, const QString& actionName);
    ClosureCheckbox* modelToggle(const QString& title, std::function<bool(const DocumentModel&)> get,
                                 std::function<void(DocumentModel&, bool)> set, const QString& actionName);
    ClosureCheckbox* cursorOption(const QString& title, const QString& toolTip, bool CursorElement::*field,
                                  const QString& showName, const QString& hideName);
    QAbstractButton* commandButton(const QString& command, const QString& iconName, const QString& fallback,
                                   const QString& toolTip);
    void addModelRefresher(std::function<void()> refresher);
    void changeDocument(const QString& actionName, const DocumentEditor::Mutation& change);

    QPointer<CanvasView> m_canvas;
    Settings& m_settings;
    QVBoxLayout* m_rows = nullptr;
    std::optional<std::set<AnnotationKind>> m_shownKinds;
    std::vector<std::unique_ptr<StyleBinding>> m_bindings;
    QPointer<QSpinBox> m_numberStepper;
    bool m_isShowingCrop = false;
    Mode m_mode = Mode::style;
    std::vector<std::function<void()>> m_modelRefreshers;
    std::vector<QPointer<QAbstractButton>> m_stampButtons;
    QPointer<QLineEdit> m_captionField;
    QPointer<QLabel> m_cropSizeLabel;
    QPointer<QLabel> m_numberStartLabel;
    QPointer<QWidget> m_presetPopup;
    QMetaObject::Connection m_paletteConnection;
};

} // namespace vorlix
