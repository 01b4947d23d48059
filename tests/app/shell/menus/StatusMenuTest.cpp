#include "app/shell/menus/StatusMenu.h"

#include "app/shell/menus/MenuCommandTarget.h"
#include "app/support/AppConfig.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"

#include <QAction>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QDateTime now(QDate(2026, 12, 10), QTime(15, 30));

HistoryEntry entryAt(const QDateTime& date, int n)
{
    HistoryEntry entry;
    entry.id = QUuid(n, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    entry.date = date;
    entry.pixelWidth = 200;
    entry.pixelHeight = 100;
    return entry;
}

struct Fixture {
    Fixture()
    {
        menu.sources.recentEntries = [this](int limit) {
            std::vector<HistoryEntry> given(entries.begin(), entries.begin() + std::min<int>(limit, entries.size()));
            return given;
        };
        menu.sources.thumbnail = [](const HistoryEntry& entry, int maxPixelSize) {
            if (entry.pixelWidth == 0)
                return QImage(); // unreadable
            QImage image(maxPixelSize, maxPixelSize / 2, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            return image;
        };
        menu.sources.hasLastArea = [this] { return lastArea; };
        menu.sources.hasPinnedImages = [this] { return pinned; };
        menu.sources.clipboardHasImage = [this] { return clipboardImage; };
        menu.sources.launchesAtLogin = [] { return true; };
        menu.sources.fitsSomeScreen = [](const CaptureSize& size) { return size.width <= 1920; };
        menu.sources.now = [] { return now; };
        menu.sources.addUpdateItem = [](QMenu& m) { m.addAction(u"Aggiornato"_s); };
    }

    // The menu's items as their texts, separators as "-", sections as "[title]".
    static QStringList texts(const QMenu& menu)
    {
        QStringList out;
        for (const QAction* action : menu.actions())
            out << (action->isSeparator() ? (action->text().isEmpty() ? u"-"_s : u"["_s + action->text() + u"]"_s)
                                          : action->text());
        return out;
    }

    static QAction* find(const QMenu& menu, const QString& text)
    {
        for (QAction* action : menu.actions())
            if (action->text().section(u'\t', 0, 0).trimmed() == text)
                return action;
        return nullptr;
    }

    QMenu& more() { return *find(menu.menu(), u"Altro"_s)->menu(); }

    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    StatusMenu menu{settings};
    std::vector<HistoryEntry> entries;
    bool lastArea = false;
    bool pinned = false;
    bool clipboardImage = false;
};

} // namespace

TEST(StatusMenuTest, CapturesShowTheirHotKeysAndTheAltroMenuFollowsTheSettings)
{
    Fixture f;
    f.menu.rebuild();
    const HotkeyConfiguration hotkeys = f.settings.get(setting::hotkeys);
    EXPECT_EQ(Fixture::find(f.menu.menu(), u"Cattura area"_s)->text(), u"Cattura area\tCtrl+Maiusc+2"_s);
    EXPECT_EQ(Fixture::find(f.menu.menu(), u"Cattura schermo intero"_s)->text(),
              u"Cattura schermo intero\t"_s + hotkeys.bindings.at(HotkeyAction::captureFullScreen).displayText());
    EXPECT_EQ(Fixture::find(f.more(), u"Cattura finestra attiva"_s)->text(), u"Cattura finestra attiva"_s);
    EXPECT_NE(Fixture::find(f.more(), u"Cattura ritardata (3 s)"_s), nullptr);
    EXPECT_FALSE(Fixture::find(f.more(), u"Ripeti cattura area"_s)->isEnabled());
    EXPECT_FALSE(Fixture::find(f.more(), u"Carica dagli appunti"_s)->isEnabled());
    EXPECT_TRUE(Fixture::find(f.menu.menu(), u"Avvia al login"_s)->isChecked());
    EXPECT_EQ(Fixture::texts(f.menu.menu()).mid(Fixture::texts(f.menu.menu()).indexOf(u"Avvia al login"_s)),
              (QStringList{u"Avvia al login"_s, u"Impostazioni…\tCtrl+,"_s, u"Informazioni su "_s + AppConfig::name(),
                           u"Aggiornato"_s, u"Esci\tCtrl+Q"_s}));

    f.settings.set(setting::captureDelay, std::int64_t(5));
    f.lastArea = true;
    f.clipboardImage = true;
    emit f.menu.menu().aboutToShow(); // rebuilt on every opening
    EXPECT_NE(Fixture::find(f.more(), u"Cattura ritardata (5 s)"_s), nullptr);
    EXPECT_TRUE(Fixture::find(f.more(), u"Ripeti cattura area"_s)->isEnabled());
    EXPECT_TRUE(Fixture::find(f.more(), u"Carica dagli appunti"_s)->isEnabled());
    EXPECT_EQ(MenuCommandTarget::command(*Fixture::find(f.more(), u"Apri progetto…"_s)),
              AppCommand(AppCommand::Kind::openProject));
}

TEST(StatusMenuTest, RecentShotsOrTheirPlaceholderStandUnderTheHeading)
{
    Fixture f;
    f.menu.rebuild();
    const QStringList empty = Fixture::texts(f.menu.menu());
    EXPECT_FALSE(Fixture::find(f.menu.menu(), u"Riapri l'ultimo scatto"_s)->isEnabled());
    EXPECT_EQ(
        empty.mid(empty.indexOf(u"Ultimi scatti"_s), 4),
        (QStringList{u"Ultimi scatti"_s, u"    Nessuno scatto recente"_s, u"Mostra tutta la cronologia…"_s, u"-"_s}));

    f.settings.set(setting::historyEnabled, false);
    f.entries = {entryAt(now, 1)};
    f.menu.rebuild();
    EXPECT_NE(Fixture::find(f.menu.menu(), u"Cronologia disattivata"_s), nullptr);
    EXPECT_FALSE(Fixture::find(f.menu.menu(), u"Riapri l'ultimo scatto"_s)->isEnabled());

    f.settings.set(setting::historyEnabled, true);
    HistoryEntry unreadable = entryAt(now.addDays(-2), 3);
    unreadable.pixelWidth = 0;
    f.entries = {entryAt(QDateTime(now.date(), QTime(9, 5)), 1), entryAt(now.addDays(-1), 2), unreadable};
    for (int i = 4; i < 10; ++i)
        f.entries.push_back(entryAt(now.addDays(-i), i));
    f.menu.rebuild();
    EXPECT_TRUE(Fixture::find(f.menu.menu(), u"Riapri l'ultimo scatto"_s)->isEnabled());
    const QStringList texts = Fixture::texts(f.menu.menu());
    const qsizetype heading = texts.indexOf(u"Ultimi scatti"_s);
    EXPECT_EQ(texts.mid(heading + 1, 6),
              (QStringList{u"Oggi, 09:05"_s, u"Ieri, 15:30"_s, u"8 dic, 15:30"_s, u"6 dic, 15:30"_s, u"5 dic, 15:30"_s,
                           u"Mostra tutta la cronologia…"_s}));
    QAction* first = f.menu.menu().actions().at(heading + 1);
    EXPECT_FALSE(first->icon().isNull());
    EXPECT_EQ(MenuCommandTarget::command(*first), AppCommand::historyEntry(f.entries[0].id));
    EXPECT_TRUE(f.menu.menu().actions().at(heading + 3)->icon().isNull()); // unreadable thumbnail
}

TEST(StatusMenuTest, FixedSizesAreSplitIntoSectionsAndCheckedAgainstTheScreens)
{
    Fixture f;
    f.settings.set(setting::captureSizes, std::vector<CaptureSize>{{800, 600, false}, {3840, 2160, false}});
    QMenu sizes;
    f.menu.fillFixedSizeMenu(sizes, std::nullopt);
    EXPECT_EQ(Fixture::texts(sizes), (QStringList{u"[Misure preferite]"_s, CaptureSize{800, 600, false}.title(),
                                                  CaptureSize{3840, 2160, false}.title(), u"-"_s, u"Altra misura…"_s}));
    EXPECT_TRUE(sizes.actions().at(1)->isEnabled());
    EXPECT_FALSE(sizes.actions().at(2)->isEnabled()); // larger than every screen, kept

    const CaptureSize ratio{16, 9, true};
    f.settings.set(setting::captureSizes, std::vector<CaptureSize>{ratio});
    f.settings.set(setting::lastCaptureSize, std::optional<CaptureSize>(CaptureSize{640, 480, false}));
    const KeyCombo key{KeyCode::digit5, KeyCombo::Modifiers::command | KeyCombo::Modifiers::shift};
    QMenu withLast;
    f.menu.fillFixedSizeMenu(withLast, key);
    EXPECT_EQ(Fixture::texts(withLast),
              (QStringList{u"[Ultima usata]"_s, CaptureSize{640, 480, false}.title() + u'\t' + key.displayText(),
                           u"-"_s, u"[Solo proporzioni]"_s, ratio.title(), u"-"_s, u"Altra misura…"_s}));
    EXPECT_EQ(MenuCommandTarget::command(*withLast.actions().at(4)), AppCommand::fixedArea(ratio));
}

TEST(StatusMenuTest, PinnedImagesAddTheirSubmenuAndAChosenItemRunsAfterTheMenuCloses)
{
    Fixture f;
    f.menu.rebuild();
    const auto separatorsBeforeLogin = [&] {
        const QStringList texts = Fixture::texts(f.menu.menu());
        const qsizetype history = texts.indexOf(u"Mostra tutta la cronologia…"_s);
        const qsizetype login = texts.indexOf(u"Avvia al login"_s);
        return texts.mid(history + 1, login - history - 1);
    };
    EXPECT_EQ(separatorsBeforeLogin(), QStringList{u"-"_s});
    f.pinned = true;
    f.menu.rebuild();
    EXPECT_EQ(separatorsBeforeLogin(), (QStringList{u"-"_s, u"Leggio"_s, u"-"_s}));

    std::vector<AppCommand> performed;
    MenuCommandTarget::shared().perform = [&](const AppCommand& command) { performed.push_back(command); };
    Fixture::find(f.menu.menu(), u"Cattura area"_s)->trigger();
    EXPECT_TRUE(performed.empty()); // not while the menu is still on screen
    EXPECT_TRUE(test::waitUntil([&] { return !performed.empty(); }));
    EXPECT_EQ(performed, std::vector<AppCommand>{AppCommand::Kind::captureArea});
    MenuCommandTarget::shared().perform = nullptr;
}
