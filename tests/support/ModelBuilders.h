#pragma once
// Documents for tests, built in code.

#include "core/model/DocumentModel.h"

#include <QUuid>

namespace vorlix::test {

inline QUuid uuid(int n) { return QUuid(QString::asprintf("00000000-0000-4000-8000-%012d", n)); }

// A style with every field away from the line default.
inline Style offDefaultStyle()
{
    Style s;
    s.strokeColor = RGBAColor::hex("#2ED573");
    s.fillColor = RGBAColor::hex("#1E90FF80");
    s.lineWidth = 7.5;
    s.fill = FillMode::gradient;
    s.fillOpacity = 0.6;
    s.opacity = 0.8;
    s.cornerRadius = 9;
    s.dashed = true;
    s.filterIntensity = 3.25;
    s.pixelateRandom = true;
    s.pixelateAsBlur = true;
    s.followsText = false;
    s.arrowHeadStyle = ArrowHeadStyle::outline;
    s.arrowDoubleHead = true;
    s.arrowHeadColor = RGBAColor::hex("#A55EEA");
    s.arrowHeadScale = 1.5;
    s.arrowTaper = 0.4;
    s.fontName = QStringLiteral("DejaVu Serif");
    s.fontSize = 31;
    s.fontBold = false;
    s.textOutline = true;
    s.textAlignment = TextAlignment::right;
    s.textBoxBorder = true;
    s.shapeOutline = true;
    s.chalk = true;
    s.numberFormat = NumberFormat::roman;
    s.numberShape = NumberShape::drop;
    s.cursorShape = CursorShape::closedHand;
    s.clickMark = true;
    s.showsMeasure = true;
    s.lineDots = true;
    return s;
}

// Every field of every record away from its default.
inline DocumentModel offDefaultDocument()
{
    DocumentModel d;
    d.formatVersion = 2;
    Panel p;
    p.id = uuid(1);
    p.imageID = uuid(2);
    p.pixelSize = {1920, 1080};
    p.pixelsPerPoint = 2;
    p.crop = Rect(10, 20, 300.5, 400);
    p.removedStrips = {{RemovedStrip::Axis::columns, 5, 15}, {RemovedStrip::Axis::rows, 100, 140.5}};
    p.orientation = {3, true};
    p.origin = {-12.5, 40};
    p.scale = 0.75;
    p.isManuallyPositioned = true;
    p.stepNumber = 4;
    p.caption = QStringLiteral("Passo è uno");
    p.cursor = CursorElement{{50, 60}, uuid(3), {4, 5}, false, true};
    Annotation a = Annotation::make(uuid(4), AnnotationKind::callout, {{1, 2}, {3, 4}, {5, 6}},
                                    QStringLiteral("Ciao\nmondo"), offDefaultStyle(), Rect(0, 0, 50, 60));
    p.annotations = {a};
    d.panels = {p};
    d.annotations = {Annotation::make(uuid(5), AnnotationKind::line, {{0, 0}, {30, 40}})};
    d.background = ColorBackground{RGBAColor::hex("#1A1D20")};
    d.padding = 16;
    d.layout = {PanelLayout::Mode::grid, 12};
    d.numberingStart = 7;
    d.showsStepNumbers = true;
    d.panelShadow = true;
    d.panelCornerRadius = 8;
    d.cutMark = CutMark::zigzag;
    return d;
}

} // namespace vorlix::test
