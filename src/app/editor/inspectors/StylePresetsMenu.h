#pragma once
// The style-preset pull-down at the head of the style rows, shown when the rows are for
// exactly one kind: the kind's saved styles (keys 1 to 9 on the canvas), the ready-made
// text styles for text kinds, and the commands that save, update, rename and delete
// presets. The menu has no state of its own: it is filled again from the stored library
// every time it is about to open, so presets saved elsewhere show at once.

#include "core/model/AnnotationKind.h"
#include "core/model/Style.h"
#include "core/model/StylePresetLibrary.h"
#include "core/model/TextPreset.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QMenu;
class QToolButton;
class QWidget;

namespace vorlix {

class CanvasView;
class Settings;

// "Preset" without a selected preset; else its name, followed by " (modificato)" when the
// style being edited differs from the preset's.
QString presetTitle(const StylePresetLibrary& library, AnnotationKind kind, const std::optional<Style>& editedStyle);
// The name offered for a new preset: the kind's name capitalised and the next number.
QString defaultPresetName(AnnotationKind kind, std::size_t presetCount);

class StylePresetMenu : public QObject {
    Q_OBJECT

public:
    // Dialogs open on `dialogOwner`'s window. The canvas may go away first.
    StylePresetMenu(CanvasView* canvas, Settings& settings, QWidget* dialogOwner);

    // The pull-down for the kind, its menu filled once now and again on every opening.
    QToolButton* makePopup(AnnotationKind kind);
    // The popup's face for the kind, after the stored library and the edited style.
    QString presetTitle(AnnotationKind kind) const;
    // Re-titles the popup made last, when it still exists.
    void refreshTitle();
    void fillPresetMenu(QMenu* menu, AnnotationKind kind);

    // The menu's commands.
    void stylePresetChosen(int index);
    void presetChosen(TextPreset preset);
    void saveStylePreset(AnnotationKind kind);
    void updateStylePreset(AnnotationKind kind);
    void renameStylePreset(AnnotationKind kind, int index);
    void deleteStylePreset(AnnotationKind kind, int index);

private:
    StylePresetLibrary library() const;
    void store(const StylePresetLibrary& library);
    void focusCanvas();

    QPointer<CanvasView> m_canvas;
    Settings& m_settings;
    QPointer<QWidget> m_dialogOwner;
    QPointer<QToolButton> m_popup;
    AnnotationKind m_popupKind = AnnotationKind::arrow;
};

} // namespace vorlix
