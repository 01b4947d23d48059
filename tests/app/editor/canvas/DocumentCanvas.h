#pragma once
// A canvas shown over a project document that has one white panel of 400 × 300 points
// and a clean undo history, with settings of its own; beeps are counted. Pointer and key
// events are sent as the user's.

#include "CanvasInput.h"

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

struct DocumentCanvas : testing::Test, CanvasInput {
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

    int beeps = 0;
    Beeper::Override beeper{[this] { ++beeps; }};
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    ProjectDocument document{settings};
    std::unique_ptr<CanvasView> view;

private:
    CanvasView& inputView() override { return *view; }
};

} // namespace vorlix::test
