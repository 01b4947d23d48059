#include "app/editor/inspectors/PropertyBar.h"

#include "app/editor/inspectors/ClosureControls.h"
#include "app/editor/inspectors/SegmentedControl.h"
#include "app/support/SystemFont.h"
#include "core/document/CropAndStrips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace vorlix {

namespace {

std::optional<std::size_t> panelIndex(const DocumentModel& model, const QUuid& id)
{
    const auto found =
        std::find_if(model.panels.begin(), model.panels.end(), [&](const vorlix::Panel& p) { return p.id == id; });
    if (found == model.panels.end())
        return std::nullopt;
    return std::size_t(found - model.panels.begin());
}

constexpr auto cutMarks = allCases<CutMark>();

} // namespace

void PropertyBar::buildPanelRows()
{
    QLabel* title = label({});
    addModelRefresher([this, title = QPointer<QLabel>(title)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !title)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        if (!panel)
            return;
        const DocumentModel& model = canvas->editor().model();
        if (const std::optional<std::size_t> index = panelIndex(model, panel->id))
            title->setText(QStringLiteral("Pannello %1 di %2").arg(*index + 1).arg(model.panels.size()));
    });

    auto* caption = new QLineEdit;
    caption->setPlaceholderText(QStringLiteral("Didascalia (sotto il pannello)"));
    caption->setAttribute(Qt::WA_MacSmallSize);
    caption->setFont(systemFont(11));
    caption->setFixedWidth(230);
    connect(caption, &QLineEdit::textEdited, this, &PropertyBar::captionTextChanged);
    connect(caption, &QLineEdit::editingFinished, this, &PropertyBar::captionEditingFinished);
    m_captionField = caption;
    addModelRefresher([this, caption = QPointer<QLineEdit>(caption)] {
        CanvasView* canvas = m_canvas;
        // What is being typed is not overwritten.
        if (!canvas || !caption || caption->hasFocus())
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        caption->setText(panel ? panel->caption.value_or(QString()) : QString());
    });

    QWidget* cursorSeparator = separator(20);
    addModelRefresher([this, cursorSeparator = QPointer<QWidget>(cursorSeparator)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !cursorSeparator)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        cursorSeparator->setHidden(!panel || !panel->cursor);
    });

    addRow(
        {title, separator(20), caption, cursorSeparator,
         cursorOption(QStringLiteral("Cursore"), QStringLiteral("Il puntatore del mouse catturato con lo scatto"),
                      &CursorElement::isVisible, QStringLiteral("Mostra cursore"), QStringLiteral("Nascondi cursore")),
         cursorOption(QStringLiteral("Clic"),
                      QStringLiteral("Un cerchio attorno alla punta del cursore, come per un clic"),
                      &CursorElement::showsClick, QStringLiteral("Mostra il clic"), QStringLiteral("Togli il clic"))});

    QPushButton* restore = textButton(QStringLiteral("Ripristina strisce"),
                                      QStringLiteral("Rimette le strisce tolte con lo strumento Taglia (K)"));
    connect(restore, &QPushButton::clicked, this, &PropertyBar::restoreStrips);
    addModelRefresher([this, restore = QPointer<QPushButton>(restore)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !restore)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        restore->setEnabled(panel && !panel->removedStrips.empty());
    });
    QPushButton* remove = textButton(QStringLiteral("Rimuovi"));
    connect(remove, &QPushButton::clicked, this, &PropertyBar::removePanel);
    addModelRefresher([this, remove = QPointer<QPushButton>(remove)] {
        CanvasView* canvas = m_canvas;
        if (canvas && remove)
            remove->setEnabled(canvas->editor().model().panels.size() > 1);
    });

    addRow({commandButton(QStringLiteral("rotateLeft"), QStringLiteral("object-rotate-left"), QStringLiteral("↺"),
                          QStringLiteral("Ruota a sinistra (Ctrl+Alt+L)")),
            commandButton(QStringLiteral("rotateRight"), QStringLiteral("object-rotate-right"), QStringLiteral("↻"),
                          QStringLiteral("Ruota a destra (Ctrl+Alt+R)")),
            commandButton(QStringLiteral("flipHorizontally"), QStringLiteral("object-flip-horizontal"),
                          QStringLiteral("⇆"), QStringLiteral("Capovolgi in orizzontale")),
            commandButton(QStringLiteral("flipVertically"), QStringLiteral("object-flip-vertical"), QStringLiteral("⇅"),
                          QStringLiteral("Capovolgi in verticale")),
            separator(20), layoutControl(), separator(20), numberButton(), separator(20), cutMarkControl(), restore,
            remove});
}

ClosureCheckbox* PropertyBar::cursorOption(const QString& title, const QString& toolTip, bool CursorElement::*field,
                                           const QString& showName, const QString& hideName)
{
    auto* box = new ClosureCheckbox(title, [this, field, showName, hideName](bool checked) {
        CanvasView* canvas = m_canvas;
        if (!canvas)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        if (!panel)
            return;
        changeDocument(checked ? showName : hideName, [id = panel->id, field, checked](DocumentModel& doc) {
            if (vorlix::Panel* target = findPanel(doc, id); target && target->cursor)
                (*target->cursor).*field = checked;
        });
    });
    box->setToolTip(toolTip);
    addModelRefresher([this, box = QPointer<ClosureCheckbox>(box), field] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !box)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        const bool shown = panel && panel->cursor;
        box->setHidden(!shown);
        if (shown)
            box->setChecked((*panel->cursor).*field);
    });
    return box;
}

QAbstractButton* PropertyBar::commandButton(const QString& command, const QString& iconName, const QString& fallback,
                                            const QString& toolTip)
{
    auto* button = new QToolButton;
    const QIcon icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        button->setText(fallback);
    else
        button->setIcon(icon);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAttribute(Qt::WA_MacSmallSize);
    connect(button, &QToolButton::clicked, this, [this, command] {
        if (onCommand)
            onCommand(command);
    });
    return button;
}

QWidget* PropertyBar::cutMarkControl()
{
    auto* control = new SegmentedControl;
    control->addSegment(QStringLiteral("Fulmine"));
    control->addSegment(QStringLiteral("Zigzag"));
    control->setToolTip(QStringLiteral("Segno sulle giunture delle strisce tolte con lo strumento Taglia"));
    connect(control, &SegmentedControl::activated, this, &PropertyBar::cutMarkChanged);
    addModelRefresher([this, control = QPointer<SegmentedControl>(control)] {
        CanvasView* canvas = m_canvas;
        if (!canvas || !control)
            return;
        const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel();
        control->setHidden(!panel || panel->removedStrips.empty());
        const CutMark mark = canvas->editor().model().cutMark;
        const auto found = std::find(cutMarks.begin(), cutMarks.end(), mark);
        control->setSelectedSegment(found == cutMarks.end() ? 0 : int(found - cutMarks.begin()));
    });
    return control;
}

void PropertyBar::cutMarkChanged(int index)
{
    const CutMark mark = cutMarks[std::size_t(std::clamp(index, 0, int(cutMarks.size()) - 1))];
    changeDocument(QStringLiteral("Cambia segno del taglio"), [mark](DocumentModel& doc) { doc.cutMark = mark; });
}

void PropertyBar::restoreStrips()
{
    CanvasView* canvas = m_canvas;
    if (!canvas)
        return;
    if (const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel())
        changeDocument(QStringLiteral("Ripristina strisce"),
                       [id = panel->id](DocumentModel& doc) { vorlix::restoreStrips(doc, id); });
}

void PropertyBar::removePanel()
{
    CanvasView* canvas = m_canvas;
    if (!canvas)
        return;
    if (const std::optional<vorlix::Panel> panel = canvas->selectedPanelModel())
        canvas->removeSelectedPanel(panel->id);
}

void PropertyBar::changeDocument(const QString& actionName, const DocumentEditor::Mutation& change)
{
    if (CanvasView* canvas = m_canvas)
        canvas->changeDocument(actionName, false, change);
}

} // namespace vorlix
