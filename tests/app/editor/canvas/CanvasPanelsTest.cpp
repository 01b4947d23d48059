#include "app/editor/canvas/CanvasView.h"

#include "DocumentCanvas.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

using CanvasPanelsTest = test::DocumentCanvas;

TEST_F(CanvasPanelsTest, RemovingAPanelIsOneStepAndTheLastPanelStays)
{
    document.addImage(test::solidPng(Qt::blue, 200, 100), u"png"_s, 1, u"Aggiungi"_s);
    undo().removeAllActions();
    const DocumentModel before = editor().model();
    const QUuid first = before.panels[0].id;
    const QUuid second = before.panels[1].id;
    EXPECT_EQ(view->targetPanelID(), first);
    view->setSelectedPanel(second);
    EXPECT_EQ(view->targetPanelID(), second);
    EXPECT_EQ(view->selectedPanelModel()->id, second);

    view->removeSelectedPanel(second);
    ASSERT_EQ(editor().model().panels.size(), 1u);
    EXPECT_EQ(editor().model().panels[0].id, first);
    EXPECT_EQ(view->state().selectedPanel, std::nullopt);
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Rimuovi pannello"_s});
    EXPECT_EQ(beeps, 0);

    view->removeSelectedPanel(first);
    EXPECT_EQ(editor().model().panels.size(), 1u);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(undoNames().size(), 1u);
    undo().undo();
    EXPECT_EQ(editor().model(), before);
}

TEST_F(CanvasPanelsTest, DocumentSettingsChangeInOneStepAlsoWhenASliderIsDragged)
{
    const DocumentModel before = editor().model();
    const auto padding = [](double value) { return [value](DocumentModel& doc) { doc.padding = value; }; };
    view->changeDocument(u"Cambia margine"_s, true, padding(10));
    view->changeDocument(u"Cambia margine"_s, true, padding(20));
    EXPECT_EQ(editor().model().padding, 20);
    EXPECT_TRUE(editor().isInteracting());
    EXPECT_FALSE(undo().canUndo());
    view->changeDocument(u"Cambia margine"_s, false, padding(30));
    EXPECT_FALSE(editor().isInteracting());
    EXPECT_EQ(editor().model().padding, 30);

    view->changeDocument(u"Cambia sfondo"_s, false,
                         [](DocumentModel& doc) { doc.background = ColorBackground{RGBAColor::hex("#336699")}; });
    EXPECT_EQ(undoNames(), (std::vector<QString>{u"Cambia sfondo"_s, u"Cambia margine"_s}));
    undo().undo();
    undo().undo();
    EXPECT_EQ(editor().model(), before);
}

TEST_F(CanvasPanelsTest, DocumentSettingsShowWhenNothingIsSelectedOrUnderWay)
{
    EXPECT_TRUE(view->showsDocumentSettings());
    view->setSelectedPanel(editor().model().panels[0].id);
    EXPECT_FALSE(view->showsDocumentSettings());
    view->setTool(Tool::arrow);
    view->beginNewText({50, 50}, AnnotationKind::text, std::nullopt);
    EXPECT_FALSE(view->showsDocumentSettings());

    view->showDocumentSettings();
    EXPECT_EQ(view->tool(), Tool::select);
    EXPECT_FALSE(view->state().textSession.has_value());
    EXPECT_TRUE(view->showsDocumentSettings());
}

} // namespace
