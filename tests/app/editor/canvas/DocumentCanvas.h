#pragma once
// A canvas shown over a project document that has one white panel of 400 × 300 points
// and a clean undo history, with settings of its own; beeps are counted. Pointer and key
// events are sent as the user's.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/document/ProjectDocument.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"

#include "core/imaging/ImageCoding.h"

#include "support/EventLoopWaits.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace vorlix::test {

inline QByteArray solidPng(QColor colour, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return *ImageCoding::encode(image, ImageType::png, 1, 0.9);
}

struct DocumentCanvas : testing::Test {
    DocumentCanvas()
    {
        document.addImage(solidPng(Qt::white, 400, 300), QStringLiteral("png"), 1, QStringLiteral("Aggiungi"));
        document.undoManager().removeAllActions();
        view = std::make_unique<CanvasView>(document.editor(), document.images(), settings);
        view->setDocument(&document);
        view->resize(700, 500);
        view->show();
        processEventsFor(std::chrono::milliseconds(20));
    }

    DocumentEditor& editor() { return document.editor(); }
    UndoManager& undo() { return document.undoManager(); }
    // The names of the undo steps, most recent first, undoing them all and redoing them.
    std::vector<QString> undoNames()
    {
        std::vector<QString> names;
        while (undo().canUndo()) {
            names.push_back(undo().undoActionName());
            undo().undo();
        }
        while (undo().canRedo())
            undo().redo();
        return names;
    }

    // Pointer events as the user's, each in an event loop cycle of its own; `advance` is the
    // time since the previous event, so that presses close together make a double click.
    void send(QEvent::Type type, Point at, quint64 advance = 1000)
    {
        time += advance;
        const QPointF position = view->toViewport(at);
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, position, view->viewport()->mapToGlobal(position),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        event.setTimestamp(time);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void drag(Point from, Point to)
    {
        send(QEvent::MouseButtonPress, from);
        send(QEvent::MouseMove, from + (to - from) * 0.5, 16);
        send(QEvent::MouseMove, to, 16);
        send(QEvent::MouseButtonRelease, to, 16);
    }
    void click(Point at, quint64 advance = 1000)
    {
        send(QEvent::MouseButtonPress, at, advance);
        send(QEvent::MouseButtonRelease, at, 16);
    }
    void key(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &event);
    }

    quint64 time = 0;
    int beeps = 0;
    Beeper::Override beeper{[this] { ++beeps; }};
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
    std::unique_ptr<CanvasView> view;
};

} // namespace vorlix::test
