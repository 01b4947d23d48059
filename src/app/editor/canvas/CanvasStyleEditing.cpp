// The style being edited on a canvas (the typed text's, the selection's or the current
// tool's), its changes and resets, stamp choice and saved style recall.

#include "app/editor/canvas/CanvasView.h"

#include "core/document/DocumentAnnotations.h"

using namespace Qt::StringLiterals;

namespace vorlix {

std::optional<CanvasView::StyleContext> CanvasView::styleContext() const
{
    if (m_state.textSession)
        return StyleContext{{m_state.textSession->kind}, m_state.textSession->style};
    if (m_state.selection.empty()) {
        const std::optional<AnnotationKind> kind = annotationKind(m_state.tool);
        if (!kind)
            return std::nullopt;
        return StyleContext{{*kind}, style(*kind)};
    }
    const DocumentModel& model = m_editor.model();
    std::optional<StyleContext> context;
    for (const QUuid& id : annotationIDsInDrawOrder(model)) {
        if (!m_state.selection.contains(id))
            continue;
        const std::optional<Annotation> selected = annotation(model, id);
        if (!selected) {
            if (!context)
                return std::nullopt;
            continue;
        }
        if (!context)
            context = StyleContext{{}, selected->style}; // the lowest-drawn one shows its style
        context->kinds.insert(selected->kind);
    }
    return context;
}

void CanvasView::changeStyle(const QString& actionName, bool continuous, const std::function<void(Style&)>& mutate)
{
    noteActivity();
    const std::optional<StyleContext> context = styleContext();
    if (!context)
        return;
    // Changing a selected object also changes its tool's default style.
    for (const AnnotationKind kind : context->kinds) {
        Style changed = style(kind);
        mutate(changed);
        m_state.styles[kind] = changed;
    }
    if (!continuous)
        m_settings.set(setting::toolStyles, m_state.styles);

    if (m_state.textSession) {
        // The style reaches the annotation when the text is committed.
        mutate(m_state.textSession->style);
        textSessionStyleDidChange();
        stateChanged();
        return;
    }
    if (m_state.selection.empty()) {
        stateChanged();
        return;
    }
    const std::set<QUuid> ids = m_state.selection;
    const auto change = [ids, mutate](DocumentModel& doc) {
        for (const QUuid& id : ids)
            updateAnnotation(doc, id, [&](Annotation& a) { mutate(a.style); });
    };
    if (continuous) {
        m_styleChangeName = actionName;
        if (!m_state.isChangingStyle) {
            // Whatever edit comes next while the gesture is open ends it first, so that
            // neither change swallows the other.
            m_editor.beginInteraction([this] { finishStyleChange(); });
            m_state.isChangingStyle = true;
        }
        m_editor.updateInteraction(change);
    } else if (m_state.isChangingStyle) {
        m_editor.updateInteraction(change);
        m_state.isChangingStyle = false;
        m_wheelTimer.stop();
        m_editor.endInteraction(actionName);
    } else {
        m_editor.perform(actionName, change);
    }
}

void CanvasView::finishStyleChange()
{
    m_wheelTimer.stop();
    m_settings.set(setting::toolStyles, m_state.styles);
    if (!m_state.isChangingStyle)
        return;
    m_state.isChangingStyle = false;
    m_editor.endInteraction(m_styleChangeName);
}

void CanvasView::resetStyleToDefaults()
{
    noteActivity();
    const std::optional<StyleContext> context = styleContext();
    if (!context)
        return;
    for (const AnnotationKind kind : context->kinds)
        m_state.styles[kind] = Style::defaults(kind);
    m_settings.set(setting::toolStyles, m_state.styles);

    if (m_state.textSession) {
        m_state.textSession->style = Style::defaults(m_state.textSession->kind);
        textSessionStyleDidChange();
    } else if (!m_state.selection.empty()) {
        const std::set<QUuid> ids = m_state.selection;
        m_editor.perform(u"Ripristina stile"_s, [&ids](DocumentModel& doc) {
            for (const QUuid& id : ids)
                updateAnnotation(doc, id, [](Annotation& a) { a.style = Style::defaults(a.kind); });
        });
    }
    viewport()->update();
    stateChanged();
}

void CanvasView::chooseStamp(const QString& stamp)
{
    const DocumentModel& model = m_editor.model();
    std::set<QUuid> stamps;
    for (const QUuid& id : m_state.selection) {
        const std::optional<Annotation> selected = annotation(model, id);
        if (selected && selected->kind == AnnotationKind::stamp)
            stamps.insert(id);
    }
    if (stamps.empty()) {
        m_settings.set(setting::currentStamp, stamp);
    } else {
        m_editor.perform(u"Cambia timbro"_s, [&](DocumentModel& doc) {
            for (const QUuid& id : stamps)
                updateAnnotation(doc, id, [&](Annotation& a) { a.text = stamp; });
        });
    }
    stateChanged();
}

QString CanvasView::displayedStamp() const
{
    for (const QUuid& id : m_state.selection) {
        const std::optional<Annotation> selected = annotation(m_editor.model(), id);
        if (selected && selected->kind == AnnotationKind::stamp)
            return selected->text;
    }
    return m_settings.get(setting::currentStamp);
}

bool CanvasView::applyStylePreset(std::int64_t index)
{
    const std::optional<StyleContext> context = styleContext();
    if (!context || context->kinds.size() != 1)
        return false;
    const AnnotationKind kind = *context->kinds.begin();
    const std::vector<StylePreset> presets = m_settings.get(setting::stylePresets).presets(kind);
    if (index < 0 || index >= std::int64_t(presets.size()))
        return false;
    const StylePreset& preset = presets[std::size_t(index)];
    changeStyle(u"Preset "_s + preset.name, false, [&preset](Style& s) { s = preset.style; });
    StylePresetLibrary library = m_settings.get(setting::stylePresets);
    library.select(index, kind);
    m_settings.set(setting::stylePresets, library);
    stateChanged();
    return true;
}

} // namespace vorlix
