#pragma once
// One image placed on the canvas with everything that belongs to that image alone:
// crop and removed strips (source-image pixels), quarter turns and mirror, canvas
// origin (points) and scale, caption, captured cursor and its own annotations
// (points in source-image pixels). The mappings between spaces live elsewhere.

#include "core/model/Annotation.h"
#include "core/model/Geometry.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace vorlix {

// A band of rows or columns cut out of the source image (absolute image pixels).
struct RemovedStrip {
    enum class Axis { rows, columns };

    Axis axis = Axis::rows;
    double lower = 0;
    double upper = 0;

    bool operator==(const RemovedStrip&) const = default;
};

template <>
struct EnumTexts<RemovedStrip::Axis> {
    static constexpr const char* typeName = "Axis";
    static constexpr std::array table{std::pair{RemovedStrip::Axis::rows, std::string_view("rows")},
                                      std::pair{RemovedStrip::Axis::columns, std::string_view("columns")}};
};

// Clockwise quarter turns (0...3), then a left-right mirror.
struct PanelOrientation {
    int quarterTurns = 0;
    bool flippedHorizontally = false;

    bool operator==(const PanelOrientation&) const = default;

    // Keeps the two lowest bits of the turns: -1 is 3, 4 is 0.
    static PanelOrientation make(long long quarterTurns, bool flippedHorizontally)
    {
        return {static_cast<int>(quarterTurns & 3), flippedHorizontally};
    }
    static PanelOrientation identity() { return {}; }
};

// The mouse cursor captured with a shot.
struct CursorElement {
    static constexpr double clickRadiusInPoints = 16;

    Point position; // hot spot, source-image pixels
    QUuid imageID;  // the cursor's own image
    Point hotspot;  // inside the cursor image, its pixels from the top-left
    bool isVisible = true;
    bool showsClick = false;

    bool operator==(const CursorElement&) const = default;
};

// The document-wide look of the seams where strips were removed.
enum class CutMark { lightning, zigzag };

template <>
struct EnumTexts<CutMark> {
    static constexpr const char* typeName = "CutMark";
    static constexpr std::array table{std::pair{CutMark::lightning, std::string_view("lightning")},
                                      std::pair{CutMark::zigzag, std::string_view("zigzag")}};
};

struct Panel {
    QUuid id;
    QUuid imageID;
    Size pixelSize;
    double pixelsPerPoint = 1;
    std::optional<Rect> crop;
    std::vector<RemovedStrip> removedStrips;
    PanelOrientation orientation;
    Point origin;
    double scale = 1;
    bool isManuallyPositioned = false;
    std::optional<std::int64_t> stepNumber;
    std::optional<QString> caption;
    std::optional<CursorElement> cursor;
    std::vector<Annotation> annotations;

    bool operator==(const Panel&) const = default;
};

template <>
struct JsonCoding<RemovedStrip> {
    static RemovedStrip decode(const JsonValue& v);
    static Json encode(const RemovedStrip& s);
};
template <>
struct JsonCoding<PanelOrientation> {
    static PanelOrientation decode(const JsonValue& v);
    static Json encode(const PanelOrientation& o);
};
template <>
struct JsonCoding<CursorElement> {
    static CursorElement decode(const JsonValue& v);
    static Json encode(const CursorElement& c);
};
template <>
struct JsonCoding<Panel> {
    static Panel decode(const JsonValue& v);
    static Json encode(const Panel& p);
};

} // namespace vorlix
