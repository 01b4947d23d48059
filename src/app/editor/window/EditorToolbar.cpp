#include "app/editor/window/EditorToolbar.h"

#include "app/editor/window/BarIndicator.h"
#include "app/editor/window/ToolButton.h"
#include "app/support/CopyNotice.h"
#include "app/support/Settings.h"
#include "core/shapes/QtConversions.h"

#include <QActionGroup>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vorlix {

namespace {

constexpr int separatorWidth = 9;

// A thin vertical line centred in a box 9 wide.
QWidget* makeSeparator(int height)
{
    auto* box = new QWidget;
    box->setFixedSize(separatorWidth, height);
    auto* line = new QFrame(box);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setGeometry(separatorWidth / 2, 0, 1, height);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Mid));
    line->setPalette(palette);
    return box;
}

QHBoxLayout* row(QWidget* owner, int spacing)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->setAlignment(Qt::AlignVCenter);
    return layout;
}

// The straw-tinted rounded background of the action buttons; dragging on it moves the
// window.
class ActionsBackground : public QWidget {
public:
    static QColor strawTint() { return QColor::fromRgbF(0.96, 0.89, 0.62, 0.16); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
        painter.fillPath(path, strawTint());
        painter.strokePath(path, QPen(QColor::fromRgbF(0.9, 0.8, 0.5, 0.28), 1));
    }
    void mousePressEvent(QMouseEvent* event) override { m_press.press(event->scenePosition()); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_press.moveStartsWindowDrag(event->scenePosition()))
            ClickOrWindowDrag::startWindowDrag(this);
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_press.down.reset(); }

private:
    ClickOrWindowDrag m_press;
};

// The width a part takes in its row, with the row's spacing of 1; the bar's parts have
// fixed sizes.
double fittingWidth(const QWidget* widget, double missing)
{
    return widget ? std::max(widget->sizeHint().width(), widget->minimumWidth()) + 1 : missing;
}

// A 14 × 14 swatch for the palette submenu.
QIcon swatchIcon(const RGBAColor& color)
{
    QPixmap pixmap(28, 28);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(toQColor(color));
    painter.setPen(QPen(QColor(0, 0, 0, 64), 0.5));
    painter.drawEllipse(QRectF(1, 1, 12, 12));
    return QIcon(pixmap);
}

} // namespace

EditorToolbar::EditorToolbar(Settings& settings, QWidget* parent) : QWidget(parent), m_settings(settings)
{
    m_colorInfo = new ColorIndicator(54, QStringLiteral("Colore"));
    m_colorInfo->setAccessibleName(QStringLiteral("Colore sotto il mouse"));
    m_colorInfo->setToolTip(
        QStringLiteral("Colore sotto il mouse. Con il contagocce un clic (o il tasto Tab) copia il codice."));
    m_colorInfo->onPress = [this] { colorPressed(); };
    m_zoomLabel = new ValueIndicator(44, QStringLiteral("Zoom"));
    m_zoomLabel->setValue(QStringLiteral("100%"));
    m_zoomLabel->setAccessibleName(QStringLiteral("Zoom"));
    m_zoomLabel->setToolTip(
        QStringLiteral("Zoom: clic per scegliere il livello (anche Ctrl+, Ctrl−, Ctrl e rotella, pinch)"));
    m_zoomLabel->onPress = [this] { popUp(makeZoomMenu(), m_zoomLabel, 4); };

    QWidget* tools = makeTools();
    m_infoView = makeInfo();
    m_actionsView = makeActions();
    auto* layout = row(this, 0);
    layout->addWidget(tools);
    layout->addStretch(1);
    layout->addWidget(m_infoView);
    layout->addSpacing(6);
    layout->addWidget(m_actionsView);
    setShowsLabels(settings.get(setting::toolbarShowsLabels));
}

EditorToolbar::~EditorToolbar() = default;

ToolButton* EditorToolbar::addButton(ToolButton* button)
{
    m_allButtons.push_back(button);
    return button;
}

QWidget* EditorToolbar::makeTools()
{
    auto* area = new QWidget;
    auto* areaLayout = row(area, 1);
    const auto groups = toolGroups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        auto* group = new QWidget;
        auto* groupLayout = row(group, 1);
        if (g >= 1) {
            m_separators[int(g)] = makeSeparator(20);
            groupLayout->addWidget(m_separators[int(g)]);
        }
        for (const Tool tool : groups[g].tools) {
            auto* button = addButton(new ToolButton(Icon::forTool(tool), toolbarLabel(tool), toolbarToolTip(tool)));
            button->onPress = [this, tool] {
                if (onSelectTool)
                    onSelectTool(tool);
            };
            button->setActive(tool == m_activeTool);
            m_toolButtons[tool] = button;
            groupLayout->addWidget(button);
        }
        m_groupViews.push_back(group);
        areaLayout->addWidget(group);
    }
    m_moreButton = addButton(new ToolButton(Icon::more(), QStringLiteral("Altri"),
                                            QStringLiteral("Gli strumenti che non stanno nella barra")));
    m_moreButton->onPress = [this] { popUp(makeOverflowMenu(), m_moreButton, 2); };
    m_moreButton->setHidden(true);
    areaLayout->addWidget(m_moreButton);
    return area;
}

QWidget* EditorToolbar::makeInfo()
{
    auto* area = new QWidget;
    auto* layout = row(area, 2);
    layout->addWidget(makeSeparator(26));
    layout->addWidget(m_colorInfo);
    layout->addWidget(m_zoomLabel);
    layout->addSpacing(4);
    return area;
}

QWidget* EditorToolbar::makeActions()
{
    // Each press does nothing while its callback is unset.
    auto call = [](const std::function<void()>& callback) {
        return [&callback] {
            if (callback)
                callback();
        };
    };
    auto* add = addButton(
        new ToolButton(Icon::addImage(), QStringLiteral("Aggiungi"),
                       QStringLiteral("Aggiungi un nuovo scatto o un'immagine al documento (diventa un pannello)")));
    add->onPress = [this, add] {
        if (onAdd)
            onAdd(add);
    };
    auto* copy = addButton(new ToolButton(Icon::copy(), QStringLiteral("Copia"),
                                          QStringLiteral("Copia l'immagine annotata negli appunti (Ctrl+Maiusc+C)")));
    copy->onPress = call(onCopy);
    m_dragButton =
        new DragButton(Icon::drag(), QStringLiteral("Trascina"),
                       QStringLiteral("Trascina questo pulsante in un'altra app per metterci l'immagine annotata"));
    addButton(m_dragButton);
    m_dragButton->dragData = [this]() -> std::optional<std::pair<QByteArray, QString>> {
        return dragData ? dragData() : std::nullopt;
    };
    m_shareButton = addButton(new ToolButton(Icon::share(), QStringLiteral("Condividi"),
                                             QStringLiteral("Condividi l'immagine annotata con le altre app")));
    m_shareButton->onPress = [this] {
        if (onShare)
            onShare(m_shareButton);
    };
    auto* pin = addButton(
        new ToolButton(Icon::pin(), QStringLiteral("Leggio"),
                       QStringLiteral("Leggio: l'immagine in una finestra sempre sopra le altre (Ctrl+Alt+P)")));
    pin->onPress = call(onPin);
    auto* exporter = addButton(new ToolButton(Icon::export_(), QStringLiteral("Esporta"),
                                              QStringLiteral("Esporta l'immagine come PNG o JPEG (Ctrl+Maiusc+E)")));
    exporter->onPress = call(onExport);

    auto* background = new ActionsBackground;
    auto* layout = row(background, 1);
    layout->setContentsMargins(4, 2, 4, 2);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{add, makeSeparator(20), copy, m_dragButton, m_shareButton, pin, exporter})
        layout->addWidget(widget);
    return background;
}

void EditorToolbar::setActiveTool(Tool tool)
{
    m_activeTool = tool;
    syncActiveTool();
}

void EditorToolbar::syncActiveTool()
{
    for (const auto& [tool, button] : m_toolButtons)
        button->setActive(tool == m_activeTool);
    m_moreButton->setActive(std::ranges::find(m_hiddenTools, m_activeTool) != m_hiddenTools.end());
    for (const auto& [tool, action] : m_toolMenuItems) {
        if (action)
            action->setChecked(tool == m_activeTool);
    }
}

void EditorToolbar::setShowsLabels(bool shows)
{
    for (ToolButton* button : m_allButtons)
        button->setShowsLabel(shows);
}

double EditorToolbar::barOrigin() const
{
    const QWidget* top = window();
    if (top == this)
        return 92;
    return std::max(70.0, double(mapTo(top, QPoint()).x()));
}

ToolbarMetrics EditorToolbar::metrics() const
{
    ToolbarMetrics m;
    const auto tools = toolbarTools();
    for (std::size_t i = 0; i < tools.size(); ++i)
        m.toolWidths[i] = fittingWidth(m_toolButtons.at(tools[i]), 45);
    for (int g = 1; g <= 3; ++g)
        m.separatorWidths[g - 1] = fittingWidth(m_separators.at(g), 10);
    m.moreButtonWidth = fittingWidth(m_moreButton, 45);
    m.barOrigin = barOrigin();
    // Measured from the parts rather than the layouts, whose hints follow visibility.
    const double withoutColor = separatorWidth + 2 + m_zoomLabel->width() + 2 + 4;
    m.infoWidthWithoutColor = withoutColor;
    m.infoWidth = withoutColor + m_colorInfo->width() + 2;
    // Six buttons and a separator, 1 apart, inset by 4 on either side.
    double actions = 4 + separatorWidth + 6 + 4;
    for (auto it = m_allButtons.end() - 6; it != m_allButtons.end(); ++it)
        actions += (*it)->width();
    m.actionsWidth = actions;
    return m;
}

double EditorToolbar::windowWidth(double tools) const { return metrics().windowWidth(tools, true); }
double EditorToolbar::toolsWidth(double window) const { return metrics().toolsWidth(window, true); }
double EditorToolbar::allToolsWidth() const { return metrics().allToolsWidth(); }
double EditorToolbar::minimumWidth() const { return metrics().minimumWidth(); }

void EditorToolbar::fitTools(double windowWidth)
{
    const ToolbarFit fit = fitToolbar(metrics(), windowWidth);
    m_colorInfo->setHidden(!fit.colorShown);
    m_hiddenTools = fit.hiddenTools;
    auto hidden = [this](Tool tool) { return std::ranges::find(m_hiddenTools, tool) != m_hiddenTools.end(); };
    for (const auto& [tool, button] : m_toolButtons)
        button->setHidden(hidden(tool));
    const auto groups = toolGroups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const bool allHidden = std::ranges::all_of(groups[g].tools, hidden);
        m_groupViews[g]->setHidden(allHidden);
        if (g >= 1)
            m_separators.at(int(g))->setHidden(allHidden);
    }
    m_moreButton->setHidden(m_hiddenTools.empty());
    syncActiveTool();
}

std::unique_ptr<QMenu> EditorToolbar::makeOverflowMenu()
{
    m_toolMenuItems.clear();
    auto menu = std::make_unique<QMenu>();
    for (const ToolGroup& group : toolGroups()) {
        std::vector<Tool> tools;
        std::ranges::copy_if(group.tools, std::back_inserter(tools), [this](Tool tool) {
            return std::ranges::find(m_hiddenTools, tool) != m_hiddenTools.end();
        });
        if (tools.empty())
            continue;
        QMenu* submenu = menu->addMenu(group.name);
        for (const Tool tool : tools) {
            QAction* action = submenu->addAction(Icon::forTool(tool).templateImage(QSize(16, 16)),
                                                 title(tool) + QLatin1Char('\t') + QChar(key(tool)).toUpper());
            action->setData(rawValue(tool));
            action->setCheckable(true);
            action->setChecked(tool == m_activeTool);
            connect(action, &QAction::triggered, this, [this, action] {
                if (const auto tool = toolNamed(action->data().toString()); tool && onSelectTool)
                    onSelectTool(*tool);
            });
            m_toolMenuItems[tool] = action;
        }
    }
    return menu;
}

std::unique_ptr<QMenu> EditorToolbar::makeZoomMenu()
{
    auto menu = std::make_unique<QMenu>();
    auto addLevel = [this, &menu](const QString& text, std::optional<double> level) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, level] {
            if (onZoomTo)
                onZoomTo(level);
        });
    };
    addLevel(QStringLiteral("Adatta alla finestra"), std::nullopt);
    menu->addSeparator();
    for (const int percent : zoomMenuPercentages)
        addLevel(QString::number(percent) + QLatin1Char('%'), percent / 100.0);
    return menu;
}

void EditorToolbar::popUp(std::unique_ptr<QMenu> menu, QWidget* anchor, int gap)
{
    if (m_openMenu)
        m_openMenu->deleteLater();
    QMenu* shown = menu.release();
    connect(shown, &QMenu::aboutToHide, shown, &QObject::deleteLater);
    m_openMenu = shown;
    shown->popup(anchor->mapToGlobal(QPoint(0, anchor->height() + gap)));
}

void EditorToolbar::colorPressed()
{
    const std::optional<RGBAColor> color = currentColor ? currentColor() : std::nullopt;
    if (!color) {
        if (onCopyColor)
            onCopyColor();
        return;
    }
    popUp(makeColorMenu(*color), m_colorInfo, 4);
}

std::unique_ptr<QMenu> EditorToolbar::makeColorMenu(const RGBAColor& color)
{
    auto menu = std::make_unique<QMenu>();
    for (const QString& text : {color.hexString(), color.rgbString(), color.oklchString()}) {
        connect(menu->addAction(QStringLiteral("Copia ") + text), &QAction::triggered, this, [this, text] {
            QGuiApplication::clipboard()->setText(text);
            CopyNotice::show(QStringLiteral("Colore ") + text + QStringLiteral(" copiato"), window());
        });
    }
    menu->addSeparator();
    QMenu* slotMenu = menu->addMenu(QStringLiteral("Metti nella palette"));
    const Palette palette = m_settings.get(setting::palette).migratedToCurrentStandard();
    for (std::size_t slot = 0; slot < palette.colors.size(); ++slot) {
        QAction* action = slotMenu->addAction(swatchIcon(palette[slot]), QStringLiteral("Posizione %1").arg(slot + 1));
        connect(action, &QAction::triggered, this, [this, slot, picked = color] {
            Palette stored = m_settings.get(setting::palette).migratedToCurrentStandard();
            stored[slot] = picked;
            m_settings.set(setting::palette, stored);
        });
    }
    return menu;
}

void EditorToolbar::showColor(const std::optional<RGBAColor>& color) { m_colorInfo->setColor(color); }

void EditorToolbar::showZoom(double magnification) { m_zoomLabel->setValue(zoomText(magnification)); }

} // namespace vorlix
