#pragma once
// A canvas for the editor's benchmarks: a document shown with the settings, undo history,
// editor and images it needs.

#include "app/editor/canvas/CanvasView.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "core/model/DocumentEditor.h"
#include "core/model/UndoManager.h"
#include "support/ImageMap.h"

#include <QApplication>

#include <memory>

namespace vorlix::bench {

struct BenchCanvas {
    explicit BenchCanvas(DocumentModel document) : editor(std::move(document), undo), view(editor, images, settings) {}

    // Shown with a viewport of exactly `viewport` pixels at magnification 1, its caches warm.
    void showWithViewport(QSize viewport)
    {
        view.resize(viewport + QSize(40, 60));
        view.show();
        QApplication::processEvents();
        const QSize extra = view.size() - view.viewport()->size();
        view.resize(viewport + extra);
        QApplication::processEvents();
        view.setMagnification(1);
    }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UndoManager undo;
    DocumentEditor editor;
    test::ImageMap images;
    CanvasView view;
};

} // namespace vorlix::bench
