// The editor's top bar, offscreen: presses on tools, indicators and actions reach the
// owner's callbacks, the row fits the window width, and the menus carry what they offer.

#include "app/editor/window/EditorToolbar.h"
#include "app/editor/window/BarIndicator.h"
#include "app/editor/window/ToolButton.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

struct EditorToolbarTest : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    std::vector<Tool> chosen;

    std::unique_ptr<EditorToolbar> toolbar(bool labels = false)
    {
        settings.set(setting::toolbarShowsLabels, labels);
        auto bar = std::make_unique<EditorToolbar>(settings);
        bar->onSelectTool = [this](Tool tool) { chosen.push_back(tool); };
        return bar;
    }

    static void move(QWidget* widget, QPoint to)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(to), QPointF(widget->mapToGlobal(to)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    // Presses at `from`, moves through `path` and releases at the last point.
    static void press(QWidget* widget, QPoint from, std::vector<QPoint> path = {})
    {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        for (const QPoint to : path)
            move(widget, to);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, path.empty() ? from : path.back());
    }

    static ToolButton* button(const EditorToolbar& bar, const QString& title)
    {
        for (ToolButton* b : bar.allButtons())
            if (b->title() == title)
                return b;
        return nullptr;
    }

    static QAction* action(QMenu& menu, const QString& text)
    {
        for (QAction* a : menu.actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
};

std::vector<Tool> tail(std::size_t from)
{
    const auto tools = toolbarTools();
    return {tools.begin() + std::ptrdiff_t(from), tools.end()};
}

} // namespace

TEST_F(EditorToolbarTest, ButtonsInCreationOrder)
{
    const auto bar = toolbar(true);
    ASSERT_EQ(bar->allButtons().size(), toolCount + 1 + 6);
    QStringList titles;
    for (std::size_t i = toolCount; i < bar->allButtons().size(); ++i)
        titles << bar->allButtons()[i]->title();
    EXPECT_EQ(titles, (QStringList{"Altri", "Aggiungi", "Copia", "Trascina", "Condividi", "Leggio", "Esporta"}));
    EXPECT_EQ(bar->toolButton(Tool::arrow)->toolTip(), QStringLiteral("Freccia (A)"));
    EXPECT_EQ(bar->toolButton(Tool::ocr)->size(), QSize(42, 48));
    EXPECT_TRUE(bar->toolButton(Tool::select)->isActive());

    bar->setShowsLabels(false);
    for (ToolButton* b : bar->allButtons())
        EXPECT_EQ(b->size(), QSize(40, 36)) << b->title().toStdString();
}

TEST_F(EditorToolbarTest, PressSelectsAToolOnlyAsAClick)
{
    const auto bar = toolbar();
    ToolButton* arrow = bar->toolButton(Tool::arrow);

    press(arrow, {20, 16});
    EXPECT_EQ(chosen, std::vector{Tool::arrow});
    EXPECT_EQ(bar->activeTool(), Tool::select) << "the owner makes the tool current";

    press(arrow, {20, 16}, {{23, 16}});
    EXPECT_EQ(chosen.size(), 2u) << "3 points is still a click";

    press(arrow, {20, 16}, {{22, 19}}); // just over 3 points: a window drag
    EXPECT_EQ(chosen.size(), 2u);
    EXPECT_FALSE(arrow->isPressed());

    press(arrow, {20, 16}, {{21, 16}, {60, 16}}); // released outside
    EXPECT_EQ(chosen.size(), 2u);

    press(arrow, {1, 34}); // in the gap under the icon: the bar's, not the button's
    EXPECT_FALSE(arrow->isPressed());
    EXPECT_EQ(chosen.size(), 2u);

    bar->setActiveTool(Tool::arrow);
    EXPECT_TRUE(arrow->isActive());
    EXPECT_FALSE(bar->toolButton(Tool::select)->isActive());
}

TEST_F(EditorToolbarTest, RowFitsTheWindow)
{
    for (const bool labels : {false, true}) {
        SCOPED_TRACE(labels ? "with labels" : "without labels");
        const auto bar = toolbar(labels);
        const double wide = bar->windowWidth(bar->allToolsWidth());
        bar->fitTools(wide);
        EXPECT_TRUE(bar->hiddenTools().empty());
        EXPECT_TRUE(bar->moreButton()->isHidden());

        // The ruler goes first (with the colour picker when the ruler is narrower than "Altri").
        bar->fitTools(wide - 1);
        ASSERT_FALSE(bar->hiddenTools().empty());
        EXPECT_EQ(bar->hiddenTools(), tail(toolCount - bar->hiddenTools().size()));
        EXPECT_LE(bar->hiddenTools().size(), 2u);
        EXPECT_TRUE(bar->toolButton(Tool::ruler)->isHidden());
        EXPECT_FALSE(bar->toolButton(Tool::ocr)->isHidden());
        EXPECT_FALSE(bar->moreButton()->isHidden());

        // Down to the effects: the utilities' group, separator and all, goes.
        const ToolbarMetrics m = bar->metrics();
        double effects = m.moreButtonWidth + m.separatorWidths[0] + m.separatorWidths[1];
        for (std::size_t i = 0; i < 15; ++i)
            effects += m.toolWidths[i];
        bar->fitTools(bar->windowWidth(effects));
        EXPECT_EQ(bar->hiddenTools(), tail(15));
        EXPECT_TRUE(bar->toolButton(Tool::crop)->parentWidget()->isHidden());
        EXPECT_FALSE(bar->toolButton(Tool::lens)->parentWidget()->isHidden());
        EXPECT_FALSE(bar->colorIndicator()->isHidden());

        bar->fitTools(bar->minimumWidth());
        EXPECT_EQ(bar->hiddenTools(), tail(4));
        EXPECT_TRUE(bar->colorIndicator()->isHidden());

        bar->fitTools(wide);
        EXPECT_FALSE(bar->colorIndicator()->isHidden());
    }
}

TEST_F(EditorToolbarTest, OverflowMenuListsHiddenToolsByGroup)
{
    const auto bar = toolbar();
    bar->fitTools(bar->windowWidth(bar->allToolsWidth()) - 250);
    ASSERT_EQ(bar->hiddenTools(), tail(14));
    bar->setActiveTool(Tool::colorPicker);
    EXPECT_TRUE(bar->moreButton()->isActive());

    const auto menu = bar->makeOverflowMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Effetti"));
    QMenu* utilities = menu->actions()[1]->menu();
    ASSERT_TRUE(utilities);
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Utilità"));
    ASSERT_EQ(utilities->actions().size(), 6);
    QAction* picker = utilities->actions()[4];
    EXPECT_EQ(picker->text(), QStringLiteral("Contagocce\tI"));
    EXPECT_TRUE(picker->isChecked());
    EXPECT_FALSE(utilities->actions()[5]->isChecked());

    bar->setActiveTool(Tool::ruler);
    EXPECT_FALSE(picker->isChecked());
    EXPECT_TRUE(utilities->actions()[5]->isChecked());
    utilities->actions()[0]->trigger();
    EXPECT_EQ(chosen, std::vector{Tool::crop});

    bar->setActiveTool(Tool::arrow);
    EXPECT_FALSE(bar->moreButton()->isActive());
}

TEST_F(EditorToolbarTest, ActionButtonsCallTheOwner)
{
    const auto bar = toolbar();
    int exports = 0;
    QWidget* addAnchor = nullptr;
    bar->onExport = [&] { ++exports; };
    bar->onAdd = [&](QWidget* anchor) { addAnchor = anchor; };

    press(button(*bar, "Esporta"), {20, 16});
    press(button(*bar, "Aggiungi"), {20, 16});
    press(button(*bar, "Copia"), {20, 16}); // unset: nothing happens
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(addAnchor, button(*bar, "Aggiungi"));
}

TEST_F(EditorToolbarTest, ZoomIndicatorAndMenu)
{
    const auto bar = toolbar();
    EXPECT_EQ(bar->zoomIndicator()->value(), QStringLiteral("100%"));
    bar->showZoom(1.0 / 3);
    EXPECT_EQ(bar->zoomIndicator()->value(), QStringLiteral("33%"));

    std::vector<std::optional<double>> zooms;
    bar->onZoomTo = [&](std::optional<double> level) { zooms.push_back(level); };
    const auto menu = bar->makeZoomMenu();
    ASSERT_EQ(menu->actions().size(), 10);
    EXPECT_TRUE(menu->actions()[1]->isSeparator());
    action(*menu, "Adatta alla finestra")->trigger();
    action(*menu, "150%")->trigger();
    EXPECT_EQ(zooms, (std::vector<std::optional<double>>{std::nullopt, 1.5}));
    for (QAction* a : menu->actions())
        EXPECT_FALSE(a->isChecked());
}

TEST_F(EditorToolbarTest, ColorIndicatorWithoutColorCopiesTheCode)
{
    const auto bar = toolbar();
    int copies = 0;
    bar->onCopyColor = [&] { ++copies; };
    ColorIndicator* indicator = bar->colorIndicator();
    EXPECT_EQ(indicator->caption(), QStringLiteral("Colore"));

    press(indicator, {27, 20});
    EXPECT_EQ(copies, 1);
    press(indicator, {27, 20}, {{27, 24}}); // a window drag, not a click
    EXPECT_EQ(copies, 1);

    bar->showColor(RGBAColor::hex("#1E90FF"));
    EXPECT_EQ(indicator->caption(), RGBAColor::hex("#1E90FF").hexString());
    bar->showColor(std::nullopt);
    EXPECT_EQ(indicator->caption(), QStringLiteral("Colore"));
}

TEST_F(EditorToolbarTest, ColorMenuPutsTheColourInOneSlot)
{
    const auto bar = toolbar();
    const RGBAColor color = RGBAColor::hex("#1E90FF");
    const auto menu = bar->makeColorMenu(color);
    ASSERT_GE(menu->actions().size(), 5);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Copia ") + color.hexString());
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Copia ") + color.oklchString());
    QAction* put = action(*menu, "Metti nella palette");
    ASSERT_TRUE(put && put->menu());
    ASSERT_EQ(put->menu()->actions().size(), 10);

    int posted = 0;
    QObject::connect(&notifications, &NotificationCenter::posted,
                     [&](const QString& name) { posted += name == Settings::paletteDidChange; });
    action(*put->menu(), "Posizione 3")->trigger();
    Palette expected = Palette::standard();
    expected[2] = color;
    EXPECT_EQ(settings.get(setting::palette), expected);
    EXPECT_EQ(posted, 1);
}
