#include "app/editor/inspectors/PropertyColumn.h"

#include "app/editor/inspectors/ColumnButton.h"
#include "app/editor/inspectors/PaletteEditor.h"
#include "app/editor/inspectors/PropertyBar.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/support/Beeper.h"
#include "app/support/Files.h"
#include "app/support/Settings.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

QWidget* makeSeparator(QWidget* parent)
{
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setFixedWidth(32);
    return rule;
}

QFont systemFont(double pointSize, bool semibold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    if (semibold)
        font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

PropertyColumn::PropertyColumn(CanvasView& canvas, PropertyBar* propertyBar, Settings& settings, QWidget* parent)
    : QFrame(parent), m_canvas(&canvas), m_settings(settings)
{
    setFixedWidth(columnWidth);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    m_stack = new QVBoxLayout(this);
    m_stack->setSpacing(8);
    m_stack->setContentsMargins(4, 10, 4, 10);
    m_stack->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_optionsButton = addButton("slider.horizontal.3", u"Opzioni"_s, {});
    m_applyCropButton = addButton("checkmark.circle", u"Applica"_s, u"Conferma il ritaglio (Invio)"_s);
    m_cancelCropButton = addButton("xmark.circle", u"Annulla"_s, u"Lascia il ritaglio com'era (Esc)"_s);
    m_pinMeasureButton = addButton("pin", u"Fissa"_s, u"Lascia la misura sull'immagine, come quota (Invio)"_s);
    m_cutOutButtons = {
        addButton("plus.rectangle.on.rectangle", u"Aggiungi"_s,
                  u"Mette lo scontorno sulla tela come immagine nuova (Invio)"_s),
        addButton("doc.on.doc", u"Copia"_s, u"Copia lo scontorno, con il fondo trasparente (Ctrl+C)"_s),
        addButton("hand.draw", u"Trascina"_s, u"Trascina da qui lo scontorno in un'altra app"_s),
        addButton("square.and.arrow.down", u"Salva"_s, u"Salva lo scontorno in un file PNG con il fondo trasparente"_s),
        addButton("xmark.circle", u"Annulla"_s, u"Lascia perdere questo scontorno (Esc)"_s),
    };

    QPointer<PropertyColumn> self(this);
    // Every button acts through the canvas, and does nothing once it is gone.
    const auto onCanvas = [self](void (CanvasView::*action)()) {
        return [self, action] {
            if (self && self->m_canvas)
                (self->m_canvas->*action)();
        };
    };
    m_optionsButton->onPress = [self] {
        if (self)
            self->toggleOptions();
    };
    m_applyCropButton->onPress = onCanvas(&CanvasView::applyCrop);
    m_cancelCropButton->onPress = onCanvas(&CanvasView::cancelCrop);
    m_pinMeasureButton->onPress = onCanvas(&CanvasView::pinMeasure);
    m_cutOutButtons[0]->onPress = onCanvas(&CanvasView::placeCutOut);
    m_cutOutButtons[1]->onPress = [self] {
        if (self && self->m_canvas)
            self->m_canvas->copyCutOut();
    };
    m_cutOutButtons[2]->dragData = [self]() -> std::optional<std::pair<QByteArray, QString>> {
        if (!self || !self->m_canvas)
            return std::nullopt;
        std::optional<CanvasView::CutOutPNG> png = self->m_canvas->cutOutPNG();
        if (!png)
            return std::nullopt;
        return std::pair(png->data, png->fileName);
    };
    m_cutOutButtons[3]->onPress = [self] {
        if (self)
            self->saveCutOut();
    };
    m_cutOutButtons[4]->onPress = [self] {
        if (self)
            self->cancelCutOut();
    };

    m_separators.push_back(makeSeparator(this));
    m_stack->addWidget(m_separators.back(), 0, Qt::AlignHCenter);
    m_swatchStack = new QWidget(this);
    auto* swatchLayout = new QVBoxLayout(m_swatchStack);
    swatchLayout->setContentsMargins(0, 0, 0, 0);
    swatchLayout->setSpacing(5);
    swatchLayout->setAlignment(Qt::AlignHCenter);
    m_stack->addWidget(m_swatchStack, 0, Qt::AlignHCenter);
    m_separators.push_back(makeSeparator(this));
    m_stack->addWidget(m_separators.back(), 0, Qt::AlignHCenter);

    m_measureValue = new QLabel(this);
    m_measureValue->setFont(systemFont(11, true));
    m_measureValue->setAlignment(Qt::AlignHCenter);
    m_measureSlider = new QSlider(Qt::Vertical, this);
    m_measureSlider->setFixedHeight(110);
    m_measureSlider->setAttribute(Qt::WA_MacSmallSize);
    m_measureLabel = new QLabel(this);
    m_measureLabel->setFont(systemFont(11));
    m_measureLabel->setAlignment(Qt::AlignHCenter);
    m_measureLabel->setForegroundRole(QPalette::PlaceholderText);
    m_stack->addWidget(m_measureValue, 0, Qt::AlignHCenter);
    m_stack->addWidget(m_measureSlider, 0, Qt::AlignHCenter);
    m_stack->addWidget(m_measureLabel, 0, Qt::AlignHCenter);
    // While the slider is held every move is part of one step, which its release ends;
    // keys and the wheel change it by steps of their own.
    connect(m_measureSlider, &QSlider::valueChanged, this, [this] { measureChanged(); });
    connect(m_measureSlider, &QSlider::sliderReleased, this, [this] { measureChanged(); });

    m_popover = new QFrame(this, Qt::Popup);
    m_popover->setFrameShape(QFrame::StyledPanel);
    auto* popoverLayout = new QVBoxLayout(m_popover);
    popoverLayout->setContentsMargins(8, 8, 8, 8);
    popoverLayout->setSizeConstraint(QLayout::SetFixedSize);
    m_propertyBar = propertyBar;
    popoverLayout->addWidget(m_propertyBar);
    m_popover->installEventFilter(this);
    m_optionsButton->installEventFilter(this);

    m_paletteConnection =
        connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
            if (name == Settings::paletteDidChange)
                rebuildSwatches();
        });
    rebuildSwatches();
}

PropertyColumn::~PropertyColumn() { disconnect(m_paletteConnection); }

ColumnButton* PropertyColumn::addButton(const char* symbol, const QString& title, const QString& toolTip)
{
    auto* button = new ColumnButton(symbol, title, toolTip, this);
    m_stack->addWidget(button, 0, Qt::AlignHCenter);
    return button;
}

void PropertyColumn::toggleOptions()
{
    if (std::exchange(m_optionsPressClosedPopover, false))
        return;
    if (m_popover->isVisible())
        m_popover->close();
    else
        showOptions();
}

bool PropertyColumn::eventFilter(QObject* watched, QEvent* event)
{
    // A popover closes on any press outside it, the options button's too, before the
    // button hears of that press (if it does at all).
    if (watched == m_popover && event->type() == QEvent::Hide)
        m_sincePopoverHidden.start();
    else if (watched == m_optionsButton && event->type() == QEvent::MouseButtonPress)
        m_optionsPressClosedPopover = m_sincePopoverHidden.isValid() && m_sincePopoverHidden.elapsed() < 100;
    return QFrame::eventFilter(watched, event);
}

void PropertyColumn::fitPopover()
{
    m_popover->adjustSize();
    const QRect button(m_optionsButton->mapToGlobal(QPoint(0, 0)), m_optionsButton->size());
    QPoint at(button.left() - m_popover->width(), button.center().y() - m_popover->height() / 2);
    if (const QScreen* screen = m_optionsButton->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - m_popover->width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - m_popover->height())));
    }
    m_popover->move(at);
}

void PropertyColumn::showOptions()
{
    refresh();
    if (m_popover->isVisible())
        return;
    m_propertyBar->refresh();
    if (m_propertyBar->isHidden()) {
        Beeper::beep();
        return;
    }
    fitPopover();
    m_popover->show();
}

void PropertyColumn::saveCutOut()
{
    if (!m_canvas)
        return;
    QWidget* window = m_canvas->window();
    const std::optional<CanvasView::CutOutPNG> png = window ? m_canvas->cutOutPNG() : std::nullopt;
    if (!png) {
        Beeper::beep();
        return;
    }
    Files::savePNG(png->data, png->fileName, window);
}

void PropertyColumn::cancelCutOut()
{
    if (!m_canvas || !m_canvas->state().cutOutSession)
        return;
    m_canvas->setCutOutSession(std::nullopt);
    m_canvas->refreshCursor();
}

void PropertyColumn::setSliderValue(double value)
{
    const QSignalBlocker quiet(m_measureSlider);
    m_measureSlider->setValue(int(std::lround(value * sliderScale)));
}

double PropertyColumn::sliderValue() const { return m_measureSlider->value() / sliderScale; }

void PropertyColumn::refresh()
{
    m_propertyBar->refresh();
    if (m_popover->isVisible())
        fitPopover();

    const bool barHidden = m_propertyBar->isHidden();
    m_optionsButton->setEnabled(!barHidden);
    m_optionsButton->setToolTip(barHidden ? u"Questo strumento non ha opzioni"_s
                                          : u"Tutte le opzioni dello strumento o dell'oggetto selezionato"_s);
    if (barHidden && m_popover->isVisible())
        m_popover->close();

    CanvasView* canvas = m_canvas;
    const CanvasState* state = canvas ? &canvas->state() : nullptr;
    const bool cropping = state && state->cropSession;
    m_applyCropButton->setVisible(cropping);
    m_cancelCropButton->setVisible(cropping);
    m_pinMeasureButton->setVisible(state && state->tool == Tool::ruler && state->measurement);
    const bool cuttingOut = state && state->cutOutSession;
    const bool hasCutOut = cuttingOut && state->cutOutSession->result;
    for (ColumnButton* button : m_cutOutButtons) {
        button->setVisible(cuttingOut);
        button->setEnabled(button == m_cutOutButtons.back() || hasCutOut);
    }

    const std::optional<CanvasView::StyleContext> context = canvas && !cropping ? canvas->styleContext() : std::nullopt;
    const bool swatchesShown = context && std::any_of(context->kinds.begin(), context->kinds.end(), hasColor);
    m_swatchStack->setVisible(swatchesShown);
    for (SwatchButton* swatch : m_swatches)
        swatch->setSelected(context && swatch->color() == context->style.strokeColor);

    const bool cutOutTool = state && state->tool == Tool::cutOut;
    m_measureLabel->setFont(systemFont(cutOutTool ? 9.5 : 11));
    if (cutOutTool) {
        m_measure.reset();
        {
            const QSignalBlocker quiet(m_measureSlider);
            m_measureSlider->setRange(0, int(100 * sliderScale));
            m_measureSlider->setSingleStep(int(sliderScale));
            m_measureSlider->setPageStep(int(10 * sliderScale));
        }
        setSliderValue(state->cutOutSensitivity * 100);
        m_measureValue->setText(QString::number(std::lround(sliderValue())) + u'%');
        m_measureLabel->setText(u"Sensibilità"_s);
        m_measureSlider->setToolTip(u"Sensibilità: quanto sfondo togliere attorno all'elemento"_s);
    } else if (context) {
        m_measure = StyleMeasure::primary(context->kinds);
        {
            const QSignalBlocker quiet(m_measureSlider);
            m_measureSlider->setRange(int(std::lround(m_measure->lowerBound * sliderScale)),
                                      int(std::lround(m_measure->upperBound * sliderScale)));
            m_measureSlider->setSingleStep(std::max(1, int(std::lround(m_measure->step * sliderScale))));
            m_measureSlider->setPageStep(std::max(1, int(std::lround(m_measure->step * sliderScale * 5))));
        }
        setSliderValue(context->style.*(m_measure->field));
        m_measureValue->setText(m_measure->formatted(sliderValue()));
        m_measureLabel->setText(m_measure->title);
        m_measureSlider->setToolTip(m_measure->title + u" (anche Alt + rotella)"_s);
    } else {
        m_measure.reset();
    }

    const bool sliderShown = cutOutTool || context;
    m_measureSlider->setVisible(sliderShown);
    m_measureValue->setVisible(sliderShown);
    m_measureLabel->setVisible(sliderShown);
    m_separators[0]->setVisible(swatchesShown);
    m_separators[1]->setVisible(sliderShown);
}

void PropertyColumn::measureChanged()
{
    if (!m_canvas)
        return;
    if (m_canvas->tool() == Tool::cutOut) {
        const long percent = std::lround(sliderValue());
        m_measureValue->setText(QString::number(percent) + u'%');
        m_canvas->setCutOutSensitivity(double(percent) / 100);
        return;
    }
    if (!m_measure)
        return;
    const StyleMeasure measure = *m_measure;
    const double value = measure.step * std::round(sliderValue() / measure.step);
    m_measureValue->setText(measure.formatted(value));
    m_canvas->changeStyle(u"Cambia "_s + measure.title.toLower(), m_measureSlider->isSliderDown(),
                          [&](Style& style) { style.*(measure.field) = value; });
}

void PropertyColumn::rebuildSwatches()
{
    for (SwatchButton* swatch : m_swatches)
        delete swatch;
    m_swatches.clear();

    const Palette palette = storedPalette(m_settings);
    QPointer<PropertyColumn> self(this);
    for (std::size_t i = 0; i < palette.colors.size(); ++i) {
        const RGBAColor color = palette.colors[i];
        auto* swatch = new SwatchButton(color, &m_settings, m_swatchStack);
        swatch->onPress = [self, color] {
            if (!self || !self->m_canvas)
                return;
            self->m_canvas->changeStyle(u"Cambia colore"_s, false, [color](Style& style) {
                style.strokeColor = color;
                style.arrowHeadColor.reset();
            });
        };
        swatch->onEdit = [i] { PaletteEditor::shared().edit(i); };
        m_swatchStack->layout()->addWidget(swatch);
        m_swatches.push_back(swatch);
    }
    refresh();
}

void PropertyColumn::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.15f);
    painter.fillRect(QRect(0, 0, 1, height()), line);
}

} // namespace vorlix
