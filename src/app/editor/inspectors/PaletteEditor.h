#pragma once
// Edits one colour of the user's palette in the colour dialog, live: every colour the
// dialog shows while the user picks is stored at once and announced as a palette change.
// One dialog for the whole application; it remembers the slot last edited.

#include "core/model/Color.h"

#include <QColorDialog>
#include <QObject>
#include <QPointer>

#include <optional>

namespace vorlix {

class Settings;

// The palette as every view lists it: the stored one (ten colours) brought up to the
// current standard colours.
Palette storedPalette(const Settings& settings);

class PaletteEditor final : public QObject {
public:
    explicit PaletteEditor(Settings& settings);
    ~PaletteEditor() override;

    // The application's editor, over the application's settings.
    static PaletteEditor& shared();

    // Opens the dialog on the colour of `slot` (from 0); a slot outside the palette is
    // refused.
    void edit(std::size_t slot);
    std::optional<std::size_t> slot() const { return m_slot; }
    // The dialog while it exists.
    QColorDialog* dialog() const { return m_dialog; }

    // The dialog's colour changed: it becomes the edited slot's colour, opaque.
    void colorChanged(const QColor& color);

private:
    Settings& m_settings;
    std::optional<std::size_t> m_slot;
    QPointer<QColorDialog> m_dialog;
};

} // namespace vorlix
