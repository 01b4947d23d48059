#include "app/editor/inspectors/StylePresetsMenu.h"

#include "app/editor/canvas/CanvasView.h"
#include "app/support/Alerts.h"
#include "app/support/Beeper.h"
#include "app/support/Settings.h"

#include <QMenu>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

constexpr double dialogFontSize = 13;
constexpr double dialogFieldWidth = 240;

QFont smallFont(QFont font)
{
    font.setPointSizeF(11);
    return font;
}

} // namespace

QString presetTitle(const StylePresetLibrary& library, AnnotationKind kind, const std::optional<Style>& editedStyle)
{
    const std::optional<StylePreset> selected = library.selectedPreset(kind);
    if (!selected)
        return u"Preset"_s;
    if (editedStyle && *editedStyle != selected->style)
        return selected->name + u" (modificato)"_s;
    return selected->name;
}

QString defaultPresetName(AnnotationKind kind, std::size_t presetCount)
{
    QString name = displayName(kind);
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name + u' ' + QString::number(presetCount + 1);
}

StylePresetMenu::StylePresetMenu(CanvasView* canvas, Settings& settings, QWidget* dialogOwner)
    : m_canvas(canvas), m_settings(settings), m_dialogOwner(dialogOwner)
{
}

QToolButton* StylePresetMenu::makePopup(AnnotationKind kind)
{
    auto* button = new QToolButton;
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFont(smallFont(button->font()));
    button->setToolTip(u"Preset di stile: salva lo stile attuale e richiamalo con i tasti 1–9"_s);
    auto* menu = new QMenu(button);
    const std::string_view kindText = enumText(kind);
    menu->setObjectName(QString::fromLatin1(kindText.data(), qsizetype(kindText.size())));
    button->setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, kind] { fillPresetMenu(menu, kind); });
    fillPresetMenu(menu, kind);
    m_popup = button;
    m_popupKind = kind;
    refreshTitle();
    return button;
}

QString StylePresetMenu::presetTitle(AnnotationKind kind) const
{
    std::optional<Style> edited;
    if (m_canvas)
        if (const std::optional<CanvasView::StyleContext> context = m_canvas->styleContext())
            edited = context->style;
    return vorlix::presetTitle(library(), kind, edited);
}

void StylePresetMenu::refreshTitle()
{
    if (m_popup)
        m_popup->setText(presetTitle(m_popupKind));
}

void StylePresetMenu::fillPresetMenu(QMenu* menu, AnnotationKind kind)
{
    // The submenus of the last opening belong to the menu, not to its actions.
    for (QMenu* submenu : menu->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
        submenu->deleteLater();
    menu->clear();
    const StylePresetLibrary stored = library();
    const std::vector<StylePreset> presets = stored.presets(kind);
    const std::optional<std::size_t> selected = stored.selectedIndex(kind);

    for (std::size_t i = 0; i < presets.size(); ++i) {
        // The tab puts the key that recalls the preset in the menu's shortcut column.
        QAction* item = menu->addAction(presets[i].name + u'\t' + QString::number(i + 1));
        item->setCheckable(true);
        item->setChecked(selected == i);
        connect(item, &QAction::triggered, this, [this, i] { stylePresetChosen(int(i)); });
    }
    if (isTextual(kind)) {
        if (!presets.empty())
            menu->addSeparator();
        menu->addAction(u"Stili pronti"_s)->setEnabled(false);
        for (const auto& [preset, text] : EnumTexts<TextPreset>::table) {
            QAction* item = menu->addAction(u"    "_s + title(preset));
            item->setData(QString::fromLatin1(text.data(), qsizetype(text.size())));
            connect(item, &QAction::triggered, this, [this, preset] { presetChosen(preset); });
        }
    }
    if (!presets.empty() || isTextual(kind))
        menu->addSeparator();

    connect(menu->addAction(u"Salva lo stile attuale…"_s), &QAction::triggered, this,
            [this, kind] { saveStylePreset(kind); });
    QAction* update = menu->addAction(u"Aggiorna lo stile attuale"_s);
    if (selected && *selected < presets.size())
        update->setToolTip(u"Mette le impostazioni attuali nel preset «"_s + presets[*selected].name + u"»"_s);
    else
        update->setToolTip(u"Prima scegli un preset: poi qui lo aggiorni con le impostazioni attuali"_s);
    update->setEnabled(selected.has_value());
    connect(update, &QAction::triggered, this, [this, kind] { updateStylePreset(kind); });
    menu->setToolTipsVisible(true);

    if (presets.empty())
        return;
    QMenu* rename = menu->addMenu(u"Rinomina"_s);
    QMenu* remove = menu->addMenu(u"Elimina"_s);
    for (std::size_t i = 0; i < presets.size(); ++i) {
        connect(rename->addAction(presets[i].name + u"…"_s), &QAction::triggered, this,
                [this, kind, i] { renameStylePreset(kind, int(i)); });
        connect(remove->addAction(presets[i].name), &QAction::triggered, this,
                [this, kind, i] { deleteStylePreset(kind, int(i)); });
    }
}

void StylePresetMenu::stylePresetChosen(int index)
{
    if (m_canvas)
        m_canvas->applyStylePreset(index);
}

void StylePresetMenu::presetChosen(TextPreset preset)
{
    if (m_canvas)
        m_canvas->changeStyle(u"Stile "_s + title(preset), false, [preset](Style& style) { apply(preset, style); });
}

void StylePresetMenu::saveStylePreset(AnnotationKind kind)
{
    if (!m_canvas)
        return;
    const std::optional<CanvasView::StyleContext> context = m_canvas->styleContext();
    if (!context)
        return;
    const Style style = context->style;
    Alerts::askText(
        u"Salva preset"_s,
        u"Lo stile attuale (colore, spessore e il resto) si richiama poi dal menu Preset o con i tasti 1–9."_s,
        defaultPresetName(kind, library().presets(kind).size()), u"Salva"_s, dialogFontSize, dialogFieldWidth,
        m_dialogOwner ? m_dialogOwner->window() : nullptr,
        [guard = QPointer(this), kind, style](std::optional<QString> name) {
            if (!guard)
                return;
            guard->focusCanvas();
            if (!name)
                return;
            StylePresetLibrary stored = guard->library();
            stored.save(style, *name, kind);
            guard->store(stored);
        });
}

void StylePresetMenu::updateStylePreset(AnnotationKind kind)
{
    if (!m_canvas)
        return;
    const std::optional<CanvasView::StyleContext> context = m_canvas->styleContext();
    if (!context)
        return;
    StylePresetLibrary stored = library();
    const std::optional<std::size_t> selected = stored.selectedIndex(kind);
    if (!selected) {
        Beeper::beep();
        return;
    }
    stored.update(std::int64_t(*selected), context->style, kind);
    store(stored);
}

void StylePresetMenu::renameStylePreset(AnnotationKind kind, int index)
{
    const std::vector<StylePreset> presets = library().presets(kind);
    if (index < 0 || std::size_t(index) >= presets.size())
        return;
    Alerts::askText(u"Rinomina preset"_s,
                    u"Il nuovo nome del preset (il tasto "_s + QString::number(index + 1) + u" resta lo stesso)."_s,
                    presets[std::size_t(index)].name, u"Rinomina"_s, dialogFontSize, dialogFieldWidth,
                    m_dialogOwner ? m_dialogOwner->window() : nullptr,
                    [guard = QPointer(this), kind, index](std::optional<QString> name) {
                        if (!guard)
                            return;
                        guard->focusCanvas();
                        if (!name)
                            return;
                        StylePresetLibrary stored = guard->library();
                        if (!stored.rename(index, *name, kind)) {
                            Beeper::beep();
                            return;
                        }
                        guard->store(stored);
                    });
}

void StylePresetMenu::deleteStylePreset(AnnotationKind kind, int index)
{
    StylePresetLibrary stored = library();
    stored.remove(index, kind);
    store(stored);
}

StylePresetLibrary StylePresetMenu::library() const { return m_settings.get(setting::stylePresets); }

void StylePresetMenu::store(const StylePresetLibrary& library)
{
    m_settings.set(setting::stylePresets, library);
    refreshTitle();
}

void StylePresetMenu::focusCanvas()
{
    if (m_canvas)
        m_canvas->setFocus(Qt::OtherFocusReason);
}

} // namespace vorlix
