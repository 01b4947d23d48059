#include "app/shell/menus/MainMenu.h"

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/window/EditorCommands.h"
#include "app/editor/window/EditorWindow.h"
#include "app/shell/commands/CommandCenter.h"
#include "app/shell/menus/MenuCommandTarget.h"
#include "app/shell/menus/MenuIcons.h"
#include "app/shell/update/UpdateChecker.h"
#include "app/support/AppConfig.h"
#include "app/support/Icon.h"
#include "app/support/Settings.h"
#include "app/support/Termination.h"
#include "core/model/Tool.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <variant>

using namespace Qt::StringLiterals;

namespace vorlix::MainMenu {

namespace {

QStringList storedRecentProjects() { return Settings::shared().get(setting::recentProjects); }

Hooks defaultHooks()
{
    Hooks h;
    h.recentProjects = storedRecentProjects;
    h.clearRecentProjects = [] { Settings::shared().set(setting::recentProjects, {}); };
    h.openProject = [](const QString& path) {
        // The command centre's window opener is where every document goes.
        auto opened = ProjectDocument::open(path, Settings::shared());
        if (auto* document = std::get_if<std::unique_ptr<ProjectDocument>>(&opened)) {
            noteRecentProject(path);
            CommandCenter::shared().hooks.openDocument(std::move(*document));
        } else {
            QMessageBox::warning(nullptr, QString(), std::get<QString>(opened));
        }
    };
    h.recentEntries = [](int limit) { return CommandCenter::shared().history().recentEntries(limit); };
    h.thumbnail = [](const HistoryEntry& entry, int maxPixelSize) {
        return CommandCenter::shared().history().thumbnail(entry, maxPixelSize);
    };
    h.addRecentShot = [](EditorWindow& editor, const QString& path) {
        editor.commands().trigger(u"addRecentShot"_s, CommandItem{.tag = 0, .object = path});
    };
    h.openFile = [] { MenuCommandTarget::shared().perform(AppCommand::Kind::openProject); };
    h.showAbout = [] { MainMenu::showAbout(); };
    h.addUpdateItem = [](QMenu& menu) { UpdateChecker::shared().menuItem(menu); };
    h.toolbarShowsLabels = [] { return Settings::shared().get(setting::toolbarShowsLabels); };
    // Editors ask about unsaved documents as they close; one kept open keeps us running.
    h.quit = [] { Termination::request(); };
    return h;
}

// Builds one window's bar. Items acting on the editor are registered with their
// enabling rule, applied again whenever a menu opens.
class Builder {
public:
    Builder(QMainWindow& window, EditorWindow* editor) : m_window(window), m_editor(editor)
    {
        m_bar = new QMenuBar(&window);
    }

    QMenuBar* build();

private:
    QMenu* menu(const QString& title)
    {
        auto* menu = m_bar->addMenu(title);
        menu->setObjectName(title);
        return menu;
    }
    QAction* add(QMenu* menu, const QString& title, const QKeySequence& key, std::function<void()> run,
                 std::function<bool()> enabled = {})
    {
        auto* action = new QAction(key.isEmpty() ? title : title + u'\t' + shortcutText(key), menu);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, menu, [run = std::move(run)] { run(); });
        menu->addAction(action);
        if (enabled)
            m_rules.emplace_back(action, std::move(enabled));
        return action;
    }
    // An item acting on the editor; disabled without one.
    QAction* onEditor(QMenu* menu, const QString& title, const QKeySequence& key,
                      std::function<void(EditorWindow&)> run, std::function<bool(EditorWindow&)> enabled = {})
    {
        QPointer<EditorWindow> editor = m_editor;
        return add(
            menu, title, key,
            [editor, run = std::move(run)] {
                if (editor)
                    run(*editor);
            },
            [editor, enabled = std::move(enabled)] { return editor && (!enabled || enabled(*editor)); });
    }
    // An item running one of the editor's commands, enabled and ticked as the command says.
    QAction* command(QMenu* menu, const QString& title, const QKeySequence& key, const QString& name, int argument = 0)
    {
        const CommandItem item{.tag = argument, .object = {}};
        QAction* action =
            onEditor(menu, title, key, [name, item](EditorWindow& editor) { editor.commands().trigger(name, item); });
        QPointer<EditorWindow> editor = m_editor;
        QPointer<QAction> shown = action;
        m_rules.emplace_back(action, [editor, shown, name, item] {
            if (!editor)
                return false;
            const MenuItemState state = editor->commands().validate(name, item);
            if (shown && state.checked) {
                shown->setCheckable(true);
                shown->setChecked(*state.checked);
            }
            return state.enabled;
        });
        return action;
    }
    QAction* edit(QMenu* menu, const QString& title, const QKeySequence& key, CanvasView::EditAction action,
                  void (CanvasView::*run)())
    {
        return onEditor(
            menu, title, key, [run](EditorWindow& editor) { (editor.canvas().*run)(); },
            [action](EditorWindow& editor) { return editor.canvas().validateMenuItem(action); });
    }

    void applicationMenu();
    void fileMenu();
    void editMenu();
    void toolsMenu();
    void imageMenu();
    void viewMenu();
    void windowMenu();

    QMainWindow& m_window;
    EditorWindow* m_editor;
    QMenuBar* m_bar = nullptr;
    std::vector<std::pair<QAction*, std::function<bool()>>> m_rules;
};

QMenuBar* Builder::build()
{
    applicationMenu();
    fileMenu();
    editMenu();
    toolsMenu();
    imageMenu();
    viewMenu();
    windowMenu();
    for (QMenu* menu : m_bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        MenuIcons::apply(*menu);

    // Shortcuts of disabled actions do not fire, so the rules run before each key and
    // before each menu opens rather than once.
    auto rules = std::make_shared<std::vector<std::pair<QPointer<QAction>, std::function<bool()>>>>();
    for (auto& [action, rule] : m_rules)
        rules->emplace_back(action, std::move(rule));
    const auto validate = [rules] {
        for (auto& [action, rule] : *rules)
            if (action)
                action->setEnabled(rule());
    };
    validate();
    for (QMenu* menu : m_bar->findChildren<QMenu*>())
        QObject::connect(menu, &QMenu::aboutToShow, menu, validate);
    // Between openings an item keeps its shortcut live whenever an editor is there;
    // the action itself checks again.
    const auto relax = [rules, editor = QPointer<EditorWindow>(m_editor)] {
        for (auto& [action, rule] : *rules)
            if (action && editor && !action->menu())
                action->setEnabled(true);
    };
    for (QMenu* menu : m_bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        QObject::connect(menu, &QMenu::aboutToHide, menu, relax);
    relax();

    // A project saved under a name joins the recent ones, as an opened one does.
    if (m_editor) {
        ProjectDocument* document = &m_editor->document();
        QObject::connect(document, &ProjectDocument::filePathChanged, m_bar, [document] {
            if (document->filePath())
                noteRecentProject(*document->filePath());
        });
    }

    // The window's own keys that the bar now carries would make both ambiguous.
    QList<QKeySequence> carried;
    for (QAction* action : m_bar->findChildren<QAction*>())
        if (!action->shortcut().isEmpty())
            carried << action->shortcut();
    for (QAction* action : m_window.actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        keys.removeIf([&](const QKeySequence& key) { return carried.contains(key); });
        action->setShortcuts(keys);
    }
    return m_bar;
}

void Builder::applicationMenu()
{
    const QString name = AppConfig::name();
    QMenu* m = menu(name);
    add(m, u"Informazioni su "_s + name, {}, [] { hooks().showAbout(); });
    if (hooks().addUpdateItem)
        hooks().addUpdateItem(*m);
    m->addSeparator();
    QAction* settings = MenuCommandTarget::item(u"Impostazioni…"_s, AppCommand::Kind::openSettings, std::nullopt, m);
    settings->setText(settings->text() + u'\t' + shortcutText(QKeySequence(Qt::CTRL | Qt::Key_Comma)));
    settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m->addAction(settings);
    m->addSeparator();
    add(m, u"Nascondi "_s + name, QKeySequence(Qt::CTRL | Qt::Key_H), [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->isWindow() && qobject_cast<QMainWindow*>(w))
                w->showMinimized();
    });
    m->addSeparator();
    add(m, u"Esci da "_s + name, QKeySequence(Qt::CTRL | Qt::Key_Q), [] { hooks().quit(); });
}

void Builder::fileMenu()
{
    QMenu* m = menu(u"File"_s);
    m->addAction(MenuCommandTarget::item(u"Cattura area"_s, AppCommand::Kind::captureArea, std::nullopt, m));
    m->addAction(
        MenuCommandTarget::item(u"Cattura schermo intero"_s, AppCommand::Kind::captureFullScreen, std::nullopt, m));
    m->addSeparator();
    add(m, u"Apri…"_s, QKeySequence(Qt::CTRL | Qt::Key_O), [] { hooks().openFile(); });
    QMenu* recent = m->addMenu(u"Apri recenti"_s);
    QObject::connect(recent, &QMenu::aboutToShow, recent, [recent] { fillRecentProjects(*recent); });
    fillRecentProjects(*recent);
    m->addSeparator();
    QPointer<QMainWindow> window = &m_window;
    add(m, u"Chiudi"_s, QKeySequence(Qt::CTRL | Qt::Key_W), [window] {
        if (window)
            window->close();
    });
    onEditor(m, u"Salva progetto…"_s, QKeySequence(Qt::CTRL | Qt::Key_S),
             [](EditorWindow& e) { e.saveDocument(false); });
    onEditor(m, u"Salva progetto con nome…"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
             [](EditorWindow& e) { e.saveDocument(true); });
    m->addSeparator();
    onEditor(m, u"Copia immagine"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
             [](EditorWindow& e) { e.document().copyImageToPasteboard(&e); });
    command(m, u"Esporta immagine…"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), u"exportImage"_s);
    command(m, u"Condividi…"_s, {}, u"shareImage"_s);
    m->addSeparator();
    onEditor(m, u"Formato di stampa…"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
             [](EditorWindow& e) { e.document().showPageLayoutDialog(&e); });
    onEditor(m, u"Stampa…"_s, QKeySequence(Qt::CTRL | Qt::Key_P),
             [](EditorWindow& e) { e.document().showPrintDialog(&e); });
}

void Builder::editMenu()
{
    QMenu* m = menu(u"Modifica"_s);
    onEditor(m, u"Annulla"_s, QKeySequence(Qt::CTRL | Qt::Key_Z), [](EditorWindow& e) { e.undo(); });
    onEditor(m, u"Ripeti"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [](EditorWindow& e) { e.redo(); });
    m->addSeparator();
    using A = CanvasView::EditAction;
    edit(m, u"Taglia"_s, QKeySequence(Qt::CTRL | Qt::Key_X), A::cut, &CanvasView::cut);
    edit(m, u"Copia"_s, QKeySequence(Qt::CTRL | Qt::Key_C), A::copy, &CanvasView::copy);
    edit(m, u"Incolla"_s, QKeySequence(Qt::CTRL | Qt::Key_V), A::paste, &CanvasView::paste);
    edit(m, u"Elimina"_s, {}, A::deleteSelection, &CanvasView::deleteSelection);
    edit(m, u"Seleziona tutto"_s, QKeySequence(Qt::CTRL | Qt::Key_A), A::selectAll, &CanvasView::selectAll);
}

void Builder::toolsMenu()
{
    QMenu* m = menu(u"Strumenti"_s);
    for (std::size_t i = 0; i < toolCount; ++i) {
        const auto tool = static_cast<Tool>(i);
        QAction* action = onEditor(m, title(tool) + u'\t' + QChar::fromLatin1(key(tool)).toUpper(), {},
                                   [tool](EditorWindow& e) { e.canvas().setTool(tool); });
        action->setData(rawValue(tool));
        action->setIcon(Icon::forTool(tool).templateImage(QSize(16, 16)));
    }
}

void Builder::imageMenu()
{
    QMenu* m = menu(u"Immagine"_s);
    command(m, u"Aggiungi immagine…"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), u"addImageFromFile"_s);
    QMenu* shots = m->addMenu(u"Aggiungi scatto recente"_s);
    QPointer<EditorWindow> editor = m_editor;
    QObject::connect(shots, &QMenu::aboutToShow, shots, [shots, editor] { fillRecentShots(*shots, editor); });
    shots->menuAction()->setEnabled(m_editor != nullptr);
    onEditor(m, u"Aggiungi nuovo scatto…"_s, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_2),
             [](EditorWindow& e) { CommandCenter::shared().captureArea(e.document()); });
    m->addSeparator();
    QMenu* layout = m->addMenu(u"Disposizione"_s);
    const QString layouts[] = {u"Verticale"_s, u"Orizzontale"_s, u"Griglia"_s};
    for (int tag = 0; tag < 3; ++tag)
        command(layout, layouts[tag], {}, u"setLayoutMode"_s, tag);
    QMenu* spacing = m->addMenu(u"Distanza tra i pannelli"_s);
    for (int points : {0, 12, 24, 48, 72})
        command(spacing, QString::number(points) + u" punti"_s, {}, u"setSpacing"_s, points);
    command(m, u"Riordina automaticamente"_s, {}, u"arrangePanels"_s);
    command(m, u"Numera i passaggi"_s, {}, u"numberPanels"_s);
    command(m, u"Togli la numerazione"_s, {}, u"removePanelNumbers"_s);
    m->addSeparator();
    command(m, u"Ruota a sinistra"_s, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_L), u"rotateLeft"_s);
    command(m, u"Ruota a destra"_s, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R), u"rotateRight"_s);
    command(m, u"Capovolgi in orizzontale"_s, {}, u"flipHorizontally"_s);
    command(m, u"Capovolgi in verticale"_s, {}, u"flipVertically"_s);
    m->addSeparator();
    onEditor(m, u"Sfondo e cornice…"_s, {}, [](EditorWindow& e) { e.canvas().showDocumentSettings(); });
    command(m, u"Esporta come guida…"_s, {}, u"exportGuide"_s);
    command(m, u"Metti sul leggio"_s, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P), u"pinImage"_s);
}

void Builder::viewMenu()
{
    QMenu* m = menu(u"Vista"_s);
    onEditor(m, u"Ingrandisci"_s, QKeySequence(Qt::CTRL | Qt::Key_Plus), [](EditorWindow& e) { e.zoomIn(); });
    onEditor(m, u"Riduci"_s, QKeySequence(Qt::CTRL | Qt::Key_Minus), [](EditorWindow& e) { e.zoomOut(); });
    onEditor(m, u"Dimensioni reali"_s, QKeySequence(Qt::CTRL | Qt::Key_0), [](EditorWindow& e) { e.zoomActualSize(); });
    onEditor(m, u"Adatta alla finestra"_s, QKeySequence(Qt::CTRL | Qt::Key_9), [](EditorWindow& e) { e.zoomToFit(); });
    m->addSeparator();
    QAction* labels = MenuCommandTarget::item(u"Mostra i nomi sotto le icone"_s, AppCommand::Kind::toggleToolbarLabels,
                                              std::nullopt, m);
    labels->setCheckable(true);
    m->addAction(labels);
    QObject::connect(m, &QMenu::aboutToShow, labels, [labels] { labels->setChecked(hooks().toolbarShowsLabels()); });
    command(m, u"Mostra i righelli"_s, QKeySequence(Qt::CTRL | Qt::META | Qt::Key_R), u"toggleRulers"_s);
}

void Builder::windowMenu()
{
    QMenu* m = menu(u"Finestra"_s);
    QPointer<QMainWindow> window = &m_window;
    add(m, u"Contrai"_s, QKeySequence(Qt::CTRL | Qt::Key_M), [window] {
        if (window)
            window->showMinimized();
    });
    add(m, u"Ridimensiona"_s, {}, [window] {
        if (window)
            window->isMaximized() ? window->showNormal() : window->showMaximized();
    });
    m->addSeparator();
    add(m, u"Porta tutto in primo piano"_s, {}, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && qobject_cast<QMainWindow*>(w))
                w->raise();
    });
    // Our open windows, listed afresh each time the menu opens.
    auto* listed = new QActionGroup(m);
    QObject::connect(m, &QMenu::aboutToShow, m, [m, listed, window] {
        for (QAction* action : listed->actions())
            delete action;
        QAction* separator = m->addSeparator();
        listed->addAction(separator);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !qobject_cast<QMainWindow*>(w))
                continue;
            QString title = w->windowTitle();
            title.replace(u"[*]"_s, QString());
            QAction* action = m->addAction(title);
            action->setCheckable(true);
            action->setChecked(w == window.data());
            QPointer<QWidget> target = w;
            QObject::connect(action, &QAction::triggered, action, [target] {
                if (target) {
                    target->showNormal();
                    target->raise();
                    target->activateWindow();
                }
            });
            listed->addAction(action);
        }
    });
}

} // namespace

Hooks& hooks()
{
    static Hooks installed = defaultHooks();
    return installed;
}

QMenuBar* build(QMainWindow& window, EditorWindow* editor) { return Builder(window, editor).build(); }

QString shortcutText(const QKeySequence& key)
{
    if (key.isEmpty())
        return {};
    const QKeyCombination combination = key[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QStringList parts;
    if (modifiers & Qt::ControlModifier)
        parts << u"Ctrl"_s;
    if (modifiers & Qt::AltModifier)
        parts << u"Alt"_s;
    if (modifiers & Qt::MetaModifier)
        parts << u"Super"_s;
    if (modifiers & Qt::ShiftModifier)
        parts << u"Maiusc"_s;
    parts << QKeySequence(combination.key()).toString(QKeySequence::PortableText);
    return parts.join(u'+');
}

void fillRecentProjects(QMenu& menu)
{
    menu.clear();
    const QStringList paths = hooks().recentProjects ? hooks().recentProjects() : QStringList();
    for (const QString& path : paths) {
        QAction* action = menu.addAction(QFileInfo(path).completeBaseName());
        action->setData(path);
        QObject::connect(action, &QAction::triggered, &menu, [path] {
            // After the menu has closed: opening may show an alert.
            QTimer::singleShot(0, qApp, [path] { hooks().openProject(path); });
        });
    }
    if (!paths.isEmpty())
        menu.addSeparator();
    QAction* clear = menu.addAction(u"Cancella menu"_s);
    clear->setEnabled(!paths.isEmpty());
    QObject::connect(clear, &QAction::triggered, &menu, [] {
        if (hooks().clearRecentProjects)
            hooks().clearRecentProjects();
    });
}

void fillRecentShots(QMenu& menu, EditorWindow* editor)
{
    QPointer<EditorWindow> target = editor;
    fillRecentShots(menu, editor ? std::function<void(const QString&)>([target](const QString& path) {
                        if (target && hooks().addRecentShot)
                            hooks().addRecentShot(*target, path);
                    })
                                 : std::function<void(const QString&)>());
}

void fillRecentShots(QMenu& menu, std::function<void(const QString& path)> addShot)
{
    menu.clear();
    const std::vector<HistoryEntry> entries =
        hooks().recentEntries ? hooks().recentEntries(recentShotCount) : std::vector<HistoryEntry>();
    if (entries.empty()) {
        menu.addAction(u"Nessuno scatto"_s)->setEnabled(false);
        return;
    }
    const QLocale italian(u"it_IT"_s);
    for (const HistoryEntry& entry : entries) {
        QAction* action = menu.addAction(italian.toString(entry.date.toLocalTime(), u"d MMM, HH:mm"_s));
        const QString path = entry.fileURL ? *entry.fileURL : QString();
        action->setData(path);
        action->setEnabled(addShot && !path.isEmpty());
        QObject::connect(action, &QAction::triggered, &menu, [addShot, path] {
            if (addShot)
                addShot(path);
        });
        if (hooks().thumbnail) {
            const QImage thumbnail = hooks().thumbnail(entry, 96);
            if (!thumbnail.isNull()) {
                const double scale = std::min(40.0 / thumbnail.width(), 26.0 / thumbnail.height());
                action->setIcon(QPixmap::fromImage(
                    thumbnail.scaled(QSize(qRound(thumbnail.width() * scale), qRound(thumbnail.height() * scale)),
                                     Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            }
        }
    }
}

void noteRecentProject(const QString& path)
{
    QStringList paths = storedRecentProjects();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > recentProjectLimit)
        paths.removeLast();
    Settings::shared().set(setting::recentProjects, paths);
}

QString buildLine(const QString& buildNumber, const std::optional<QDateTime>& date, const QLocale& locale)
{
    QString line = u"build "_s + buildNumber;
    if (date) {
        const QDateTime local = date->toLocalTime();
        line += u" - "_s + locale.toString(local.date(), u"dd/MM/yyyy"_s) + u" ore "_s +
                locale.toString(local.time(), QLocale::ShortFormat);
    }
    return line;
}

void showAbout()
{
    const QString name = AppConfig::name();
    const QUrl page = AppConfig::updatePageURL();
    const QString text =
        u"<p><b>%1</b> %2</p><p>cattura, annota e combina screenshot</p><p>%3</p>"
        u"<p><a href=\"%4\">%5</a></p>"_s.arg(
            name.toHtmlEscaped(), AppConfig::version().toHtmlEscaped(),
            buildLine(AppConfig::buildNumber(), AppConfig::buildDate(), QLocale()).toHtmlEscaped(),
            page.toString(QUrl::FullyEncoded).toHtmlEscaped(), (page.host() + page.path()).toHtmlEscaped());
    QMessageBox::about(nullptr, u"Informazioni su "_s + name, text);
}

} // namespace vorlix::MainMenu
