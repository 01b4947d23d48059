// The editor windows' menu bar: its keys through a real window, what it offers without an
// editor, the recent submenus and the About window's build line.

#include "app/shell/menus/MainMenu.h"

#include "app/editor/canvas/CanvasView.h"
#include "app/editor/window/EditorWindow.h"
#include "app/shell/menus/MenuCommandTarget.h"
#include "app/support/AppConfig.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct MainMenuTest : testing::Test {
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    const MainMenu::Hooks saved = MainMenu::hooks();
    int pathsChosen = 0;
    std::optional<QString> chosenPath; // where "save as" puts the project; none: cancelled
    std::unique_ptr<EditorWindow> window;

    MainMenuTest()
    {
        MainMenu::hooks().toolbarShowsLabels = [this] { return settings.get(setting::toolbarShowsLabels); };
        MainMenu::hooks().addUpdateItem = [](QMenu& menu) { menu.addAction(u"Aggiornato"_s); };
    }
    ~MainMenuTest() override { MainMenu::hooks() = saved; }

    static QImage picture(QColor colour)
    {
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    EditorWindow& openEditor()
    {
        auto document = std::make_unique<ProjectDocument>(settings);
        EXPECT_TRUE(document->addImage(pngOf(picture(Qt::darkCyan)), u"png"_s, 1.0, u"Aggiungi immagine"_s));
        window = std::make_unique<EditorWindow>(std::move(document), settings, [this](ProjectDocument&, auto done) {
            ++pathsChosen;
            done(chosenPath);
        });
        window->setMenuBar(MainMenu::build(*window, window.get()));
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    static std::vector<QAction*> items(const QMenuBar& bar)
    {
        std::vector<QAction*> all;
        for (QMenu* menu : bar.findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && !action->menu())
                    all.push_back(action);
        return all;
    }

    static QAction* item(const QMenuBar& bar, const QString& title)
    {
        for (QAction* action : items(bar))
            if (action->text().section(u'\t', 0, 0) == title)
                return action;
        return nullptr;
    }

    static void press(QWidget& window, const QKeySequence& key)
    {
        QTest::keyClick(&window, key[0].key(), key[0].keyboardModifiers());
        QCoreApplication::processEvents();
    }
};

TEST_F(MainMenuTest, EveryKeyIsTheWindowsOnlyOneAndReachesItsItem)
{
    EditorWindow& editor = openEditor();
    const QMenuBar& bar = *editor.menuBar();

    std::set<QString> keys;
    std::vector<QAction*> keyed;
    for (QAction* action : items(bar)) {
        if (action->shortcut().isEmpty())
            continue;
        EXPECT_TRUE(keys.insert(action->shortcut().toString()).second) << action->shortcut().toString().toStdString();
        keyed.push_back(action);
    }
    EXPECT_EQ(keyed.size(), 28u);
    // The window's own keys give way to the bar's, else Qt would fire neither.
    for (const QAction* own : editor.actions())
        for (const QKeySequence& key : own->shortcuts())
            EXPECT_FALSE(keys.contains(key.toString())) << key.toString().toStdString();

    // Each key, pressed in the window, triggers its item and nothing else.
    QStringList fired;
    for (QAction* action : keyed) {
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, [&fired, action] { fired << action->text(); });
    }
    for (QAction* action : keyed) {
        fired.clear();
        press(editor, action->shortcut());
        EXPECT_EQ(fired, QStringList{action->text()});
    }
    EXPECT_EQ(item(bar, u"Salva progetto con nome…"_s)->text(), u"Salva progetto con nome…\tCtrl+Maiusc+S"_s);
    EXPECT_EQ(item(bar, u"Aggiungi nuovo scatto…"_s)->text(), u"Aggiungi nuovo scatto…\tCtrl+Alt+2"_s);
    EXPECT_EQ(item(bar, u"Mostra i righelli"_s)->text(), u"Mostra i righelli\tCtrl+Super+R"_s);
}

TEST_F(MainMenuTest, KeysActOnTheEditorOrThroughTheHooks)
{
    EditorWindow& editor = openEditor();
    int opened = 0;
    int quits = 0;
    MainMenu::hooks().openFile = [&] { ++opened; };
    MainMenu::hooks().quit = [&] { ++quits; };

    editor.document().editor().perform(u"Cambia ombra"_s, [](DocumentModel& m) { m.panelShadow = !m.panelShadow; });
    const bool edited = editor.document().model().panelShadow;
    press(editor, QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_NE(editor.document().model().panelShadow, edited);
    press(editor, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(editor.document().model().panelShadow, edited);

    editor.setZoom(2);
    press(editor, QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_DOUBLE_EQ(editor.canvas().magnification(), 1.0);
    press(editor, QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_GT(editor.canvas().magnification(), 1.0);

    press(editor, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_EQ(pathsChosen, 1);
    press(editor, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R));
    EXPECT_EQ(editor.document().undoManager().undoActionName(), u"Ruota a destra"_s);
    const bool rulers = settings.get(setting::showRulers);
    press(editor, QKeySequence(Qt::CTRL | Qt::META | Qt::Key_R));
    EXPECT_NE(settings.get(setting::showRulers), rulers);
    press(editor, QKeySequence(Qt::CTRL | Qt::Key_O));
    press(editor, QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(quits, 1);

    // The tool items choose their tool; spacing items carry their points.
    item(*editor.menuBar(), u"Freccia"_s)->trigger();
    EXPECT_EQ(editor.canvas().tool(), Tool::arrow);
    item(*editor.menuBar(), u"48 punti"_s)->trigger();
    EXPECT_EQ(editor.document().model().layout.spacing, 48);
    for (QMenu* menu : editor.menuBar()->findChildren<QMenu*>())
        emit menu->aboutToShow();
    EXPECT_TRUE(item(*editor.menuBar(), u"48 punti"_s)->isChecked());
}

TEST_F(MainMenuTest, WithoutAnEditorOnlyTheApplicationsItemsAreOffered)
{
    MainMenu::hooks().recentEntries = [](int) { return std::vector<HistoryEntry>(); };
    MainMenu::hooks().recentProjects = [] { return QStringList(); };
    QMainWindow plain;
    QMenuBar* bar = MainMenu::build(plain, nullptr);
    plain.setMenuBar(bar);
    for (QMenu* menu : bar->findChildren<QMenu*>())
        emit menu->aboutToShow();

    const QStringList offered{u"Informazioni su "_s + AppConfig::name(),
                              u"Aggiornato"_s,
                              u"Impostazioni…"_s,
                              u"Nascondi "_s + AppConfig::name(),
                              u"Esci da "_s + AppConfig::name(),
                              u"Cattura area"_s,
                              u"Cattura schermo intero"_s,
                              u"Apri…"_s,
                              u"Chiudi"_s,
                              u"Cancella menu"_s, // enabled only with recent projects
                              u"Mostra i nomi sotto le icone"_s,
                              u"Contrai"_s,
                              u"Ridimensiona"_s,
                              u"Porta tutto in primo piano"_s};
    int disabled = 0;
    for (const QAction* action : items(*bar)) {
        const QString title = action->text().section(u'\t', 0, 0);
        if (title == u"Cancella menu"_s)
            continue;
        SCOPED_TRACE(title.toStdString());
        EXPECT_EQ(action->isEnabled(), offered.contains(title));
        disabled += !action->isEnabled();
    }
    EXPECT_GT(disabled, 50);

    // The application menu in its order; titles find their icons, tools keep their own.
    QStringList applicationMenu;
    for (const QAction* action : bar->actions().first()->menu()->actions())
        applicationMenu << (action->isSeparator() ? u"-"_s : action->text().section(u'\t', 0, 0));
    EXPECT_EQ(applicationMenu,
              (QStringList{offered[0], offered[1], u"-"_s, offered[2], u"-"_s, offered[3], u"-"_s, offered[4]}));
    EXPECT_FALSE(item(*bar, u"Cattura area"_s)->icon().isNull());
    EXPECT_FALSE(item(*bar, u"Copia immagine"_s)->icon().isNull());
    EXPECT_EQ(item(*bar, u"Freccia"_s)->text(), u"Freccia\tA"_s);

    // The labels item is checked as the setting says, and flips it through its command.
    QAction* labels = item(*bar, u"Mostra i nomi sotto le icone"_s);
    EXPECT_TRUE(labels->isChecked());
    settings.set(setting::toolbarShowsLabels, false);
    for (QMenu* menu : bar->findChildren<QMenu*>())
        emit menu->aboutToShow();
    EXPECT_FALSE(labels->isChecked());
    EXPECT_EQ(MenuCommandTarget::command(*labels), AppCommand(AppCommand::Kind::toggleToolbarLabels));
    EXPECT_FALSE(item(*bar, u"Freccia"_s)->icon().isNull());
}

TEST_F(MainMenuTest, RecentProjectsOpenWhatTheyName)
{
    QStringList projects;
    QStringList opened;
    int cleared = 0;
    MainMenu::hooks().recentProjects = [&] { return projects; };
    MainMenu::hooks().openProject = [&](const QString& path) { opened << path; };
    MainMenu::hooks().clearRecentProjects = [&] { ++cleared; };
    QMenu menu;

    MainMenu::fillRecentProjects(menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), u"Cancella menu"_s);
    EXPECT_FALSE(menu.actions()[0]->isEnabled());

    projects = {u"/progetti/Guida.vorlix"_s, u"/progetti/bozza.v2.vorlix"_s};
    MainMenu::fillRecentProjects(menu);
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles << (action->isSeparator() ? u"-"_s : action->text());
    EXPECT_EQ(titles, (QStringList{u"Guida"_s, u"bozza.v2"_s, u"-"_s, u"Cancella menu"_s}));
    menu.actions()[1]->trigger();
    EXPECT_TRUE(waitUntil([&] { return !opened.isEmpty(); }));
    EXPECT_EQ(opened, QStringList{projects[1]});
    menu.actions()[3]->trigger();
    EXPECT_EQ(cleared, 1);
}

TEST_F(MainMenuTest, AProjectSavedUnderANameBecomesTheNewestRecentOne)
{
    QTemporaryDir folder;
    EditorWindow& editor = openEditor();
    MainMenu::noteRecentProject(u"/progetti/vecchio.vorlix"_s);
    chosenPath = folder.filePath(u"Nuovo.vorlix"_s);
    press(editor, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    ASSERT_TRUE(waitUntil([&] { return editor.document().filePath() == chosenPath; }));
    EXPECT_EQ(saved.recentProjects(), (QStringList{*chosenPath, u"/progetti/vecchio.vorlix"_s}));
    saved.clearRecentProjects();
    EXPECT_TRUE(saved.recentProjects().isEmpty());
}

TEST_F(MainMenuTest, RecentShotsAreTheNewestTwelveAndAddTheirFile)
{
    EditorWindow& editor = openEditor();
    QTemporaryDir folder;
    std::vector<HistoryEntry> history;
    for (int i = 0; i < 30; ++i) {
        HistoryEntry entry;
        entry.id = QUuid::createUuid();
        entry.date = QDateTime(QDate(2026, 12, 9), QTime(14, 5).addSecs(-60 * i), Qt::UTC);
        entry.fileURL = folder.filePath(u"shot%1.png"_s.arg(i));
        QFile file(*entry.fileURL);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(pngOf(picture(Qt::darkRed)));
        history.push_back(entry);
    }
    int asked = 0;
    MainMenu::hooks().recentEntries = [&](int limit) {
        asked = limit;
        return std::vector<HistoryEntry>(history.begin(), history.begin() + std::min<int>(limit, history.size()));
    };
    MainMenu::hooks().thumbnail = [](const HistoryEntry&, int size) { return picture(Qt::red).scaled(size, size / 2); };
    QMenu menu;

    MainMenu::fillRecentShots(menu, &editor);
    EXPECT_EQ(asked, 12);
    ASSERT_EQ(menu.actions().size(), 12);
    EXPECT_EQ(menu.actions()[0]->text(), u"9 dic, 14:05"_s);
    EXPECT_EQ(menu.actions()[1]->text(), u"9 dic, 14:04"_s);
    EXPECT_FALSE(menu.actions()[0]->icon().isNull());

    const std::size_t panels = editor.document().model().panels.size();
    menu.actions()[2]->trigger();
    EXPECT_EQ(editor.document().model().panels.size(), panels + 1);

    history.clear();
    MainMenu::fillRecentShots(menu, &editor);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), u"Nessuno scatto"_s);
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
}

TEST(MainMenuAboutTest, TheBuildLineNamesTheDateOnlyWhenThereIsOne)
{
    const QLocale italian(u"it_IT"_s);
    EXPECT_EQ(MainMenu::buildLine(u"42"_s, QDateTime(QDate(2026, 12, 9), QTime(14, 5), Qt::UTC), italian),
              u"build 42 - 09/12/2026 ore 14:05"_s);
    EXPECT_EQ(MainMenu::buildLine(u"42"_s, std::nullopt, italian), u"build 42"_s);
}

} // namespace
