#pragma once
// What one canvas knows beyond its document: the current tool, the selection, the
// transient marks (guides, measurement, recognition region), each tool's default style,
// the pointer gesture under way and the sessions that may run (crop, cut-out, in-place
// text), and the bookkeeping of the frame refit. Plain values; the canvas changes them
// and reacts. Positions are canvas points, y downwards.

#include "app/support/Settings.h"
#include "core/analysis/CutOut.h"
#include "core/model/CropAspect.h"
#include "core/model/DocumentModel.h"
#include "core/model/Geometry.h"
#include "core/model/Style.h"
#include "core/model/Tool.h"
#include "core/shapes/CanvasShape.h"

#include <QImage>
#include <QString>
#include <QUuid>

#include <map>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace vorlix {

// A snap guide shown while a panel is moved.
struct Guide {
    Point from;
    Point to;
    bool operator==(const Guide&) const = default;
};

// The ruler tool's measurement.
struct Measurement {
    Point start;
    Point end;
    bool operator==(const Measurement&) const = default;
};

// The automatic ruler under the pointer: the point and the runs of like pixels through it.
struct AutoRuler {
    Point point;
    Rect edges;
    bool operator==(const AutoRuler&) const = default;
};

// Pointer gestures: what a press of the left button has grabbed, carried through its
// drags to its release. `None` comes first so that a new state has no gesture.
namespace drag {
struct None {
    bool operator==(const None&) const = default;
};
// A creation tool was pressed; nothing exists until the pointer travels far enough.
struct Pending {
    Point start;
    AnnotationKind kind = AnnotationKind::rectangle;
    bool operator==(const Pending&) const = default;
};
// A two-point annotation `id` of `kind` is being drawn from `start`.
struct Creating {
    QUuid id;
    AnnotationKind kind = AnnotationKind::rectangle;
    Point start;
    bool operator==(const Creating&) const = default;
};
// A pencil stroke being collected.
struct Sketching {
    QUuid id;
    std::vector<Point> points;
    bool operator==(const Sketching&) const = default;
};
// The selected annotations dragged; `originals` holds each one's canvas points at the press.
struct Moving {
    Point start;
    std::map<QUuid, std::vector<Point>> originals;
    bool operator==(const Moving&) const = default;
};
// One handle of the single selected annotation dragged.
struct Resizing {
    QUuid id;
    Handle handle;
    CanvasShape original;
    Point start;
    bool operator==(const Resizing&) const = default;
};
// A rubber band selecting what it meets; `base` is the selection it started from.
struct Marquee {
    Point start;
    Point current;
    std::set<QUuid> base;
    bool operator==(const Marquee&) const = default;
};
// The region for text recognition being drawn.
struct SelectingText {
    Point start;
    bool operator==(const SelectingText&) const = default;
};
// The region for a cut-out being drawn.
struct SelectingCutOut {
    Point start;
    Point current;
    bool operator==(const SelectingCutOut&) const = default;
};
// A panel dragged; `origin` is its origin at the press.
struct MovingPanel {
    QUuid id;
    Point start;
    Point origin;
    bool operator==(const MovingPanel&) const = default;
};
// A panel scaled by a corner; `anchor` is the opposite corner, which stays put.
struct ScalingPanel {
    QUuid id;
    Point anchor;
    Panel original;
    bool operator==(const ScalingPanel&) const = default;
};
// A callout's tail tip was pressed; its box goes where the button is released.
struct PlacingCallout {
    Point tip;
    Point current;
    bool operator==(const PlacingCallout&) const = default;
};
// A strip marked across a panel for removal.
struct CuttingStrip {
    QUuid panelID;
    Point start;
    Point current;
    bool operator==(const CuttingStrip&) const = default;
};
// The ruler measuring; its two ends are the canvas's measurement.
struct Measuring {
    bool operator==(const Measuring&) const = default;
};
} // namespace drag
using Drag = std::variant<drag::None, drag::Pending, drag::Creating, drag::Sketching, drag::Moving, drag::Resizing,
                          drag::Marquee, drag::SelectingText, drag::SelectingCutOut, drag::MovingPanel,
                          drag::ScalingPanel, drag::PlacingCallout, drag::CuttingStrip, drag::Measuring>;

// A crop being chosen for one panel: `preview` is that panel shown uncropped while the
// document keeps its crop until the crop is applied.
struct CropSession {
    QUuid panelID;
    Rect rect;
    Panel preview;
    bool operator==(const CropSession&) const = default;
};

// The gesture of a crop session: the rectangle moved (`rect` its canvas rectangle and
// `start` the pointer at the press), one of its handles dragged, or a new one drawn.
namespace cropdrag {
struct None {
    bool operator==(const None&) const = default;
};
struct Move {
    Point start;
    Rect rect;
    bool operator==(const Move&) const = default;
};
struct Resize {
    Handle handle;
    Rect rect;
    bool operator==(const Resize&) const = default;
};
struct New {
    Point start;
    bool operator==(const New&) const = default;
};
} // namespace cropdrag
using CropDrag = std::variant<cropdrag::None, cropdrag::Move, cropdrag::Resize, cropdrag::New>;

// A background removal running on a region of the canvas. `region` is snapped to whole
// pixels of `source`, the region rendered once when the session began; seeds are in
// `source` pixels. `result` is the latest removal, none when nothing remained.
struct CutOutSession {
    Rect region;
    QImage source;
    double pixelsPerPoint = 1;
    std::vector<CutOut::Hole> holes;
    std::optional<CutOut::Result> result;
    bool operator==(const CutOutSession&) const = default;
};

// Text being typed in place, new (`annotationID` none) or an existing annotation's.
// `origin` is the text box's top-left corner, the annotation's first point.
struct TextSession {
    std::optional<QUuid> annotationID;
    Point origin;
    QString originalText;
    Style style;
    AnnotationKind kind = AnnotationKind::text;
    std::optional<Point> tail;
    std::optional<Point> corner;
    bool wraps = false;
    bool operator==(const TextSession&) const = default;
};

// Repeated pastes of one clipboard content: the clipboard's change count when it was
// last copied or pasted here, and how many pastes were made of it.
struct PasteSequence {
    std::int64_t changeCount = -1;
    std::int64_t count = 0;
    bool operator==(const PasteSequence&) const = default;
};

struct CanvasState {
    Tool tool = Tool::select;
    std::set<QUuid> selection;
    std::optional<QUuid> selectedPanel;
    std::vector<Guide> guides;
    std::optional<RGBAColor> hoveredColor;
    std::optional<Measurement> measurement;
    std::optional<AutoRuler> autoRuler;
    std::optional<Rect> textRegion;
    std::optional<CutOutSession> cutOutSession;
    double cutOutSensitivity = 0.12;
    std::optional<CropSession> cropSession;
    CropDrag cropDrag;
    CropAspect cropAspect = CropAspect::free;
    ToolStyles styles;
    Drag drag;
    std::optional<TextSession> textSession;
    bool isChangingStyle = false;
    bool isUpdatingFrame = false;
    Size lastClipSize;
    bool didInitialScroll = false;
    bool isChangingDocument = false;
    // The undo name a continuous change (wheel, slider) will end under; a pointer gesture
    // or a one-off edit that starts meanwhile ends it under this name first.
    QString continuousChangeName;
    PasteSequence pasteSequence;

    bool operator==(const CanvasState&) const = default;

    bool hasDrag() const { return !std::holds_alternative<drag::None>(drag); }
};

// The tools that go back to select after a while without input: the drawing tools.
// Select itself, the picker, the ruler and the tools with sessions stay.
bool returnsToSelectWhenIdle(Tool tool);

// The document as the canvas shows it: with a crop session, its panel replaced by the
// session's uncropped preview.
DocumentModel displayModel(const DocumentModel& model, const std::optional<CropSession>& cropSession);

} // namespace vorlix
