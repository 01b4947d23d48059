#include "app/settings/PaletteSwatches.h"

#include "app/editor/inspectors/PaletteEditor.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/support/Settings.h"

#include <QHBoxLayout>

using namespace Qt::StringLiterals;

namespace vorlix {

PaletteSwatches::PaletteSwatches(Settings& settings, QWidget* parent) : QWidget(parent), m_settings(settings)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    rebuild();
    connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
        if (name == Settings::paletteDidChange)
            rebuild();
    });
}

std::vector<SwatchButton*> PaletteSwatches::swatches() const
{
    std::vector<SwatchButton*> found;
    for (int i = 0; i < layout()->count(); ++i)
        if (auto* swatch = dynamic_cast<SwatchButton*>(layout()->itemAt(i)->widget()))
            found.push_back(swatch);
    return found;
}

void PaletteSwatches::rebuild()
{
    while (QLayoutItem* item = layout()->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater();
        }
        delete item;
    }
    const Palette palette = storedPalette(m_settings);
    for (std::size_t slot = 0; slot < palette.colors.size(); ++slot) {
        auto* swatch = new SwatchButton(palette[slot], &m_settings);
        swatch->setToolTip(u"Colore "_s + QString::number(slot + 1) + u": "_s + palette[slot].hexString() +
                           u". Clic per cambiarlo"_s);
        swatch->onPress = [slot] { PaletteEditor::shared().edit(slot); };
        swatch->onEdit = swatch->onPress;
        layout()->addWidget(swatch);
    }
}

} // namespace vorlix
