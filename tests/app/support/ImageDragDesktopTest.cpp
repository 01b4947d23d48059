// A real drag on an X server: the pointer is pressed over a view that drags its image
// and released over a receiver, which reads what the drag offers.

#include "app/support/ImageDrag.h"

#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray redPng()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    return pngOf(image);
}

// A view that drags its image the way the program's views do.
class DragSource : public QWidget {
public:
    QByteArray png = redPng();
    std::optional<Qt::DropAction> result;

protected:
    void mousePressEvent(QMouseEvent* event) override { m_gesture.press(event->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent*) override
    {
        if (const std::optional<QPoint> start = m_gesture.takeDragStart())
            result = ImageDrag::begin(this, *start, png, u"Schermata/prova"_s);
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_gesture.release(); }

private:
    ImageDrag::Gesture m_gesture;
};

class DropTarget : public QWidget {
public:
    DropTarget() { setAcceptDrops(true); }

    QStringList formats;
    QList<QUrl> urls;
    QByteArray png;
    bool dropped = false;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override
    {
        formats = event->mimeData()->formats();
        urls = event->mimeData()->urls();
        png = event->mimeData()->data(u"image/png"_s);
        dropped = true;
        event->acceptProposedAction();
    }
};

// Points the system's temporary directory at a fresh folder while it lives.
class TemporaryDirectoryOverride {
public:
    TemporaryDirectoryOverride() { qputenv("TMPDIR", m_folder.path().toUtf8()); }
    ~TemporaryDirectoryOverride()
    {
        if (m_previous.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_previous);
    }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QByteArray m_previous = qgetenv("TMPDIR");
    QTemporaryDir m_folder;
};

} // namespace

TEST(ImageDragOnTheDesktop, AReceiverGetsTheFileAndThePngData)
{
    TemporaryDirectoryOverride temporary; // the drag folder goes into the system's temporary directory

    QWidget window;
    auto* source = new DragSource;
    auto* target = new DropTarget;
    auto* row = new QHBoxLayout(&window);
    row->addWidget(source);
    row->addWidget(target);
    window.resize(400, 200);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));
    processEventsFor(200ms);

    // One xdotool run presses, moves and releases while this test's event loop turns: the
    // drag runs its own loop from inside the source's move event.
    const QPoint from = source->mapToGlobal(source->rect().center());
    const QPoint to = target->mapToGlobal(target->rect().center());
    const auto moveTo = [](QPoint p) {
        return QStringList{u"mousemove"_s, QString::number(p.x()), QString::number(p.y())};
    };
    const QStringList pause{u"sleep"_s, u"0.3"_s};
    QProcess hand;
    hand.start(u"xdotool"_s, moveTo(from) + QStringList{u"mousedown"_s, u"1"_s} + pause + moveTo(from + QPoint(4, 0)) +
                                 pause + moveTo(to - QPoint(4, 0)) + pause + moveTo(to) + pause +
                                 QStringList{u"mouseup"_s, u"1"_s});
    EXPECT_TRUE(waitUntil([&] { return target->dropped; }, 10s));
    EXPECT_TRUE(waitUntil([&] { return hand.state() == QProcess::NotRunning; }));

    const QString file = temporary.filePath(u"Trascinamenti/Schermata-prova.png"_s);
    EXPECT_EQ(target->formats.value(0), u"text/uri-list"_s);
    EXPECT_TRUE(target->formats.contains(u"image/png"_s));
    EXPECT_EQ(target->urls, QList<QUrl>{QUrl::fromLocalFile(file)});
    EXPECT_EQ(target->png, source->png);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), source->png);
    EXPECT_EQ(source->result, Qt::CopyAction);
}
