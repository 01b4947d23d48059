#include "app/editor/inspectors/PropertyBar.h"

#include "app/editor/inspectors/ClosureControls.h"
#include "app/editor/inspectors/PaletteEditor.h"
#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/support/Icon.h"
#include "core/document/PanelComposition.h"
#include "core/document/StepNumbers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <array>

namespace vorlix {

namespace {

constexpr std::array layoutModes{PanelLayout::Mode::vertical, PanelLayout::Mode::horizontal, PanelLayout::Mode::grid};

RGBAColor backgroundColor(const CanvasBackground& background)
{
    if (const auto* color = std::get_if<ColorBackground>(&background))
        return color->color;
    return RGBAColor::clear();
}

} // namespace

void PropertyBar::buildDocumentRows()
{
    std::vector<QWidget*> swatches;
    auto* transparent = new SwatchButton(RGBAColor::clear(), &m_settings);
    transparent->setToolTip(QStringLiteral("Trasparente"));
    transparent->onPress = [this] {
        changeDocument(QStringLiteral("Cambia sfondo"),
                       [](DocumentModel& doc) { doc.background = TransparentBackground{}; });
    };
    swatches.push_back(transparent);
    for (const RGBAColor& color : storedPalette(m_settings).colors) {
        auto* swatch = new SwatchButton(color, &m_settings);
        swatch->onPress = [this, color] {
            changeDocument(QStringLiteral("Cambia sfondo"),
                           [color](DocumentModel& doc) { doc.background = ColorBackground{color}; });
        };
        swatches.push_back(swatch);
    }
    QWidget* swatchRow = group(swatches, 4);
    addModelRefresher([this, swatchRow = QPointer<QWidget>(swatchRow)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !swatchRow)
            return;
        const RGBAColor shown = backgroundColor(canvas->editor().model().background);
        for (SwatchButton* swatch : swatchRow->findChildren<SwatchButton*>())
            swatch->setSelected(swatch->color() == shown);
    });
    addRow({label(QStringLiteral("Sfondo")), swatchRow});

    addRow({modelSlider(
                QStringLiteral("Margine"), 0, 120, [](const DocumentModel& doc) { return doc.padding; },
                [](DocumentModel& doc, double value) { doc.padding = value; }, QStringLiteral("Cambia margine")),
            separator(20),
            modelToggle(
                QStringLiteral("Ombra"), [](const DocumentModel& doc) { return doc.panelShadow; },
                [](DocumentModel& doc, bool on) { doc.panelShadow = on; }, QStringLiteral("Cambia ombra")),
            modelSlider(
                QStringLiteral("Angoli"), 0, 30, [](const DocumentModel& doc) { return doc.panelCornerRadius; },
                [](DocumentModel& doc, double value) { doc.panelCornerRadius = value; },
                QStringLiteral("Cambia angoli"))});

    QPushButton* arrange = textButton(QStringLiteral("Riordina"),
                                      QStringLiteral("Rimette in fila tutti i pannelli, anche quelli spostati a mano"));
    connect(arrange, &QPushButton::clicked, this, [this] {
        if (onCommand)
            onCommand(QStringLiteral("arrangePanels"));
    });
    addRow({layoutControl(),
            modelSlider(
                QStringLiteral("Distanza"), 0, 96, [](const DocumentModel& doc) { return doc.layout.spacing; },
                [](DocumentModel& doc, double value) {
                    doc.layout.spacing = value;
                    layoutAutomaticPanels(doc);
                },
                QStringLiteral("Cambia distanza")),
            arrange, separator(20), numberButton()});
}

QWidget* PropertyBar::modelSlider(const QString& title, double minimum, double maximum,
                                  std::function<double(const DocumentModel&)> get,
                                  std::function<void(DocumentModel&, double)> set, const QString& actionName)
{
    auto* slider = new ClosureSlider(minimum, maximum, [this, set, actionName](double value, bool continuous) {
        if (CanvasView* canvas = m_canvas)
            canvas->changeDocument(actionName, continuous, [set, value](DocumentModel& doc) { set(doc, value); });
    });
    slider->setToolTip(title);
    QLabel* value = valueLabel(26);
    slider->setValueLabel(value);
    addModelRefresher([this, slider = QPointer<ClosureSlider>(slider), get] {
        if (CanvasView* canvas = m_canvas; canvas && slider)
            slider->showValue(get(canvas->editor().model()));
    });
    return group({label(title), slider, value});
}

ClosureCheckbox* PropertyBar::modelToggle(const QString& title, std::function<bool(const DocumentModel&)> get,
                                          std::function<void(DocumentModel&, bool)> set, const QString& actionName)
{
    auto* box = new ClosureCheckbox(title, [this, set, actionName](bool on) {
        changeDocument(actionName, [set, on](DocumentModel& doc) { set(doc, on); });
    });
    addModelRefresher([this, box = QPointer<ClosureCheckbox>(box), get] {
        if (CanvasView* canvas = m_canvas; canvas && box)
            box->setChecked(get(canvas->editor().model()));
    });
    return box;
}

QWidget* PropertyBar::layoutControl()
{
    const QSize size(24, 24);
    SegmentedControl* control =
        largeImageControl({Icon::layoutVertical().templateImage(size), Icon::layoutHorizontal().templateImage(size),
                           Icon::layoutGrid().templateImage(size)},
                          {QStringLiteral("In colonna (uno sotto l'altro)"),
                           QStringLiteral("In riga (uno accanto all'altro)"), QStringLiteral("A griglia")});
    connect(control, &SegmentedControl::activated, this, &PropertyBar::layoutChanged);
    addModelRefresher([this, control = QPointer<SegmentedControl>(control)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !control)
            return;
        const PanelLayout::Mode mode = canvas->editor().model().layout.mode;
        const auto found = std::find(layoutModes.begin(), layoutModes.end(), mode);
        control->setSelectedSegment(found == layoutModes.end() ? 0 : int(found - layoutModes.begin()));
    });
    return group({label(QStringLiteral("Disponi")), control});
}

void PropertyBar::layoutChanged(int index)
{
    const PanelLayout::Mode mode = layoutModes[std::size_t(std::clamp(index, 0, int(layoutModes.size()) - 1))];
    changeDocument(QStringLiteral("Cambia disposizione"), [mode](DocumentModel& doc) {
        doc.layout.mode = mode;
        arrangePanels(doc);
    });
}

QWidget* PropertyBar::numberButton()
{
    QPushButton* number = textButton(
        QStringLiteral("Numera i passaggi"),
        QStringLiteral("Mette un numero su ogni pannello: si sposta e si modifica come quelli dello strumento Numeri"));
    connect(number, &QPushButton::clicked, this, [this] {
        if (onCommand)
            onCommand(QStringLiteral("numberPanels"));
    });
    QPushButton* remove = textButton(
        QStringLiteral("Togli"), QStringLiteral("Toglie la numerazione dei passaggi (tutti i numeri del documento)"));
    connect(remove, &QPushButton::clicked, this, [this] {
        if (onCommand)
            onCommand(QStringLiteral("removePanelNumbers"));
    });
    addModelRefresher([this, remove = QPointer<QPushButton>(remove)] {
        if (CanvasView* canvas = m_canvas; canvas && remove)
            remove->setEnabled(hasNumbers(canvas->editor().model()));
    });
    return group({number, remove}, 4);
}

} // namespace vorlix
