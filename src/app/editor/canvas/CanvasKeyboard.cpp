// The keys that act on the drawing without a menu: the crop and cut-out sessions' keys,
// style presets on the digits, pinning a measurement, copying the hovered colour,
// deleting, cancelling, nudging and the one-letter tool shortcuts; and the Edit menu's
// Delete and Select All.
//
// Keys are told apart by their position on the keyboard, not by the character the layout
// gives them, so the digit row chooses presets whatever the layout prints on it.

#include "app/editor/canvas/CanvasHandles.h"
#include "app/editor/canvas/CanvasView.h"
#include "core/document/DocumentAnnotations.h"
#include "core/document/PanelComposition.h"
#include "core/formats/LinuxKeyMap.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>
#include <iterator>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// Stored key numbers (key positions) of the keys the canvas acts on.
namespace keycode {
constexpr std::uint32_t returnKey = 36;
constexpr std::uint32_t enter = 76;
constexpr std::uint32_t tab = 48;
constexpr std::uint32_t backspace = 51;
constexpr std::uint32_t forwardDelete = 117;
constexpr std::uint32_t escape = 53;
constexpr std::uint32_t left = 123;
constexpr std::uint32_t right = 124;
constexpr std::uint32_t down = 125;
constexpr std::uint32_t up = 126;
} // namespace keycode

// The digit row 1 ... 9, in that order.
constexpr std::array<std::uint32_t, 9> digitKeys{18, 19, 20, 21, 23, 22, 26, 28, 25};

constexpr double nudgeStep = 1;
constexpr double shiftNudgeStep = 10;

// Events made without a keyboard (another program's, the offscreen platform's) carry
// no scan code: then Qt's key stands in for the position.
std::optional<std::uint32_t> keyCodeFromQtKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
        return keycode::returnKey;
    case Qt::Key_Enter:
        return keycode::enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return keycode::tab;
    case Qt::Key_Backspace:
        return keycode::backspace;
    case Qt::Key_Delete:
        return keycode::forwardDelete;
    case Qt::Key_Escape:
        return keycode::escape;
    case Qt::Key_Left:
        return keycode::left;
    case Qt::Key_Right:
        return keycode::right;
    case Qt::Key_Down:
        return keycode::down;
    case Qt::Key_Up:
        return keycode::up;
    default:
        break;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9)
        return digitKeys[std::size_t(key - Qt::Key_1)];
    return std::nullopt;
}

std::optional<std::uint32_t> keyPosition(const QKeyEvent& event)
{
    if (event.nativeScanCode() != 0)
        if (const std::optional<std::uint32_t> code = keyCodeFromX11(int(event.nativeScanCode())))
            return code;
    return keyCodeFromQtKey(event.key());
}

// The tool whose letter the key types, without Shift's capital.
std::optional<Tool> toolForKeyEvent(const QKeyEvent& event)
{
    const QString text = event.text().toLower();
    if (text.isEmpty() || text.front().unicode() > 0x7f)
        return std::nullopt;
    return toolForKey(char(text.front().unicode()));
}

} // namespace

void CanvasView::keyPressEvent(QKeyEvent* event)
{
    noteActivity();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        CanvasScrollView::keyPressEvent(event);
        return;
    }
    const std::optional<std::uint32_t> code = keyPosition(*event);
    const auto is = [&](auto... codes) { return code && ((*code == codes) || ...); };
    event->accept();

    if (m_state.cropSession) {
        // The crop keeps every other key to itself, except a tool letter.
        if (is(keycode::returnKey, keycode::enter))
            applyCrop();
        else if (is(keycode::escape))
            cancelCrop();
        else if (const std::optional<Tool> tool = toolForKeyEvent(*event))
            setTool(*tool);
        return;
    }
    if (m_state.cutOutSession) {
        if (is(keycode::returnKey, keycode::enter)) {
            placeCutOut();
            return;
        }
        if (is(keycode::backspace, keycode::forwardDelete)) {
            removeLastCutOutHole();
            return;
        }
        if (is(keycode::escape)) {
            setCutOutSession(std::nullopt);
            refreshCursor();
            return;
        }
    }
    if (const auto digit = code ? std::ranges::find(digitKeys, *code) : digitKeys.end(); digit != digitKeys.end()) {
        endContinuousChange();
        if (!applyStylePreset(std::distance(digitKeys.begin(), digit)))
            CanvasScrollView::keyPressEvent(event);
        return;
    }
    if (is(keycode::returnKey, keycode::enter)) {
        if (m_state.tool == Tool::ruler)
            pinMeasure();
        else
            CanvasScrollView::keyPressEvent(event);
        return;
    }
    if (is(keycode::tab)) {
        copyHoveredColor();
        return;
    }
    if (is(keycode::backspace, keycode::forwardDelete)) {
        deleteSelection();
        return;
    }
    if (is(keycode::escape)) {
        // A gesture under way is all that the first Escape undoes, with or without an
        // editor interaction; the next one clears the selection.
        if (cancelGesture())
            return;
        setSelection({});
        setSelectedPanel(std::nullopt);
        setMeasurement(std::nullopt);
        setTool(Tool::select);
        return;
    }
    const double step = event->modifiers() & Qt::ShiftModifier ? shiftNudgeStep : nudgeStep;
    if (is(keycode::left))
        nudge({-step, 0});
    else if (is(keycode::right))
        nudge({step, 0});
    else if (is(keycode::down))
        nudge({0, step}); // y grows downwards
    else if (is(keycode::up))
        nudge({0, -step});
    else if (const std::optional<Tool> tool = toolForKeyEvent(*event))
        setTool(*tool);
    else
        CanvasScrollView::keyPressEvent(event);
}

bool CanvasView::focusNextPrevChild(bool) { return false; }

void CanvasView::deleteSelection()
{
    endContinuousChange();
    if (m_state.selection.empty()) {
        if (m_state.selectedPanel)
            removeSelectedPanel(*m_state.selectedPanel);
        return;
    }
    const std::set<QUuid> ids = m_state.selection;
    m_editor.perform(u"Elimina "_s + vorlix::objectName(m_editor.model(), ids),
                     [&](DocumentModel& doc) { removeAnnotations(doc, ids); });
    setSelection({});
}

void CanvasView::selectAll()
{
    const std::vector<QUuid> ids = annotationIDsInDrawOrder(m_editor.model());
    setSelection({ids.begin(), ids.end()});
}

void CanvasView::nudge(Point offset)
{
    endContinuousChange();
    if (m_state.selection.empty()) {
        if (!m_state.selectedPanel)
            return;
        const QUuid id = *m_state.selectedPanel;
        const vorlix::Panel* panel = findPanel(m_editor.model(), id);
        if (!panel)
            return;
        const Point origin = panel->origin + offset;
        m_editor.perform(u"Sposta pannello"_s, [&](DocumentModel& doc) { movePanel(doc, id, origin); });
        return;
    }
    const std::set<QUuid> ids = m_state.selection;
    m_editor.perform(u"Sposta "_s + vorlix::objectName(m_editor.model(), ids), [&](DocumentModel& doc) {
        for (const QUuid& id : ids) {
            std::optional<CanvasShape> shape = canvasShape(doc, id);
            if (!shape)
                continue;
            for (Point& point : shape->points)
                point = point + offset;
            setCanvasPoints(doc, id, shape->points);
        }
    });
}

} // namespace vorlix
