// Document operations run through the editor: one named step when they change the
// document, none when they are given ids or indexes that match nothing.

#include "core/document/AnnotationClipboard.h"
#include "core/document/CropAndStrips.h"
#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelComposition.h"
#include "core/document/StepNumbers.h"
#include "core/model/DocumentEditor.h"

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {
DocumentModel onePanel()
{
    DocumentModel d;
    addPanel(d, QUuid::createUuid(), {400, 300}, 1, PanelOrientation::identity());
    return d;
}
} // namespace

TEST(DocumentEditing, OperationsOnUnknownIdsRecordNoStep)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    DocumentEditor editor(onePanel(), undo);
    const QUuid nobody = QUuid::createUuid();
    const std::pair<const char*, DocumentEditor::Mutation> operations[] = {
        {"move",
         [&](DocumentModel& d) {
             movePanel(d, nobody, {5, 5});
         }},
        {"rotate", [&](DocumentModel& d) { rotatePanel(d, nobody, true); }},
        {"flip", [&](DocumentModel& d) { flipPanel(d, nobody, false); }},
        {"remove panel", [&](DocumentModel& d) { removePanel(d, nobody); }},
        {"crop", [&](DocumentModel& d) { applyCrop(d, Rect(0, 0, 10, 10), nobody); }},
        {"strip",
         [&](DocumentModel& d) {
             removeStrip(d, nobody, {0, 0}, {0, 100});
         }},
        {"restore", [&](DocumentModel& d) { restoreStrips(d, nobody); }},
        {"update", [&](DocumentModel& d) { updateAnnotation(d, nobody, [](Annotation& a) { a.text = u"x"_s; }); }},
        {"points",
         [&](DocumentModel& d) {
             setCanvasPoints(d, nobody, {{1, 1}});
         }},
        {"remove annotations", [&](DocumentModel& d) { removeAnnotations(d, {nobody}); }},
        {"empty paste",
         [&](DocumentModel& d) {
             AnnotationClipboard{}.paste(d, {12, 12});
         }},
    };
    for (const auto& [name, mutate] : operations) {
        SCOPED_TRACE(name);
        editor.perform(u"Niente"_s, mutate);
        EXPECT_FALSE(undo.canUndo());
    }
}

TEST(DocumentEditing, ChangesAreOneNamedStepEach)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    DocumentEditor editor(onePanel(), undo);
    const QUuid panel = editor.model().panels[0].id;

    editor.perform(u"Cambia didascalia"_s, [&](DocumentModel& d) { findPanel(d, panel)->caption = u"Primo passo"_s; });
    EXPECT_EQ(undo.undoActionName(), u"Cambia didascalia"_s);

    AnnotationClipboard clip;
    clip.items.push_back({AnnotationKind::arrow, {{10, 10}, {60, 60}}, {}, Style::defaults(AnnotationKind::arrow)});
    std::vector<QUuid> pasted;
    editor.perform(u"Incolla"_s, [&](DocumentModel& d) { pasted = clip.paste(d, {12, 12}); });
    ASSERT_EQ(pasted.size(), 1u);
    EXPECT_EQ(owner(editor.model(), pasted[0]), AnnotationOwner::panel(panel));

    editor.perform(u"Ritaglia"_s, [&](DocumentModel& d) { applyCrop(d, Rect(10, 10, 100, 100), panel); });
    editor.perform(u"Numeri dei passaggi"_s,
                   [&](DocumentModel& d) { addStepNumbers(d, Style::defaults(AnnotationKind::number)); });
    EXPECT_EQ(undo.undoActionName(), u"Numeri dei passaggi"_s);

    for (const char16_t* name : {u"Numeri dei passaggi", u"Ritaglia", u"Incolla", u"Cambia didascalia"}) {
        EXPECT_EQ(undo.undoActionName(), QString::fromUtf16(name));
        undo.undo();
    }
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(editor.model().panels[0].caption);
    EXPECT_TRUE(editor.model().panels[0].annotations.empty());
}
