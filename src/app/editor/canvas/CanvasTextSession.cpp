// The canvas's in-place text session: opening it on a new or an existing text or callout,
// keeping the editing widget on the text box while the text, the style or the view
// changes, drawing the text being typed, and committing it as one undo step at most.

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/canvas/TextSessionEditor.h"

#include "core/document/DocumentAnnotations.h"
#include "core/render/AnnotationDrawing.h"
#include "core/shapes/TextLayout.h"

#include <QTextDocument>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

void CanvasView::beginNewText(Point at, AnnotationKind kind, std::optional<Point> tail)
{
    const Style textStyle = style(kind);
    const double lineHeight = TextLayout::size(u"M"_s, textStyle, std::nullopt).height;
    // The box's inner margin lies left of the point, so the text itself starts there.
    const Point origin{at.x - TextLayout::padding(textStyle), at.y - lineHeight / 2};
    startTextSession({}, std::nullopt, origin, textStyle, kind, tail, std::nullopt);
}

void CanvasView::beginEditingText(const QUuid& id)
{
    const DocumentModel& model = m_editor.model();
    const std::optional<Annotation> edited = annotation(model, id);
    const std::optional<CanvasShape> shape = canvasShape(model, id);
    if (!edited || !shape || shape->points.empty())
        return;
    if (edited->kind != AnnotationKind::text && edited->kind != AnnotationKind::callout)
        return;
    setSelection({id});
    const std::vector<Point>& points = shape->points;
    const std::optional<Point> tail = points.size() >= 2 ? std::optional(points[1]) : std::nullopt;
    const std::optional<Point> corner = points.size() >= 3 ? std::optional(points[2]) : std::nullopt;
    startTextSession(edited->text, id, points[0], edited->style, edited->kind, tail, corner);
    if (m_textEditor)
        m_textEditor->selectAll();
}

void CanvasView::startTextSession(const QString& text, std::optional<QUuid> annotationID, Point origin,
                                  const Style& style, AnnotationKind kind, std::optional<Point> tail,
                                  std::optional<Point> corner)
{
    // A session opened over a running one replaces it without applying it; callers
    // commit first.
    if (m_textEditor) {
        m_textEditor->hide();
        m_textEditor->deleteLater();
    }
    TextSession session;
    session.annotationID = annotationID;
    session.origin = origin;
    session.originalText = text;
    session.style = style;
    session.kind = kind;
    session.tail = tail;
    session.corner = corner;
    session.wraps = kind == AnnotationKind::callout && corner.has_value();
    m_state.textSession = session;
    m_textSessionArea = Rect::null();

    auto* editor = new TextSessionEditor(viewport());
    m_textEditor = editor;
    editor->setPlainText(text); // also starts the widget's undo history afresh
    connect(editor, &TextSessionEditor::commitRequested, this, &CanvasView::commitTextEditing);
    connect(editor, &QPlainTextEdit::textChanged, this, &CanvasView::fitTextContainer);
    // Scrolling and zooming move the box on screen; the widget follows.
    connect(this, &CanvasScrollView::viewChanged, editor, [this] { fitTextContainer(); });
    fitTextContainer();
    editor->show();
    editor->setFocus();
    viewport()->update();
    stateChanged();
}

CanvasShape CanvasView::textSessionShape() const
{
    const TextSession& session = *m_state.textSession;
    CanvasShape shape;
    shape.kind = session.kind;
    shape.points = {session.origin};
    if (session.tail) {
        shape.points.push_back(*session.tail);
        if (session.corner)
            shape.points.push_back(*session.corner);
    }
    shape.text = m_textEditor ? m_textEditor->text() : QString();
    // An empty callout still shows its bubble.
    if (shape.kind == AnnotationKind::callout && shape.text.isEmpty())
        shape.text = u" "_s;
    shape.style = session.style;
    return shape;
}

void CanvasView::fitTextContainer()
{
    if (!m_state.textSession || !m_textEditor)
        return;
    m_textEditor->applyStyle(m_state.textSession->style, magnification(), m_state.textSession->wraps);
    placeTextEditor();
}

void CanvasView::textSessionStyleDidChange()
{
    // The canvas draws the session's text, so both the widget and the drawing follow.
    fitTextContainer();
    viewport()->update();
}

void CanvasView::placeTextEditor()
{
    const TextSession& session = *m_state.textSession;
    const CanvasShape shape = textSessionShape();
    const QString text = m_textEditor->text();
    // The text box where the renderer will draw the text: a fixed-width callout's is
    // centred vertically in its frame, never above its top.
    Rect box;
    if (shape.hasCalloutFrame()) {
        const Rect frame = shape.textFrame();
        const Size measured = TextLayout::size(text, session.style, frame.width());
        box = Rect(frame.minX(), frame.minY() + std::max((frame.height() - measured.height) / 2, 0.0), frame.width(),
                   measured.height);
    } else {
        const Size measured = TextLayout::size(text, session.style, std::nullopt);
        // The renderer lays a growing box's lines one point wider than measured; the same
        // width keeps a centred or right-aligned caret on its text.
        box = Rect(session.origin, Size{measured.width + 1, measured.height});
    }
    const double m = magnification();
    const QPointF topLeft = toViewport(box.origin);
    // One more line below: the widget's own line height may differ by a little from the
    // renderer's, and a widget too low for its text would scroll it out of place.
    const double spare = TextLayout::font(session.style).pointSizeF() * m;
    m_textEditor->setGeometry(int(std::floor(topLeft.x())), int(std::floor(topLeft.y())),
                              int(std::ceil(box.width() * m)), int(std::ceil(box.height() * m + spare)));

    // The text is drawn by the canvas: repaint what it covered and what it covers now.
    const Rect area = shape.bounds().isNull() ? box : shape.bounds().united(box);
    const Rect dirty = m_textSessionArea.isNull() ? area : area.united(m_textSessionArea);
    m_textSessionArea = area;
    viewport()->update(toViewport(dirty).adjusted(-3, -3, 3, 3));
}

void CanvasView::drawTextSession(QPainter& painter) const
{
    if (!m_state.textSession)
        return;
    Renderer::draw(painter, textSessionShape());
}

void CanvasView::commitTextEditing()
{
    if (!m_state.textSession)
        return;
    const TextSession session = *m_state.textSession;
    const CanvasShape typed = textSessionShape();
    m_state.textSession.reset();
    const QString text = m_textEditor ? m_textEditor->text() : QString();
    if (m_textEditor) {
        // Deleted later: the widget may be inside its own key handling.
        m_textEditor->hide();
        m_textEditor->deleteLater();
        m_textEditor = nullptr;
    }
    setFocus();

    const bool blank = text.trimmed().isEmpty();
    if (!session.annotationID) {
        if (!blank) {
            CanvasShape shape = typed;
            shape.points = {session.origin};
            if (session.tail)
                shape.points.push_back(*session.tail);
            shape.text = text;
            place(shape, session.kind == AnnotationKind::callout ? u"Scrivi fumetto"_s : u"Scrivi testo"_s);
        }
    } else if (blank) {
        const std::set<QUuid> ids{*session.annotationID};
        m_editor.perform(u"Elimina testo"_s, [&](DocumentModel& doc) { removeAnnotations(doc, ids); });
    } else {
        const std::optional<Annotation> current = annotation(m_editor.model(), *session.annotationID);
        const bool unchanged = text == session.originalText && (!current || current->style == session.style);
        if (current && !unchanged) {
            m_editor.perform(u"Modifica testo"_s, [&](DocumentModel& doc) {
                updateAnnotation(doc, *session.annotationID, [&](Annotation& a) {
                    a.text = text;
                    a.style = session.style;
                });
            });
        }
    }
    viewport()->update();
    stateChanged();
}

} // namespace vorlix
