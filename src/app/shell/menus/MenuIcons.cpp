#include "app/shell/menus/MenuIcons.h"

#include "app/support/Icon.h"

#include <QAction>
#include <QMenu>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace vorlix::MenuIcons {

namespace {

struct TitleSymbol {
    std::u16string_view title;
    std::string_view symbol;
};

// Read in order: the first exact key wins, and of equally long prefixes the earlier.
constexpr std::array<TitleSymbol, 71> titles{{
    {u"Informazioni su", "info.circle"},
    {u"Impostazioni…", "gearshape"},
    {u"Nascondi altre", "eye.slash"},
    {u"Nascondi", "eye.slash"},
    {u"Mostra tutte", "eye"},
    {u"Esci", "power"},
    {u"Avvia al login", "arrow.right.circle"},
    {u"Riapri l'ultimo scatto", "arrow.counterclockwise"},
    {u"Cattura area", "rectangle.dashed"},
    {u"Cattura schermo intero", "display"},
    {u"Riconosci testo/QR", "text.viewfinder"},
    {u"Tutto in uno", "viewfinder"},
    {u"Altro", "ellipsis.circle"},
    {u"Ripeti cattura area", "repeat"},
    {u"Cattura area di misura fissa", "aspectratio"},
    {u"Cattura finestra attiva", "macwindow"},
    {u"Cattura una finestra", "macwindow.on.rectangle"},
    {u"Cattura ritardata", "timer"},
    {u"Cattura a scorrimento", "scroll"},
    {u"Apri file…", "photo"},
    {u"Carica dagli appunti", "doc.on.clipboard"},
    {u"Apri progetto…", "doc"},
    {u"Mostra tutta la cronologia…", "clock"},
    {u"Leggio", "pin"},
    {u"Togli «Trasparente ai clic»", "hand.tap"},
    {u"Chiudi tutti", "xmark"},
    {u"Apri recenti", "clock"},
    {u"Apri…", "folder"},
    {u"Chiudi", "xmark"},
    {u"Salva progetto con nome…", "square.and.arrow.down.on.square"},
    {u"Salva progetto…", "square.and.arrow.down"},
    {u"Copia immagine", "doc.on.doc"},
    {u"Esporta immagine…", "square.and.arrow.up"},
    {u"Condividi…", "paperplane"},
    {u"Formato di stampa…", "doc.badge.gearshape"},
    {u"Stampa…", "printer"},
    {u"Annulla", "arrow.uturn.backward"},
    {u"Ripeti", "arrow.uturn.forward"},
    {u"Ripristina", "arrow.uturn.forward"},
    {u"Taglia", "scissors"},
    {u"Copia", "doc.on.doc"},
    {u"Incolla", "doc.on.clipboard"},
    {u"Elimina", "trash"},
    {u"Seleziona tutto", "checkmark.square"},
    {u"Aggiungi immagine…", "plus.rectangle.on.rectangle"},
    {u"Aggiungi scatto recente", "clock.arrow.circlepath"},
    {u"Aggiungi nuovo scatto…", "camera.viewfinder"},
    {u"Disposizione", "square.grid.2x2"},
    {u"Verticale", "rectangle.split.1x2"},
    {u"Orizzontale", "rectangle.split.2x1"},
    {u"Griglia", "square.grid.2x2"},
    {u"Distanza tra i pannelli", "arrow.left.and.right"},
    {u"Riordina automaticamente", "wand.and.stars"},
    {u"Numera i passaggi", "list.number"},
    {u"Togli la numerazione", "minus.circle"},
    {u"Ruota a sinistra", "rotate.left"},
    {u"Ruota a destra", "rotate.right"},
    {u"Capovolgi in orizzontale", "arrow.left.and.right.righttriangle.left.righttriangle.right"},
    {u"Capovolgi in verticale", "arrow.up.and.down.righttriangle.up.righttriangle.down"},
    {u"Sfondo e cornice…", "photo.artframe"},
    {u"Esporta come guida…", "list.bullet.rectangle.portrait"},
    {u"Metti sul leggio", "pin"},
    {u"Ingrandisci", "plus.magnifyingglass"},
    {u"Riduci", "minus.magnifyingglass"},
    {u"Dimensioni reali", "1.magnifyingglass"},
    {u"Adatta alla finestra", "arrow.up.left.and.arrow.down.right"},
    {u"Mostra i nomi sotto le icone", "textformat"},
    {u"Mostra i righelli", "ruler"},
    {u"Contrai", "minus.rectangle"},
    {u"Ridimensiona", "arrow.up.left.and.arrow.down.right"},
    {u"Porta tutto in primo piano", "macwindow.on.rectangle"},
}};

// A symbol's icon in the freedesktop naming, and the interface's own drawing of it.
struct SymbolIcon {
    std::string_view symbol;
    const char* themeName;
    const Icon& (*drawn)();
};

const std::array<SymbolIcon, 40> symbols{{
    {"info.circle", "help-about", nullptr},
    {"gearshape", "preferences-system", nullptr},
    {"eye.slash", "view-hidden", nullptr},
    {"eye", "view-visible", nullptr},
    {"power", "application-exit", nullptr},
    {"arrow.right.circle", "go-next", nullptr},
    {"arrow.counterclockwise", "view-refresh", nullptr},
    {"rectangle.dashed", "select-rectangular", &Icon::crop},
    {"display", "video-display", nullptr},
    {"text.viewfinder", "edit-find", &Icon::ocr},
    {"ellipsis.circle", "view-more", &Icon::more},
    {"repeat", "media-playlist-repeat", nullptr},
    {"macwindow", "window", nullptr},
    {"timer", "chronometer", nullptr},
    {"photo", "image-x-generic", &Icon::addImage},
    {"doc.on.clipboard", "edit-paste", nullptr},
    {"doc", "document-open", nullptr},
    {"clock", "document-open-recent", nullptr},
    {"pin", "window-pin", &Icon::pin},
    {"xmark", "window-close", nullptr},
    {"folder", "folder-open", nullptr},
    {"square.and.arrow.down.on.square", "document-save-as", nullptr},
    {"square.and.arrow.down", "document-save", nullptr},
    {"doc.on.doc", "edit-copy", &Icon::copy},
    {"square.and.arrow.up", "document-export", &Icon::export_},
    {"paperplane", "document-send", &Icon::share},
    {"printer", "document-print", nullptr},
    {"arrow.uturn.backward", "edit-undo", nullptr},
    {"arrow.uturn.forward", "edit-redo", nullptr},
    {"scissors", "edit-cut", nullptr},
    {"trash", "edit-delete", nullptr},
    {"checkmark.square", "edit-select-all", nullptr},
    {"plus.rectangle.on.rectangle", "insert-image", &Icon::addImage},
    {"square.grid.2x2", "view-grid", &Icon::layoutGrid},
    {"rectangle.split.1x2", "view-split-top-bottom", &Icon::layoutVertical},
    {"rectangle.split.2x1", "view-split-left-right", &Icon::layoutHorizontal},
    {"rotate.left", "object-rotate-left", nullptr},
    {"rotate.right", "object-rotate-right", nullptr},
    {"plus.magnifyingglass", "zoom-in", nullptr},
    {"minus.magnifyingglass", "zoom-out", nullptr},
}};

constexpr int menuIconSize = 16;

QString titleOf(const QAction& action)
{
    const QString text = action.text();
    const qsizetype tab = text.indexOf(u'\t');
    return tab < 0 ? text : text.left(tab);
}

} // namespace

std::optional<std::string_view> symbol(const QString& title)
{
    const QStringView view(title);
    const TitleSymbol* best = nullptr;
    for (const TitleSymbol& row : titles) {
        const QStringView key(row.title.data(), qsizetype(row.title.size()));
        if (view == key)
            return row.symbol;
        if (view.startsWith(key) && (!best || key.size() > qsizetype(best->title.size())))
            best = &row;
    }
    if (!best)
        return std::nullopt;
    return best->symbol;
}

QIcon icon(std::string_view symbol)
{
    for (const SymbolIcon& row : symbols) {
        if (row.symbol != symbol)
            continue;
        QIcon themed = QIcon::fromTheme(QString::fromLatin1(row.themeName));
        if (!themed.isNull())
            return themed;
        return row.drawn ? row.drawn().templateImage(QSize(menuIconSize, menuIconSize)) : QIcon();
    }
    return {};
}

void apply(QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        if (action->icon().isNull())
            if (const std::optional<std::string_view> name = symbol(titleOf(*action)))
                action->setIcon(icon(*name));
        if (QMenu* submenu = action->menu())
            apply(*submenu);
    }
}

} // namespace vorlix::MenuIcons
