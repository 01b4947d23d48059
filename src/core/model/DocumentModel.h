#pragma once
// The whole content of one project as one value: panels (drawn in order), the
// document-level annotations (canvas points, drawn after every panel's), and the
// settings of the whole canvas. Coded as the project's "document.json".

#include "core/model/Annotation.h"
#include "core/model/Color.h"
#include "core/model/Panel.h"

#include <QUuid>

#include <cstdint>
#include <variant>
#include <vector>

namespace vorlix {

struct TransparentBackground {
    bool operator==(const TransparentBackground&) const = default;
};
struct ColorBackground {
    RGBAColor color;
    bool operator==(const ColorBackground&) const = default;
};
// What fills the canvas behind the panels.
using CanvasBackground = std::variant<TransparentBackground, ColorBackground>;

struct PanelLayout {
    enum class Mode { vertical, horizontal, grid };

    Mode mode = Mode::vertical;
    double spacing = 24;

    bool operator==(const PanelLayout&) const = default;
};

template <>
struct EnumTexts<PanelLayout::Mode> {
    static constexpr const char* typeName = "Mode";
    static constexpr std::array table{std::pair{PanelLayout::Mode::vertical, std::string_view("vertical")},
                                      std::pair{PanelLayout::Mode::horizontal, std::string_view("horizontal")},
                                      std::pair{PanelLayout::Mode::grid, std::string_view("grid")}};
};

// Where an annotation is stored, and so in which space its points are. Never stored.
struct AnnotationOwner {
    std::optional<QUuid> panelID; // nothing: the document

    static AnnotationOwner document() { return {}; }
    static AnnotationOwner panel(QUuid id) { return {id}; }
    bool isDocument() const { return !panelID; }

    bool operator==(const AnnotationOwner&) const = default;
};

struct DocumentModel {
    static constexpr std::int64_t currentFormatVersion = 3;

    std::int64_t formatVersion = currentFormatVersion;
    std::vector<Panel> panels;
    std::vector<Annotation> annotations;
    CanvasBackground background = TransparentBackground{};
    double padding = 0;
    PanelLayout layout;
    std::int64_t numberingStart = 1;
    // Kept from format versions before 3; the project reader turns it into badges.
    bool showsStepNumbers = false;
    bool panelShadow = false;
    double panelCornerRadius = 0;
    CutMark cutMark = CutMark::lightning;

    bool operator==(const DocumentModel&) const = default;
};

template <>
struct JsonCoding<CanvasBackground> {
    static CanvasBackground decode(const JsonValue& v);
    static Json encode(const CanvasBackground& b);
};
template <>
struct JsonCoding<PanelLayout> {
    static PanelLayout decode(const JsonValue& v);
    static Json encode(const PanelLayout& l);
};
template <>
struct JsonCoding<DocumentModel> {
    static DocumentModel decode(const JsonValue& v);
    static Json encode(const DocumentModel& d);
};

// The first panel with the id, or nothing.
const Panel* findPanel(const DocumentModel& doc, const QUuid& panelID);
Panel* findPanel(DocumentModel& doc, const QUuid& panelID);

// Parses and decodes "document.json" text.
DocumentModel decodeDocument(std::string_view jsonText);

} // namespace vorlix
