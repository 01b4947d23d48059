#include "app/editor/inspectors/PropertyBar.h"

#include "app/editor/inspectors/StyleBinding.h"
#include "app/support/AccentColor.h"
#include "app/support/SystemFont.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QPushButton>

#include <algorithm>

namespace vorlix {

namespace {

constexpr auto aspects = allCases<CropAspect>();

} // namespace

void PropertyBar::rebuildForCrop()
{
    m_mode = Mode::style;
    m_isShowingCrop = true;
    m_shownKinds.reset();
    clearRows();

    auto* size = new QLabel;
    size->setTextFormat(Qt::PlainText);
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(11);
    digits.setWeight(QFont::DemiBold);
    size->setFont(digits);
    m_cropSizeLabel = size;

    QPushButton* apply = textButton(QStringLiteral("Applica"),
                                    QStringLiteral("Conferma il ritaglio (Invio, o doppio clic nel riquadro)"));
    // Return belongs to the canvas, which applies the crop itself.
    apply->setDefault(false);
    QPalette accent = apply->palette();
    accent.setColor(QPalette::Button, vorlixAccent());
    apply->setPalette(accent);
    connect(apply, &QPushButton::clicked, this, &PropertyBar::applyCrop);

    auto* popup = new QComboBox;
    popup->setAttribute(Qt::WA_MacSmallSize);
    popup->setFont(systemFont(11));
    for (const CropAspect aspect : aspects)
        popup->addItem(title(aspect));
    const CropAspect current = m_canvas ? m_canvas->state().cropAspect : CropAspect::free;
    const auto found = std::find(aspects.begin(), aspects.end(), current);
    popup->setCurrentIndex(found == aspects.end() ? 0 : int(found - aspects.begin()));
    popup->setToolTip(QStringLiteral("Proporzioni del ritaglio"));
    connect(popup, &QComboBox::activated, this, &PropertyBar::cropAspectChanged);

    QPushButton* whole =
        textButton(QStringLiteral("Immagine intera"), QStringLiteral("Riporta il riquadro a tutta l'immagine"));
    connect(whole, &QPushButton::clicked, this, &PropertyBar::resetCrop);
    QPushButton* cancel = textButton(QStringLiteral("Annulla"), QStringLiteral("Lascia il ritaglio com'era (Esc)"));
    connect(cancel, &QPushButton::clicked, this, &PropertyBar::cancelCrop);

    addRow({label(QStringLiteral("Ritaglio")), size, separator(20), label(QStringLiteral("Proporzioni")), popup,
            separator(20), whole, cancel, apply});
    layout()->activate();
}

void PropertyBar::cropAspectChanged(int index)
{
    if (CanvasView* canvas = m_canvas)
        canvas->setCropAspect(aspects[std::size_t(std::clamp(index, 0, int(aspects.size()) - 1))]);
}

void PropertyBar::resetCrop()
{
    CanvasView* canvas = m_canvas;
    if (!canvas || !canvas->state().cropSession)
        return;
    canvas->setCropRect(Rect{{0, 0}, canvas->state().cropSession->preview.pixelSize});
}

void PropertyBar::cancelCrop()
{
    if (CanvasView* canvas = m_canvas)
        canvas->cancelCrop();
}

void PropertyBar::applyCrop()
{
    if (CanvasView* canvas = m_canvas)
        canvas->applyCrop();
}

} // namespace vorlix
