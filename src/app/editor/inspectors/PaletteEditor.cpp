#include "app/editor/inspectors/PaletteEditor.h"

#include "app/support/Settings.h"

#include <QColorDialog>
#include <QSignalBlocker>

namespace vorlix {

Palette storedPalette(const Settings& settings) { return settings.get(setting::palette).migratedToCurrentStandard(); }

PaletteEditor::PaletteEditor(Settings& settings) : m_settings(settings) {}

PaletteEditor::~PaletteEditor() { delete m_dialog; }

PaletteEditor& PaletteEditor::shared()
{
    static PaletteEditor* editor = new PaletteEditor(Settings::shared());
    return *editor;
}

void PaletteEditor::edit(std::size_t slot)
{
    const Palette palette = storedPalette(m_settings);
    if (slot >= palette.colors.size())
        return;
    m_slot = slot;
    if (!m_dialog) {
        m_dialog = new QColorDialog;
        m_dialog->setOption(QColorDialog::NoButtons);
        m_dialog->setOption(QColorDialog::ShowAlphaChannel, false);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(m_dialog, &QColorDialog::currentColorChanged, this, &PaletteEditor::colorChanged);
    }
    const RGBAColor& c = palette[slot];
    QColor shown = QColor::fromRgbF(float(c.red), float(c.green), float(c.blue));
    if (!shown.isValid())
        shown = Qt::white;
    {
        // Opening the dialog on the slot's colour is not an edit.
        const QSignalBlocker blocker(m_dialog);
        m_dialog->setCurrentColor(shown);
    }
    m_dialog->setWindowTitle(QStringLiteral("Colore %1 della palette").arg(slot + 1));
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void PaletteEditor::colorChanged(const QColor& color)
{
    if (!m_slot || !color.isValid())
        return;
    const QColor rgb = color.toRgb();
    Palette palette = storedPalette(m_settings);
    if (*m_slot >= palette.colors.size())
        return;
    palette[*m_slot] = {rgb.redF(), rgb.greenF(), rgb.blueF(), 1};
    m_settings.set(setting::palette, palette);
}

} // namespace vorlix
