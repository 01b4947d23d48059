#pragma once
// A shown canvas over one 300 x 200 point panel at (0, 0), in a document with a padding
// of 24 points: an arrow (uuid 10), a rectangle (11), a text (12) and a stamp (13) in the
// top half; the panel's image is blue on the left half and orange on the right. Settings
// in memory, one undo step per change.

#include "CanvasInput.h"

#include "app/editor/canvas/CanvasView.h"

#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"
#include "core/model/DocumentEditor.h"
#include "core/model/UndoManager.h"

#include "support/EventLoopWaits.h"
#include "support/ModelBuilders.h"
#include "support/RenderFixtures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <chrono>
#include <memory>

namespace vorlix::test {

inline const QColor leftColor{30, 80, 160};
inline const QColor rightColor{240, 160, 40};

inline DocumentModel styledDocument()
{
    DocumentModel d;
    Panel panel;
    panel.id = uuid(1);
    panel.imageID = uuid(2);
    panel.pixelSize = {300, 200};
    panel.pixelsPerPoint = 1;
    panel.annotations = {
        Annotation::make(uuid(10), AnnotationKind::arrow, {{20, 20}, {100, 20}}),
        Annotation::make(uuid(11), AnnotationKind::rectangle, {{120, 10}, {180, 60}}),
        Annotation::make(uuid(12), AnnotationKind::text, {{200, 20}}, QStringLiteral("Testo")),
        Annotation::make(uuid(13), AnnotationKind::stamp, {{260, 30}}, QStringLiteral("\u2705")),
    };
    d.panels = {panel};
    d.padding = 24;
    d.background = ColorBackground{RGBAColor::hex("#20242A")};
    return d;
}

inline QImage halvesImage()
{
    QImage image(300, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 150, 200, leftColor);
    painter.fillRect(150, 0, 150, 200, rightColor);
    return image;
}

struct CanvasFixture : CanvasInput {
    CanvasFixture() : editor(styledDocument(), undo), view(editor, images, settings)
    {
        undo.setGroupsByEvent(false);
        images.add(uuid(2), halvesImage());
        view.onStateChange = [this] { ++stateChanges; };
        view.resize(800, 600);
        view.show();
        processEventsFor(std::chrono::milliseconds(20));
    }

    const MemoryDefaultsStore& store() const { return static_cast<const MemoryDefaultsStore&>(settings.defaults()); }
    Annotation annotationAt(std::size_t i) const { return editor.model().panels[0].annotations[i]; }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    UndoManager undo;
    DocumentEditor editor;
    TestImages images;
    CanvasView view;
    int stateChanges = 0;

private:
    CanvasView& inputView() override { return view; }
};

} // namespace vorlix::test
