// The property bar's style rows: the head row, then the rows of the style-row table turned
// into controls with their bindings, and the controls that act on the canvas directly
// (stamps, the number the numbering starts from).

#include "app/editor/inspectors/PropertyBar.h"

#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/StyleBinding.h"
#include "app/editor/inspectors/StylePresetsMenu.h"
#include "app/editor/inspectors/StyleRowTable.h"
#include "app/editor/inspectors/SwatchButton.h"
#include "app/editor/inspectors/ValueSlider.h"
#include "app/support/Alerts.h"
#include "app/support/DrawnIconEngine.h"
#include "app/support/Icon.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"
#include "core/render/ShapeEffects.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr int imageSize = 24;
constexpr int cursorPreviewSize = 28;

// Three or four lines pushed to one side, for a theme without alignment icons.
QIcon drawnAlignment(const QString& themeName)
{
    const Qt::Alignment side = themeName.endsWith(u"left"_s)    ? Qt::AlignLeft
                               : themeName.endsWith(u"right"_s) ? Qt::AlignRight
                                                                : Qt::AlignHCenter;
    return DrawnIconEngine::maskIcon(QSize(imageSize, imageSize), [side](QPainter& painter, const QRectF& rect) {
        const double unit = rect.width() / imageSize;
        const double widths[] = {16, 10, 16, 12};
        painter.setPen(QPen(Qt::black, 1.5 * unit, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            const double width = widths[i] * unit;
            const double left = side == Qt::AlignLeft    ? rect.left() + 4 * unit
                                : side == Qt::AlignRight ? rect.right() - 4 * unit - width
                                                         : rect.center().x() - width / 2;
            const double y = rect.top() + (6 + 4 * i) * unit;
            painter.drawLine(QPointF(left, y), QPointF(left + width, y));
        }
    });
}

QIcon imageOf(const RowImage& image)
{
    struct Make {
        QIcon operator()(const Icon* icon) const { return icon->templateImage(QSize(imageSize, imageSize)); }
        QIcon operator()(const QString& themeName) const
        {
            const QIcon themed = QIcon::fromTheme(themeName);
            return themed.isNull() ? drawnAlignment(themeName) : themed;
        }
        QIcon operator()(CursorShape shape) const
        {
            constexpr double scale = 2;
            QImage preview = Renderer::cursorPreview(shape, cursorPreviewSize, scale);
            if (preview.isNull())
                return {};
            preview.setDevicePixelRatio(scale);
            return QIcon(QPixmap::fromImage(preview));
        }
    };
    return std::visit(Make{}, image);
}

IndexAccess indexAccess(const ChoiceAccess& access) { return {.get = access.get, .set = access.set}; }

} // namespace

void PropertyBar::buildStyleRows(const std::set<AnnotationKind>& kinds)
{
    std::vector<QWidget*> head;
    if (QWidget* presets = presetMenu(kinds))
        head.push_back(presets);
    QPushButton* reset = textButton(u"Ripristina"_s, u"Riporta colore, spessore e opzioni a quelli predefiniti"_s);
    connect(reset, &QPushButton::clicked, this, [this] { resetStyle(); });
    head.push_back(reset);
    addRow(head);

    for (const StyleRow& row : styleRows(kinds)) {
        std::vector<QWidget*> items;
        for (const StyleRowItem& item : row)
            appendStyleItem(item, items);
        addRow(items);
    }
}

void PropertyBar::appendStyleItem(const StyleRowItem& item, std::vector<QWidget*>& items)
{
    CanvasView* canvas = m_canvas;
    struct Append {
        PropertyBar& bar;
        CanvasView* canvas;
        std::vector<QWidget*>& items;

        void operator()(const SliderItem& s) const
        {
            auto* slider = new ValueSlider(s.minimum, s.maximum);
            slider->setFixedWidth(84);
            slider->setValueQuietly(s.minimum);
            QLabel* value = valueLabel(30);
            const SliderFormat format = s.format;
            bar.addBinding(
                std::make_unique<SliderBinding>(canvas, s.actionName, slider, value, s.field, s.step,
                                                [format](double v) { return formatSliderValue(format, v); }));
            items.push_back(group({label(s.title), slider, value}));
        }
        void operator()(const ToggleItem& t) const
        {
            auto* box = new QCheckBox(t.title);
            box->setAttribute(Qt::WA_MacSmallSize);
            box->setFont(systemFont(11));
            box->setToolTip(t.tip);
            bar.addBinding(std::make_unique<ToggleBinding>(canvas, t.actionName, box, t.field));
            items.push_back(box);
        }
        void operator()(const ChoiceItem& c) const
        {
            auto* control = new SegmentedControl;
            control->setFont(systemFont(11));
            for (const QString& text : c.labels)
                control->addSegment(text);
            bar.addBinding(std::make_unique<ChoiceBinding>(canvas, c.actionName, control, indexAccess(c.access)));
            items.push_back(control);
        }
        void operator()(const ImageChoiceItem& c) const
        {
            std::vector<QIcon> images;
            bool cursors = false;
            for (const RowImage& image : c.images) {
                images.push_back(imageOf(image));
                cursors = cursors || std::holds_alternative<CursorShape>(image);
            }
            SegmentedControl* control = largeImageControl(images, c.tips);
            if (cursors)
                control->setIconSize(QSize(cursorPreviewSize, cursorPreviewSize));
            for (int i = 0; i < control->count() && i < c.tips.size(); ++i)
                control->segment(i)->setAccessibleName(c.tips[i]);
            bar.addBinding(std::make_unique<ChoiceBinding>(canvas, c.actionName, control, indexAccess(c.access)));
            items.push_back(control);
        }
        void operator()(const LabelItem& l) const { items.push_back(label(l.text)); }
        void operator()(const SeparatorItem&) const { items.push_back(separator(20)); }
        void operator()(const StampButtonsItem& s) const
        {
            for (const QString& stamp : stampCatalogue().mid(s.first, s.count))
                items.push_back(bar.stampButton(stamp));
        }
        void operator()(SpecialItem special) const
        {
            switch (special) {
            case SpecialItem::fontPopup:
                items.push_back(bar.fontPopup());
                return;
            case SpecialItem::backgroundPopup:
                items.push_back(bar.backgroundColorPopup());
                return;
            case SpecialItem::numberStartValue:
                bar.m_numberStartLabel = valueLabel(26);
                items.push_back(bar.m_numberStartLabel);
                return;
            case SpecialItem::numberStartStepper: {
                auto* stepper = new QSpinBox;
                stepper->setRange(0, 999);
                stepper->setAttribute(Qt::WA_MacSmallSize);
                stepper->setToolTip(u"Parti da"_s);
                // The value label beside it shows the number: only the arrows are needed.
                stepper->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
                stepper->setFixedWidth(18);
                connect(stepper, &QSpinBox::valueChanged, &bar,
                        [bar = &bar](int value) { bar->numberStartChanged(value); });
                bar.m_numberStepper = stepper;
                items.push_back(stepper);
                return;
            }
            case SpecialItem::otherStamp: {
                QPushButton* other = textButton(u"Altro…"_s, u"Qualsiasi emoji o simbolo"_s);
                connect(other, &QPushButton::clicked, &bar, [bar = &bar] { bar->chooseOtherStamp(); });
                items.push_back(other);
                return;
            }
            }
        }
    };
    std::visit(Append{*this, canvas, items}, item);
}

QWidget* PropertyBar::presetMenu(const std::set<AnnotationKind>& kinds)
{
    if (kinds.size() != 1)
        return nullptr;
    auto* presets = new StylePresetMenu(m_canvas, m_settings, this);
    QToolButton* popup = presets->makePopup(*kinds.begin());
    presets->setParent(popup); // the menu's commands live as long as the pop-up
    m_presetPopup = popup;
    return popup;
}

void PropertyBar::refreshPresetTitle()
{
    if (!m_presetPopup)
        return;
    if (auto* presets = m_presetPopup->findChild<StylePresetMenu*>(QString(), Qt::FindDirectChildrenOnly))
        presets->refreshTitle();
}

QComboBox* PropertyBar::backgroundColorPopup()
{
    auto* popup = new QComboBox;
    popup->setAttribute(Qt::WA_MacSmallSize);
    popup->setFont(systemFont(11));
    popup->setToolTip(u"Colore dello sfondo"_s);
    popup->setIconSize(QSize(14, 14));
    popup->addItem(u"Automatico"_s);
    Settings& settings = m_settings;
    const auto palette = [&settings] { return settings.get(setting::palette).migratedToCurrentStandard(); };
    for (const RGBAColor& color : palette().colors)
        popup->addItem(SwatchButton::image(color), color.hexString());
    addBinding(std::make_unique<PopupBinding>(m_canvas, u"Cambia colore dello sfondo"_s, popup,
                                              indexAccess(backgroundColorAccess(palette))));
    return popup;
}

QAbstractButton* PropertyBar::stampButton(const QString& stamp)
{
    auto* button = new QToolButton;
    button->setText(stamp);
    button->setCheckable(true);
    button->setAutoRaise(true); // the bezel shows only under the pointer
    button->setFont(systemFont(17));
    button->setFixedWidth(30);
    connect(button, &QToolButton::clicked, this, [this, stamp] { stampChosen(stamp); });
    m_stampButtons.push_back(button);
    return button;
}

void PropertyBar::refreshStampButtons()
{
    CanvasView* canvas = m_canvas;
    const QString shown = canvas ? canvas->displayedStamp() : QString();
    for (const QPointer<QAbstractButton>& button : m_stampButtons)
        if (button)
            button->setChecked(canvas && button->text() == shown);
}

void PropertyBar::stampChosen(const QString& stamp)
{
    if (CanvasView* canvas = m_canvas)
        canvas->chooseStamp(stamp);
    refreshStampButtons();
}

void PropertyBar::chooseOtherStamp()
{
    CanvasView* canvas = m_canvas;
    Alerts::askText(u"Altro timbro"_s, u"Scrivi o incolla un'emoji o un simbolo."_s,
                    canvas ? canvas->displayedStamp() : QString(), u"Usa"_s, 20, 120, window(),
                    [bar = QPointer(this)](std::optional<QString> answer) {
                        if (!bar)
                            return;
                        CanvasView* canvas = bar->m_canvas;
                        if (canvas)
                            canvas->setFocus(Qt::OtherFocusReason);
                        if (!answer || !canvas)
                            return;
                        canvas->chooseStamp(leadingGraphemes(*answer, 3));
                        bar->refreshStampButtons();
                    });
}

void PropertyBar::numberStartChanged(int value)
{
    CanvasView* canvas = m_canvas;
    if (!canvas)
        return;
    canvas->editor().perform(u"Cambia numero di partenza"_s,
                             [value](DocumentModel& model) { model.numberingStart = value; });
    if (m_numberStartLabel)
        m_numberStartLabel->setText(QString::number(value));
}

} // namespace vorlix
