#include "DocumentCanvas.h"

#include "app/support/CopyNotice.h"
#include "app/support/Pasteboard.h"
#include "core/document/AnnotationClipboard.h"
#include "core/document/DocumentAnnotations.h"
#include "core/imaging/ImageCoding.h"

#include "support/ModelBuilders.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

const QString privateType = CanvasView::annotationsPasteboardType();

const QMimeData& clipboardData() { return *QGuiApplication::clipboard()->mimeData(); }

QString noticeText()
{
    const QLabel* label = CopyNotice::current() ? CopyNotice::current()->findChild<QLabel*>() : nullptr;
    return label ? label->text() : QString();
}

// Another program puts `data` on the clipboard.
void setClipboardFromElsewhere(const QString& type, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

struct Clipboard : DocumentCanvas {
    Clipboard() { QGuiApplication::clipboard()->clear(); }

    // A rectangle with a style off its defaults, selected.
    QUuid addRectangle(Rect rect, CanvasView& on)
    {
        Style style = Style::defaults(AnnotationKind::rectangle);
        style.lineWidth = 6;
        style.strokeColor = RGBAColor{0.2, 0.4, 0.6, 1};
        return on.place(CanvasShape{AnnotationKind::rectangle, {rect.origin, {rect.maxX(), rect.maxY()}}, {}, style},
                        u"Aggiungi"_s);
    }
    QUuid addRectangle(Rect rect) { return addRectangle(rect, *view); }
    CanvasShape shape(const QUuid& id) const { return *canvasShape(document.editor().model(), id); }
    CanvasShape selectedShape() const
    {
        EXPECT_EQ(view->state().selection.size(), 1u);
        return view->state().selection.size() == 1 ? shape(*view->state().selection.begin()) : CanvasShape{};
    }
    static CanvasShape moved(CanvasShape s, double by)
    {
        for (Point& p : s.points)
            p = p + Point{by, by};
        return s;
    }
};

} // namespace

TEST_F(Clipboard, RepeatedPastesCascadeBy12PointsAndANewCopyStartsAgain)
{
    const QUuid id = addRectangle(Rect(40, 40, 60, 30));
    const CanvasShape original = shape(id);
    view->copy();
    EXPECT_EQ(noticeText(), u"Oggetto copiato"_s);
    EXPECT_EQ(AnnotationClipboard::decode(clipboardData().data(privateType)),
              AnnotationClipboard::copy(editor().model(), {id}));

    for (const double offset : {12.0, 24.0, 36.0}) {
        view->paste();
        EXPECT_EQ(selectedShape(), moved(original, offset));
    }
    const std::set<QUuid> thirdID = view->state().selection;
    const CanvasShape third = selectedShape();
    EXPECT_EQ(undoNames(), (std::vector{u"Incolla"_s, u"Incolla"_s, u"Incolla"_s, u"Aggiungi"_s}));

    // A copy here starts again from the copied shape.
    view->setSelection(thirdID);
    view->copy();
    view->paste();
    EXPECT_EQ(selectedShape(), moved(third, 12));

    // So does any change of the clipboard elsewhere, even to the same content.
    const QByteArray json = clipboardData().data(privateType);
    view->paste();
    setClipboardFromElsewhere(privateType, json);
    view->paste();
    EXPECT_EQ(selectedShape(), moved(third, 12));
}

TEST_F(Clipboard, CopiesTravelExactlyBetweenDocumentsAndCutIsOneStep)
{
    const QUuid a = addRectangle(Rect(40, 40, 60, 30));
    editor().perform(u"Testo"_s, [](DocumentModel& doc) {
        Style style = Style::defaults(AnnotationKind::text);
        style.fontSize = 31;
        insert(doc, CanvasShape{AnnotationKind::text, {{200, 100}}, u"Ciao\nmondo"_s, style}, uuid(77));
    });
    view->setSelection({a, uuid(77)});
    const DocumentModel before = editor().model();
    view->copy();
    EXPECT_EQ(noticeText(), u"2 oggetti copiati"_s);
    QGuiApplication::clipboard()->clear();
    view->cut();
    EXPECT_EQ(editor().model().panels[0].annotations.size(), 0u);
    EXPECT_TRUE(view->state().selection.empty());
    EXPECT_EQ(undo().undoActionName(), u"Taglia oggetti"_s);
    const CanvasShape rectangle = *canvasShape(before, a);
    const CanvasShape text = *canvasShape(before, uuid(77));

    ProjectDocument other{settings};
    other.addImage(solidPng(Qt::black, 500, 400), u"png"_s, 1, u"Aggiungi"_s);
    CanvasView otherView(other.editor(), other.images(), settings);
    otherView.setDocument(&other);
    otherView.resize(700, 500);
    otherView.show();
    processEventsFor(std::chrono::milliseconds(20));
    otherView.paste();
    ASSERT_EQ(otherView.state().selection.size(), 2u);
    const std::vector<QUuid> pasted = annotationIDsInDrawOrder(other.editor().model());
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(*canvasShape(other.editor().model(), pasted[0]), moved(rectangle, 12));
    EXPECT_EQ(*canvasShape(other.editor().model(), pasted[1]), moved(text, 12));
    EXPECT_EQ(other.undoManager().undoActionName(), u"Incolla"_s);

    undo().undo();
    EXPECT_EQ(editor().model(), before);
}

TEST_F(Clipboard, APasteThatWouldLandOutOfSightIsCentredInTheVisibleArea)
{
    const QUuid id = addRectangle(Rect(10, 10, 40, 20));
    view->copy();
    view->setMagnification(4);
    view->scrollVisibleOriginTo({250, 200});
    const Rect visible = view->visibleRect();
    ASSERT_FALSE(shape(id).bounds().offsetBy(12, 12).intersects(visible));
    view->paste();
    const Rect pasted = selectedShape().bounds();
    EXPECT_NEAR(pasted.midX(), visible.midX(), 1e-9);
    EXPECT_NEAR(pasted.midY(), visible.midY(), 1e-9);
}

TEST_F(Clipboard, WithoutOurTypeAPictureBecomesAPanelAndAnythingElseBeeps)
{
    setClipboardFromElsewhere(u"image/png"_s, solidPng(Qt::red, 50, 40));
    EXPECT_TRUE(view->validateMenuItem(CanvasView::EditAction::paste));
    view->paste();
    EXPECT_EQ(editor().model().panels.size(), 2u);
    EXPECT_EQ(undo().undoActionName(), u"Aggiungi immagine"_s);
    EXPECT_EQ(beeps, 0);

    QGuiApplication::clipboard()->setText(u"testo"_s);
    EXPECT_FALSE(view->validateMenuItem(CanvasView::EditAction::paste));
    const DocumentModel before = editor().model();
    view->paste();
    EXPECT_EQ(editor().model(), before);
    EXPECT_EQ(beeps, 1);
}

// Our type may come from any program: whatever it holds, nothing breaks and nothing is added.
TEST_F(Clipboard, AHostilePayloadOfOurTypeIsRefused)
{
    const QUuid id = addRectangle(Rect(10, 10, 40, 20));
    const std::string valid = AnnotationClipboard::copy(editor().model(), {id}).encoded().toStdString();
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = valid;
        s.replace(s.find(from), from.size(), to);
        return QByteArray::fromStdString(s);
    };
    const QByteArray payloads[] = {
        "",
        "\x89PNG garbage",
        "null",
        QByteArray(200000, '['),
        replaced("\"formatVersion\":1", "\"formatVersion\":99"),
        replaced("\"lineWidth\":6", "\"lineWidth\":1e300"),
        replaced("\"kind\":\"rectangle\"", "\"kind\":\"virus\""),
        replaced("\"points\":[", "\"points\":[[1e300,2],"),
        replaced("\"points\":[", "\"points\":[{\"x\":1,\"y\":2},"),
        replaced("\"points\":[", "\"points\":" + std::string(10, '[')),
    };
    const DocumentModel before = editor().model();
    int expectedBeeps = 0;
    for (const QByteArray& payload : payloads) {
        SCOPED_TRACE(payload.left(80).toStdString());
        setClipboardFromElsewhere(privateType, payload);
        view->paste();
        EXPECT_EQ(editor().model(), before);
        EXPECT_EQ(beeps, ++expectedBeeps);
    }

    // The farthest points still taken are pasted, and drawn, without harm.
    setClipboardFromElsewhere(privateType, replaced("\"points\":[", "\"points\":[[-9999999,9999999],"));
    view->paste();
    view->grab();
    EXPECT_EQ(view->state().selection.size(), 1u);
}

TEST_F(Clipboard, ThePictureIsOfferedOnlyWhenOneCouldBeMade)
{
    const QUuid small = addRectangle(Rect(10, 10, 40, 20));
    view->copy();
    EXPECT_TRUE(clipboardData().hasFormat(privateType));
    const QImage picture = ImageCoding::decode(clipboardData().data(u"image/png"_s));
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.hasAlphaChannel()); // only the shape, on nothing
    EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0);

    // Far larger than any bitmap may be: our type alone.
    const QUuid huge = addRectangle(Rect(0, 0, 400000, 20));
    view->copy();
    EXPECT_TRUE(clipboardData().hasFormat(privateType));
    EXPECT_FALSE(clipboardData().hasFormat(u"image/png"_s));
    EXPECT_FALSE(clipboardData().hasImage());
    view->paste();
    EXPECT_EQ(selectedShape(), moved(shape(huge), 12));
    EXPECT_NE(small, huge);
}

TEST_F(Clipboard, CopyWithNothingSelectedTakesTheWholePicture)
{
    addRectangle(Rect(10, 10, 40, 20));
    view->setSelection({});
    view->copy();
    EXPECT_FALSE(clipboardData().hasFormat(privateType));
    const QImage picture = ImageCoding::decode(clipboardData().data(u"image/png"_s));
    EXPECT_EQ(picture.size(), QSize(400, 300));
}

TEST_F(Clipboard, EditMenuItemsFollowTheSelection)
{
    using A = CanvasView::EditAction;
    const auto enabled = [&] {
        return std::vector{view->validateMenuItem(A::cut), view->validateMenuItem(A::copy),
                           view->validateMenuItem(A::deleteSelection), view->validateMenuItem(A::selectAll)};
    };
    EXPECT_EQ(enabled(), (std::vector{false, true, false, false}));
    view->setSelectedPanel(editor().model().panels[0].id); // the only panel is never deleted
    EXPECT_EQ(enabled(), (std::vector{false, true, false, false}));

    const QUuid id = addRectangle(Rect(10, 10, 40, 20));
    EXPECT_EQ(enabled(), (std::vector{true, true, true, true}));
    view->setSelection({});
    EXPECT_EQ(enabled(), (std::vector{false, true, false, true}));
    document.addImage(solidPng(Qt::red, 50, 40), u"png"_s, 1, u"Aggiungi"_s);
    view->setSelectedPanel(editor().model().panels[0].id);
    EXPECT_TRUE(view->validateMenuItem(A::deleteSelection));
    EXPECT_FALSE(id.isNull());
}
