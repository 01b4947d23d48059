#include "app/editor/inspectors/PropertyBar.h"

#include "app/editor/inspectors/SegmentedControl.h"
#include "app/editor/inspectors/StyleBinding.h"
#include "app/support/Settings.h"
#include "app/support/SystemFont.h"
#include "core/document/PanelComposition.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vorlix {

namespace {

QFont digitsFont(QFont::Weight weight)
{
    // Digits of one width keep a changing value from shaking its neighbours.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(11);
    font.setWeight(weight);
    return font;
}

} // namespace

PropertyBar::PropertyBar(CanvasView& canvas, Settings& settings, QWidget* parent)
    : QFrame(parent), m_canvas(&canvas), m_settings(settings)
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_rows = new QVBoxLayout(this);
    m_rows->setSpacing(6);
    m_rows->setContentsMargins(10, 7, 10, 7);
    m_rows->setSizeConstraint(QLayout::SetMinimumSize);
    m_paletteConnection =
        connect(&settings.notifications(), &NotificationCenter::posted, this, [this](const QString& name) {
            if (name == Settings::paletteDidChange)
                paletteChanged();
        });
}

PropertyBar::~PropertyBar() = default;

std::vector<QWidget*> PropertyBar::rowWidgets() const
{
    std::vector<QWidget*> widgets;
    for (int i = 0; i < m_rows->count(); ++i)
        if (QWidget* widget = m_rows->itemAt(i)->widget())
            widgets.push_back(widget);
    return widgets;
}

void PropertyBar::refresh()
{
    CanvasView* canvas = m_canvas;
    if (canvas && canvas->state().cropSession) {
        setVisible(true);
        if (!m_isShowingCrop)
            rebuildForCrop();
        if (m_cropSizeLabel) {
            const Size size = canvas->state().cropSession->rect.size;
            // Cut toward zero: a fraction of a pixel is not yet a pixel.
            m_cropSizeLabel->setText(QStringLiteral("%1 × %2 px")
                                         .arg(static_cast<long long>(size.width))
                                         .arg(static_cast<long long>(size.height)));
        }
        return;
    }
    if (m_isShowingCrop) {
        m_isShowingCrop = false;
        m_shownKinds.reset();
    }

    const Mode mode = !canvas                           ? Mode::style
                      : canvas->selectedPanelModel()    ? Mode::panel
                      : canvas->showsDocumentSettings() ? Mode::document
                                                        : Mode::style;
    if (mode != m_mode) {
        m_mode = mode;
        m_shownKinds.reset();
        if (mode != Mode::style)
            rebuildModelMode();
    }
    if (m_mode != Mode::style) {
        setVisible(true);
        runModelRefreshers();
        return;
    }

    const std::optional<CanvasView::StyleContext> context = canvas ? canvas->styleContext() : std::nullopt;
    if (!context) {
        setVisible(false);
        return;
    }
    setVisible(true);
    if (m_shownKinds != context->kinds)
        rebuild(context->kinds);
    for (const std::unique_ptr<StyleBinding>& binding : m_bindings)
        binding->update(*context);
    refreshPresetTitle();
    refreshStampButtons();
    if (m_numberStepper && canvas) {
        const std::int64_t start = canvas->editor().model().numberingStart;
        {
            const QSignalBlocker blocker(m_numberStepper);
            m_numberStepper->setValue(int(start));
        }
        if (m_numberStartLabel)
            m_numberStartLabel->setText(QString::number(start));
    }
}

void PropertyBar::clearRows()
{
    // A control may be telling its binding of a change that led here: both go once the
    // event is handled.
    for (std::unique_ptr<StyleBinding>& binding : m_bindings)
        binding.release()->deleteLater();
    m_bindings.clear();
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
}

void PropertyBar::rebuild(const std::set<AnnotationKind>& kinds)
{
    clearRows();
    m_numberStepper = nullptr;
    m_numberStartLabel = nullptr;
    m_stampButtons.clear();
    m_presetPopup = nullptr;
    m_shownKinds = kinds;
    buildStyleRows(kinds);
    layout()->activate();
}

void PropertyBar::rebuildModelMode()
{
    clearRows();
    m_modelRefreshers.clear();
    m_captionField = nullptr;
    if (m_mode == Mode::panel)
        buildPanelRows();
    else
        buildDocumentRows();
    runModelRefreshers();
    layout()->activate();
}

void PropertyBar::runModelRefreshers()
{
    for (const std::function<void()>& refresher : m_modelRefreshers)
        refresher();
}

void PropertyBar::addModelRefresher(std::function<void()> refresher)
{
    m_modelRefreshers.push_back(std::move(refresher));
}

// ---- Making rows

QWidget* PropertyBar::addRow(const std::vector<QWidget*>& items)
{
    QWidget* row = group(items, 8);
    row->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_rows->addWidget(row, 0, Qt::AlignRight);
    return row;
}

QWidget* PropertyBar::group(const std::vector<QWidget*>& items, int spacing)
{
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* item : items)
        layout->addWidget(item, 0, Qt::AlignVCenter);
    return box;
}

QLabel* PropertyBar::label(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(systemFont(11));
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLabel* PropertyBar::valueLabel(int width)
{
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setFont(digitsFont(QFont::Normal));
    label->setForegroundRole(QPalette::PlaceholderText);
    label->setFixedWidth(width);
    return label;
}

SegmentedControl* PropertyBar::largeImageControl(const std::vector<QIcon>& images, const QStringList& tips)
{
    auto* control = new SegmentedControl;
    control->setSegmentWidth(40);
    control->setIconSize(QSize(24, 24));
    for (std::size_t i = 0; i < images.size(); ++i)
        control->addSegment({}, images[i], i < std::size_t(tips.size()) ? tips[qsizetype(i)] : QString());
    return control;
}

QPushButton* PropertyBar::textButton(const QString& title, const QString& toolTip)
{
    auto* button = new QPushButton(title);
    button->setAttribute(Qt::WA_MacSmallSize);
    button->setFont(systemFont(11));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QWidget* PropertyBar::separator(int height)
{
    auto* box = new QWidget;
    box->setFixedSize(9, height);
    auto* line = new QFrame(box);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    line->setGeometry(4, 0, 1, height);
    return box;
}

StyleBinding& PropertyBar::addBinding(std::unique_ptr<StyleBinding> binding)
{
    m_bindings.push_back(std::move(binding));
    return *m_bindings.back();
}

const std::vector<std::optional<QString>>& PropertyBar::fontFamilies()
{
    static const std::vector<std::optional<QString>> families = [] {
        static const char* const candidates[] = {
            "Helvetica Neue", "Avenir Next",      "Georgia",         "Times New Roman",  "Courier New",
            "Menlo",          "Marker Felt",      "Chalkboard SE",   "Noteworthy",       "DejaVu Sans",
            "DejaVu Serif",   "DejaVu Sans Mono", "Liberation Sans", "Liberation Serif", "Liberation Mono",
            "Noto Sans",      "Noto Serif",
        };
        const QStringList installed = QFontDatabase::families();
        std::vector<std::optional<QString>> list{std::nullopt};
        for (const char* candidate : candidates) {
            const QString family = QString::fromLatin1(candidate);
            if (installed.contains(family, Qt::CaseInsensitive))
                list.emplace_back(family);
        }
        return list;
    }();
    return families;
}

QComboBox* PropertyBar::fontPopup()
{
    auto* popup = new QComboBox;
    popup->setAttribute(Qt::WA_MacSmallSize);
    popup->setFont(systemFont(11));
    popup->setToolTip(QStringLiteral("Carattere"));
    const std::vector<std::optional<QString>>& families = fontFamilies();
    for (const std::optional<QString>& family : families) {
        if (!family) {
            popup->addItem(QStringLiteral("Sistema"));
            continue;
        }
        popup->addItem(*family);
        QFont font(*family);
        font.setPointSize(12);
        popup->setItemData(popup->count() - 1, font, Qt::FontRole);
    }
    IndexAccess access{
        .get =
            [](const Style& style) {
                const std::vector<std::optional<QString>>& list = fontFamilies();
                const auto found = std::find(list.begin(), list.end(), style.fontName);
                return found == list.end() ? 0 : int(found - list.begin());
            },
        .set =
            [](Style& style, int index) {
                const std::vector<std::optional<QString>>& list = fontFamilies();
                if (index >= 0 && std::size_t(index) < list.size())
                    style.fontName = list[std::size_t(index)];
            },
    };
    addBinding(std::make_unique<PopupBinding>(m_canvas, QStringLiteral("Cambia carattere"), popup, access));
    return popup;
}

// ---- Actions

void PropertyBar::resetStyle()
{
    CanvasView* canvas = m_canvas;
    if (!canvas)
        return;
    canvas->resetStyleToDefaults();
    canvas->setFocus(Qt::OtherFocusReason);
}

void PropertyBar::paletteChanged()
{
    m_shownKinds.reset();
    if (m_mode != Mode::style)
        rebuildModelMode();
    m_isShowingCrop = false;
    refresh();
}

bool PropertyBar::canUpdateStylePreset(const QVariant& kind) const
{
    if (kind.typeId() != QMetaType::QString)
        return false;
    const std::optional<AnnotationKind> parsed = enumFromText<AnnotationKind>(kind.toString().toStdString());
    return parsed && m_settings.get(setting::stylePresets).selectedIndex(*parsed).has_value();
}

// ---- The caption field

void PropertyBar::captionTextChanged() { applyCaption(true); }

void PropertyBar::captionEditingFinished() { applyCaption(false); }

void PropertyBar::applyCaption(bool continuous)
{
    CanvasView* canvas = m_canvas;
    if (!canvas || !m_captionField)
        return;
    const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
    if (!panel)
        return;
    const QString text = m_captionField->text();
    const std::optional<QString> caption = text.isEmpty() ? std::nullopt : std::optional(text);
    // Typing is one open change of the canvas until the field is left. Should any other
    // edit end it meanwhile, the text typed so far stays in the document and the next
    // keystroke opens a new change; the last one always carries the field's whole text.
    canvas->changeDocument(QStringLiteral("Cambia didascalia"), continuous,
                           [id = panel->id, caption](DocumentModel& doc) {
                               if (vorlix::Panel* target = findPanel(doc, id))
                                   target->caption = caption;
                               layoutAutomaticPanels(doc);
                           });
}

} // namespace vorlix
