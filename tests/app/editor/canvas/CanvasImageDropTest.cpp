#include "app/editor/canvas/CanvasView.h"

#include "DocumentCanvas.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

struct CanvasImageDropTest : test::DocumentCanvas {
    QTemporaryDir folder;

    QUrl file(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(folder.path()).filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return QUrl::fromLocalFile(path);
    }

    // Drags the data over the canvas and drops it, as the window system would; whether
    // the drag was accepted and whether the drop was.
    std::pair<bool, bool> dragAndDrop(const QMimeData& data)
    {
        const QPoint at = view->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted())
            return {false, false};
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
        return {true, drop.isAccepted()};
    }

    std::size_t panelCount() { return editor().model().panels.size(); }
};

TEST_F(CanvasImageDropTest, EachDroppedImageFileBecomesAPanelOfItsOwn)
{
    QMimeData data;
    data.setUrls({file(u"a.png"_s, test::solidPng(Qt::red, 40, 30)), file(u"note.txt"_s, "testo"),
                  file(u"b.PNG"_s, test::solidPng(Qt::green, 50, 20)),
                  file(u"c.png"_s, test::solidPng(Qt::blue, 10, 60))});
    EXPECT_EQ(dragAndDrop(data), std::make_pair(true, true));
    ASSERT_EQ(panelCount(), 4u);
    EXPECT_EQ(editor().model().panels[2].pixelSize, (Size{50, 20}));
    EXPECT_EQ(undoNames(), std::vector<QString>(3, u"Aggiungi immagine"_s));
    EXPECT_EQ(beeps, 0);
}

TEST_F(CanvasImageDropTest, ImageDataWithoutAFileBecomesOnePanel)
{
    QMimeData data;
    data.setData(u"image/png"_s, test::solidPng(Qt::red, 40, 30));
    EXPECT_EQ(dragAndDrop(data), std::make_pair(true, true));
    ASSERT_EQ(panelCount(), 2u);
    EXPECT_EQ(document.images().asset(editor().model().panels[1].imageID)->fileExtension, u"png"_s);
    EXPECT_EQ(undoNames(), std::vector<QString>{u"Aggiungi immagine"_s});
}

TEST_F(CanvasImageDropTest, ADropThatAddsNothingBeepsAndFails)
{
    QMimeData files;
    files.setUrls({file(u"rotta.png"_s, "non un'immagine"), file(u"vuota.jpg"_s, {})});
    QMimeData data;
    data.setData(u"image/png"_s, "non un'immagine");
    for (const QMimeData* dropped : {&files, &data}) {
        SCOPED_TRACE(dropped == &files ? "files" : "data");
        beeps = 0;
        EXPECT_EQ(dragAndDrop(*dropped), std::make_pair(true, false));
        EXPECT_EQ(beeps, 1);
        EXPECT_EQ(panelCount(), 1u);
        EXPECT_FALSE(undo().canUndo());
    }
}

TEST_F(CanvasImageDropTest, PicturesFromThisWindowAndOtherThingsAreRefused)
{
    QMimeData picture;
    picture.setData(u"image/png"_s, test::solidPng(Qt::red, 40, 30));
    QWidget otherWindow;
    QWidget sameWindowChild(view.get());
    EXPECT_FALSE(view->canAcceptImages(picture, &sameWindowChild));
    EXPECT_FALSE(view->canAcceptImages(picture, view->viewport()));
    EXPECT_TRUE(view->canAcceptImages(picture, &otherWindow));
    EXPECT_TRUE(view->canAcceptImages(picture, nullptr));

    QMimeData text;
    text.setText(u"testo"_s);
    text.setUrls({file(u"note.txt"_s, "testo")});
    EXPECT_EQ(dragAndDrop(text), std::make_pair(false, false));
    EXPECT_EQ(panelCount(), 1u);
    EXPECT_EQ(beeps, 0);
}

} // namespace
