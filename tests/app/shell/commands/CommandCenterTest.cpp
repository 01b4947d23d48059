// The command centre over a fake screen source, a scripted overlay and private settings
// and history folders: what each capture leaves behind (history files, documents, the
// preview and the clipboard), failures in alerts, the fixed-size form, history upkeep,
// URL commands and hot keys.

#include "app/shell/commands/CommandCenter.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/AppConfig.h"
#include "app/support/Beeper.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/FakeHotkeyGrabber.h"
#include "platform/FakeScreenSource.h"
#include "platform/HotkeyCenter.h"
#include "support/EventLoopWaits.h"
#include "support/HeifFixtures.h"
#include "support/ImageFixtures.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace std::chrono_literals;
using K = AppCommand::Kind;

namespace {

class ScriptedOverlay final : public SelectionOverlay {
public:
    explicit ScriptedOverlay(std::optional<SelectionResult> result) : m_result(std::move(result)) {}
    QCoro::Task<std::optional<SelectionResult>> run() override { co_return std::optional<SelectionResult>(m_result); }
    void close() override {}

private:
    std::optional<SelectionResult> m_result;
};

const ScreenInfo screen{.id = 1, .name = "main", .geometry = QRect(0, 0, 100, 50), .devicePixelRatio = 1};

WindowInfo window(std::uint32_t id)
{
    return WindowInfo{.id = id,
                      .title = "finestra " + QString::number(id),
                      .frame = QRect(10, 10, 30, 20),
                      .pid = 100 + id,
                      .ours = false,
                      .ownerName = "Programma"};
}

HistoryEntry legacyEntry(const QDateTime& date)
{
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = date;
    return entry;
}

struct Shown {
    CapturedShot shot;
    QDateTime date;
};

class CommandCenterTest : public testing::Test {
protected:
    CommandCenterTest()
    {
        QImage picture(100, 50, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        source.addScreen(screen, picture);
        source.addWindow(window(11), cornerImage(30, 20));
        source.addWindow(window(12), cornerImage(30, 20));

        EXPECT_TRUE(center.setHistoryFolder(historyDir.path()));
        center.onHistoryChange = [this] { ++historyChanges; };
        center.hooks.captureService = [this]() -> CaptureService& { return service; };
        center.hooks.showAlert = [this](const CommandAlert& alert, std::function<void(int)> done) {
            alerts.push_back(alert);
            completions.push_back(std::move(done));
        };
        center.hooks.openDocument = [this](std::unique_ptr<ProjectDocument> document) {
            documents.push_back(std::move(document));
        };
        center.hooks.showQuickPreview = [this](const CapturedShot& shot, const QDateTime& date) {
            previews.push_back({shot, date});
        };
        center.hooks.fitsSomeScreen = [](const CaptureSize& size) { return size.fits(100, 50); };
        center.hooks.askFixedSize = [this](const CaptureSize& size,
                                           std::function<void(const CaptureSize&, bool)> done) {
            formSizes.push_back(size);
            formCompletion = std::move(done);
        };
        center.hooks.openSettings = [this] { ++settingsOpened; };
        historyChanges = 0;
    }

    void answer(std::optional<SelectionResult> result) { overlayResult = std::move(result); }
    static SelectionResult area() { return AreaChosen{Selection{screen, Rect(10, 5, 40, 20), {}}}; }

    // Lets the capture tasks run to their end.
    void settle() { processEventsFor(50ms); }

    std::vector<HistoryEntry> historyEntries() { return center.history().entries(); }

    QTemporaryDir historyDir;
    FakeScreenSource source;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    std::optional<SelectionResult> overlayResult;
    CaptureService service{source, settings,
                           [this](SelectionOverlaySetup) { return std::make_unique<ScriptedOverlay>(overlayResult); },
                           [] { return QPoint(5, 5); }, CaptureSession::x11()};
    CommandCenter center{settings};

    int historyChanges = 0;
    int beeps = 0;
    Beeper::Override beeper{[this] { ++beeps; }};
    int settingsOpened = 0;
    std::vector<CommandAlert> alerts;
    std::vector<std::function<void(int)>> completions;
    std::vector<std::unique_ptr<ProjectDocument>> documents;
    std::vector<Shown> previews;
    std::vector<CaptureSize> formSizes;
    std::function<void(const CaptureSize&, bool)> formCompletion;
};

TEST_F(CommandCenterTest, AnAreaShotGoesToTheHistoryThenTheEditorOrThePreview)
{
    answer(area());
    center.perform(K::captureArea);
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
    std::vector<HistoryEntry> entries = historyEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].captureKind, CaptureKind::area);
    EXPECT_EQ(entries[0].pixelWidth, 40);
    EXPECT_EQ(historyChanges, 1);
    EXPECT_EQ(documents[0]->createdAt.toSecsSinceEpoch(), entries[0].date.toSecsSinceEpoch());
    EXPECT_FALSE(documents[0]->isEdited());

    settings.set(setting::afterCapture, AfterCapture::quickPreview);
    QGuiApplication::clipboard()->clear();
    center.perform(K::captureArea);
    ASSERT_TRUE(waitUntil([&] { return previews.size() == 1; }));
    EXPECT_EQ(documents.size(), 1u);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->data(QStringLiteral("image/png")), previews[0].shot.pngData);
    entries = historyEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].date.toSecsSinceEpoch(), previews[0].date.toSecsSinceEpoch());
    EXPECT_TRUE(alerts.empty());
}

TEST_F(CommandCenterTest, WithTheHistoryOffNothingIsWrittenButTheEditorOpens)
{
    settings.set(setting::historyEnabled, false);
    answer(area());
    center.perform(K::captureArea);
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
    EXPECT_TRUE(historyEntries().empty());
    EXPECT_EQ(historyChanges, 0);
}

TEST_F(CommandCenterTest, SeveralWindowsBecomeOneCleanDocumentEvenInPreviewMode)
{
    settings.set(setting::afterCapture, AfterCapture::quickPreview);
    answer(WindowsChosen{{11, 12}});
    center.perform(K::captureWindow);
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
    const ProjectDocument& document = *documents[0];
    EXPECT_EQ(document.model().panels.size(), 2u);
    EXPECT_EQ(document.model().padding, 40); // the window look
    EXPECT_FALSE(document.isEdited());
    EXPECT_FALSE(documents[0]->undoManager().canUndo());
    const std::vector<HistoryEntry> entries = historyEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].date, entries[1].date);
    EXPECT_EQ(entries[0].captureKind, CaptureKind::window);
    EXPECT_TRUE(previews.empty());

    // One window behaves as an area: the preview.
    answer(WindowsChosen{{11}});
    center.perform(K::captureWindow);
    ASSERT_TRUE(waitUntil([&] { return previews.size() == 1; }));
    EXPECT_EQ(documents.size(), 1u);
}

TEST_F(CommandCenterTest, ACancelEndsSilentlyAndAFailureIsShown)
{
    answer(std::nullopt);
    center.perform(K::captureArea);
    settle();
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(documents.empty());
    EXPECT_TRUE(historyEntries().empty());

    source.setGrabFails(screen.id, true);
    center.perform(K::captureFullScreen);
    ASSERT_TRUE(waitUntil([&] { return alerts.size() == 1; }));
    EXPECT_FALSE(alerts[0].message.isEmpty());
    EXPECT_TRUE(documents.empty());
}

TEST_F(CommandCenterTest, AHistoryWriteErrorNamesWhatFollowsAndTheShotStillOpens)
{
    // The default history folder is a file: no shot can be written there.
    ASSERT_TRUE(center.setHistoryFolder(std::nullopt));
    historyChanges = 0;
    const QString folder = AppConfig::defaultHistoryFolder();
    QDir().mkpath(QFileInfo(folder).path());
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    struct Case {
        AfterCapture after;
        const char* sentence;
    };
    for (const Case& c : {Case{AfterCapture::openEditor, "resta aperto nell'editor"},
                          Case{AfterCapture::quickPreview, "resta nell'anteprima rapida"}}) {
        alerts.clear();
        completions.clear();
        settings.set(setting::afterCapture, c.after);
        const std::size_t opened = documents.size() + previews.size();
        answer(area());
        center.perform(K::captureArea);
        ASSERT_TRUE(waitUntil([&] { return documents.size() + previews.size() == opened + 1; }));
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].message, QStringLiteral("Non riesco a salvare lo scatto nella cartella degli scatti"));
        EXPECT_TRUE(alerts[0].informativeText.startsWith(QStringLiteral("Cartella: ") + folder));
        EXPECT_TRUE(alerts[0].informativeText.contains(QString::fromUtf8(c.sentence)))
            << alerts[0].informativeText.toStdString();
        EXPECT_EQ(alerts[0].buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Apri Impostazioni")}));
        completions[0](1);
    }
    EXPECT_EQ(settingsOpened, 2);
    EXPECT_EQ(historyChanges, 0);
    QFile::remove(folder);
}

TEST_F(CommandCenterTest, TheFixedSizeFormStartsAt1280By720AndItsChoiceIsCapturedOrRefused)
{
    center.perform(AppCommand::fixedArea(std::nullopt));
    ASSERT_EQ(formSizes.size(), 1u);
    EXPECT_EQ(formSizes[0], (CaptureSize{1280, 720, false}));

    // Larger than every screen: refused, not remembered.
    formCompletion(CaptureSize{1280, 720, false}, false);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, QStringLiteral("1280 × 720 px è più grande dello schermo"));
    EXPECT_FALSE(settings.get(setting::lastCaptureSize));

    const CaptureSize small{20, 10, false};
    answer(std::nullopt);
    formCompletion(small, true);
    EXPECT_EQ(settings.get(setting::lastCaptureSize), small);
    const std::vector<CaptureSize> favorites = settings.get(setting::captureSizes);
    EXPECT_NE(std::find(favorites.begin(), favorites.end(), small), favorites.end());

    // The remembered size is used without the form.
    center.perform(AppCommand::fixedArea(std::nullopt));
    EXPECT_EQ(formSizes.size(), 1u);
}

TEST_F(CommandCenterTest, ReopeningShotsFromTheHistory)
{
    center.perform(K::reopenLastShot);
    EXPECT_EQ(beeps, 1);

    settings.set(setting::timestampOnShots, true);
    answer(area());
    center.perform(K::captureArea);
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
    const HistoryEntry entry = historyEntries().at(0);
    center.perform(K::reopenLastShot);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[1]->createdAt, entry.date);
    EXPECT_EQ(documents[1]->model().panels.size(), 1u);
    EXPECT_FALSE(documents[1]->undoManager().canUndo());

    QFile::remove(*entry.fileURL);
    historyChanges = 0;
    center.perform(AppCommand::historyEntry(entry.id));
    EXPECT_EQ(documents.size(), 2u);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Lo scatto non c'è più"));
    EXPECT_EQ(historyChanges, 1);
}

TEST_F(CommandCenterTest, ShotsCapturedIntoAnOpenDocumentAreOneUndoStepEach)
{
    settings.set(setting::afterCapture, AfterCapture::quickPreview);
    auto document = std::make_unique<ProjectDocument>(settings);
    answer(WindowsChosen{{11, 12}});
    center.captureWindows(*document);
    ASSERT_TRUE(waitUntil([&] { return document->model().panels.size() == 2; }));
    EXPECT_EQ(document->undoManager().undoActionName(), QStringLiteral("Aggiungi scatto"));
    document->undoManager().undo();
    EXPECT_EQ(document->model().panels.size(), 1u);
    EXPECT_EQ(historyEntries().size(), 2u);
    EXPECT_TRUE(previews.empty());
    EXPECT_TRUE(documents.empty());

    // A document closed while the overlay is up receives nothing.
    answer(area());
    center.captureArea(*document);
    document.reset();
    settle();
    EXPECT_EQ(historyEntries().size(), 2u);
}

TEST_F(CommandCenterTest, ImageFilesOpenInTheChosenOrderAtTheirDensity)
{
    QTemporaryDir folder;
    auto write = [&](const QString& name, const QByteArray& data) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    QImage dense = cornerImage(40, 20);
    dense.setDotsPerMeterX(qRound(144 / 0.0254));
    dense.setDotsPerMeterY(qRound(144 / 0.0254));
    const QStringList chosen{
        write(QStringLiteral("denso.PNG"), pngOf(dense)),
        write(QStringLiteral("semplice.png"), pngOf(cornerImage(30, 10))),
        write(QStringLiteral("telefono.HEIC"), test::encodedHeic(cornerImage(30, 10), heif_orientation_rotate_90_cw))};
    center.hooks.chooseImageFiles = [&] { return chosen; };
    center.perform(K::openImageFile);
    ASSERT_EQ(documents.size(), 3u);
    const Panel& first = documents[0]->model().panels.at(0);
    EXPECT_EQ(first.pixelsPerPoint, 2);
    EXPECT_EQ(documents[0]->images().asset(first.imageID)->fileExtension, QStringLiteral("png"));
    EXPECT_EQ(documents[1]->model().panels.at(0).pixelsPerPoint, 1);
    EXPECT_EQ(documents[1]->model().panels.at(0).pixelSize, (Size{30, 10}));
    // The phone's picture stands as it was taken, and keeps its own file.
    const Panel& photo = documents[2]->model().panels.at(0);
    EXPECT_EQ(photo.pixelSize, (Size{10, 30}));
    EXPECT_EQ(photo.orientation, PanelOrientation::identity());
    EXPECT_EQ(documents[2]->images().asset(photo.imageID)->fileExtension, QStringLiteral("heic"));

    center.openImage(write(QStringLiteral("rotto.png"), "no picture"));
    center.openImage(write(QStringLiteral("rotto.heic"), test::encodedHeic(cornerImage(30, 10)).left(200)));
    center.openImage(folder.filePath(QStringLiteral("mancante.png")));
    EXPECT_EQ(documents.size(), 3u);
    EXPECT_EQ(alerts.size(), 3u);
}

TEST_F(CommandCenterTest, TheClipboardPictureOpensOrBeeps)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("solo testo"));
    center.perform(K::openFromClipboard);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(documents.empty());

    auto* data = new QMimeData;
    QImage picture = cornerImage(40, 20);
    data->setData(QStringLiteral("image/png"), pngOf(picture));
    QGuiApplication::clipboard()->setMimeData(data);
    center.perform(K::openFromClipboard);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0]->model().panels.at(0).pixelSize, (Size{40, 20}));
    EXPECT_FALSE(documents[0]->isEdited());
}

TEST_F(CommandCenterTest, ALostHistoryFolderIsAnnouncedAndShotsGoToTheDefaultFolder)
{
    QDir(historyDir.path()).removeRecursively();
    EXPECT_EQ(center.history().directory(), AppConfig::defaultHistoryFolder());
    ASSERT_TRUE(waitUntil([&] { return !alerts.empty(); }));
    EXPECT_EQ(alerts[0].message, QStringLiteral("La cartella degli scatti non c'è più"));
    EXPECT_EQ(historyChanges, 1);
}

TEST_F(CommandCenterTest, CleanUpNeverTakesADamagedRetentionAsZeroDays)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray png = pngOf(cornerImage(8, 8));
    for (int daysAgo : {1, 15}) {
        HistoryEntry entry;
        entry.id = QUuid::createUuid();
        entry.date = now.addDays(-daysAgo);
        center.history().add(png, entry);
    }
    historyChanges = 0;
    // A stored 0 reads as the standard 14 days: only the shot of 15 days ago goes.
    settings.defaults().set(setting::historyRetentionDays.key(), 0);
    center.cleanUpHistory(now);
    EXPECT_EQ(historyEntries().size(), 1u);
    EXPECT_EQ(historyChanges, 1);
    EXPECT_EQ(settings.get(setting::lastHistoryCleanup), now);

    // Nothing more to remove: only the time of the clean-up changes.
    const QDateTime later = now.addSecs(3600);
    center.cleanUpHistory(later);
    EXPECT_EQ(historyEntries().size(), 1u);
    EXPECT_EQ(historyChanges, 1);
    EXPECT_EQ(settings.get(setting::lastHistoryCleanup), later);
}

TEST_F(CommandCenterTest, LegacyShotsMoveOnceAndBrokenOnesStay)
{
    QTemporaryDir legacy;
    const QByteArray png = pngOf(cornerImage(8, 8));
    auto legacyShot = [&](const QString& name, const HistoryEntry& entry, bool withImage) {
        QDir(legacy.path()).mkpath(name);
        QFile json(legacy.filePath(name + QStringLiteral("/entry.json")));
        EXPECT_TRUE(json.open(QIODevice::WriteOnly));
        json.write(QByteArray::fromStdString(encodeHistoryEntry(entry)));
        if (withImage) {
            QFile image(legacy.filePath(name + QStringLiteral("/original.png")));
            EXPECT_TRUE(image.open(QIODevice::WriteOnly));
            image.write(png);
        }
    };
    const HistoryEntry moved = legacyEntry(QDateTime(QDate(2023, 1, 2), QTime(3, 4, 5), Qt::UTC));
    const HistoryEntry already = legacyEntry(QDateTime(QDate(2023, 2, 2), QTime(3, 4, 5), Qt::UTC));
    const HistoryEntry broken = legacyEntry(QDateTime(QDate(2023, 3, 2), QTime(3, 4, 5), Qt::UTC));
    legacyShot(QStringLiteral("a"), moved, true);
    legacyShot(QStringLiteral("b"), already, true);
    legacyShot(QStringLiteral("c"), broken, false);
    // A shot moved earlier whose old folder could not be removed then.
    center.history().add(png, already);

    center.migrateLegacyHistory(legacy.path());
    std::vector<HistoryEntry> entries = historyEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, already.id);
    EXPECT_EQ(entries[1].id, moved.id);
    EXPECT_EQ(QDir(legacy.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("c")});
    EXPECT_EQ(historyChanges, 1);

    // Once the broken shot is whole, the next launch moves it and the folder goes.
    QFile image(legacy.filePath(QStringLiteral("c/original.png")));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(png);
    image.close();
    center.migrateLegacyHistory(legacy.path());
    EXPECT_EQ(historyEntries().size(), 3u);
    EXPECT_FALSE(QDir(legacy.path()).exists());
}

TEST_F(CommandCenterTest, URLCommandsAreCheckedConfirmedAndRateLimited)
{
    center.performURL(QStringLiteral("vorlix://capture/nothing"));
    EXPECT_EQ(beeps, 1);

    // A capture of what the user does not choose waits for a confirmation.
    center.performURL(QStringLiteral("vorlix://screen"));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].buttons, (QStringList{QStringLiteral("Cattura"), QStringLiteral("Annulla")}));
    settle();
    EXPECT_TRUE(documents.empty());
    completions[0](0);
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
    EXPECT_EQ(historyEntries().at(0).captureKind, CaptureKind::fullScreen);

    // Right after another one: refused.
    center.performURL(QStringLiteral("vorlix://settings"));
    EXPECT_EQ(beeps, 2);
    processEventsFor(1100ms);
    center.performURL(QStringLiteral("vorlix://settings"));
    EXPECT_EQ(settingsOpened, 1);
}

TEST_F(CommandCenterTest, ToolbarLabelsToggleAndPostEachTime)
{
    int posts = 0;
    QObject::connect(&notifications, &NotificationCenter::posted,
                     [&](const QString& name) { posts += name == Settings::toolbarLabelsDidChange; });
    center.perform(K::toggleToolbarLabels);
    EXPECT_FALSE(settings.get(setting::toolbarShowsLabels));
    center.perform(K::toggleToolbarLabels);
    EXPECT_TRUE(settings.get(setting::toolbarShowsLabels));
    EXPECT_EQ(posts, 2);
}

TEST_F(CommandCenterTest, AHotKeyHeldElsewhereIsReportedAndTheOthersWork)
{
    auto grabber = std::make_unique<FakeHotkeyGrabber>();
    FakeHotkeyGrabber& keys = *grabber;
    HotkeyCenter hotkeys(std::move(grabber));
    const HotkeyConfiguration configuration = settings.get(setting::hotkeys);
    const KeyCombo taken = configuration.bindings.at(HotkeyAction::captureFullScreen);
    keys.holdElsewhere(taken);

    const std::set<HotkeyAction> failed = center.applyHotkeys(hotkeys);
    EXPECT_EQ(failed, std::set<HotkeyAction>{HotkeyAction::captureFullScreen});
    EXPECT_EQ(hotkeys.registrationCount(), configuration.bindings.size() - 1);

    answer(area());
    EXPECT_TRUE(keys.press(configuration.bindings.at(HotkeyAction::captureArea)));
    ASSERT_TRUE(waitUntil([&] { return documents.size() == 1; }));
}

} // namespace
