// The "Generale" and "Scatti" pages: each control shows the stored value every time its
// page appears (whoever changed it), and each control writes its setting at once.

#include "app/settings/CaptureSizeTags.h"
#include "app/settings/FolderChooser.h"
#include "app/settings/GeneralSettingsViewController.h"
#include "app/settings/SettingsRow.h"
#include "app/settings/ShotsSettingsViewController.h"
#include "app/settings/TemplateEditor.h"

#include "SettingsFixture.h"
#include "support/EventLoopWaits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct SettingsPages : testing::Test, SettingsFixture {
    std::unique_ptr<SettingsWindowController> controller;
    QStringList posted;

    SettingsPages()
    {
        QObject::connect(&notifications, &NotificationCenter::posted, [this](const QString& name) { posted << name; });
        services.updateStatusDidChange = u"VorlixUpdateStatusDidChange"_s;
        // What the checker would say from the stored record alone.
        services.updateStatus = [this] {
            if (!settings.get(setting::checksForUpdates))
                return UpdateStatus::disabled();
            const std::optional<UpdateInfo> latest = settings.get(setting::latestUpdate);
            return latest ? UpdateStatus::updateAvailable(*latest) : UpdateStatus::notVerified();
        };
        controller = std::make_unique<SettingsWindowController>(settings, services);
    }

    GeneralSettingsViewController& general() const
    {
        return static_cast<GeneralSettingsViewController&>(*controller->tabs()[0].page);
    }
    ShotsSettingsViewController& shots() const
    {
        return static_cast<ShotsSettingsViewController&>(*controller->tabs()[1].page);
    }

    void showTab(int tab)
    {
        controller->show();
        controller->selectTab(tab);
    }

    static void typeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    static QString checkState(const QCheckBox* box)
    {
        return QString::fromLatin1(box->isChecked() ? "on" : "off") + (box->isEnabled() ? "" : ",disabled");
    }
};

// The one message box open now, from any window.
QMessageBox* openBox()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible())
            return box;
        for (QMessageBox* box : top->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
    }
    return nullptr;
}

void press(QMessageBox& box, const QString& title)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == title) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << title.toStdString();
}

} // namespace

TEST_F(SettingsPages, EveryControlShowsTheStoredValueEachTimeItsPageAppears)
{
    struct Case {
        const char* name;
        int tab;
        std::function<void(Settings&)> change; // elsewhere, while the page is open
        std::function<QString(SettingsPages&)> shown;
        QString expected;
    };
    const QString folder = folders.path();
    const Case cases[] = {
        {"after capture", 0, [](Settings& s) { s.set(setting::afterCapture, AfterCapture::quickPreview); },
         [](SettingsPages& t) { return t.general().afterCapture()->currentText(); }, u"Anteprima rapida"_s},
        {"after capture unknown", 0, [](Settings& s) { s.defaults().set(u"afterCapture"_s, u"altro"_s); },
         [](SettingsPages& t) { return t.general().afterCapture()->currentText(); }, u"Apri l'editor"_s},
        {"freeze off", 0, [](Settings& s) { s.set(setting::freezeScreen, false); },
         [](SettingsPages& t) { return checkState(t.general().freeze()) + "|" + checkState(t.general().loupe()); },
         u"off|on,disabled"_s},
        {"loupe off", 0, [](Settings& s) { s.set(setting::showsLoupe, false); },
         [](SettingsPages& t) { return checkState(t.general().loupe()); }, u"off"_s},
        {"delay", 0, [](Settings& s) { s.set(setting::captureDelay, 7); },
         [](SettingsPages& t) { return t.general().delay()->text(); }, u"7"_s},
        {"delay 0 written elsewhere", 0, [](Settings& s) { s.defaults().set(u"captureDelay"_s, 0); },
         [](SettingsPages& t) { return t.general().delay()->text(); }, u"0"_s},
        {"idle", 0, [](Settings& s) { s.set(setting::toolIdleSeconds, 120); },
         [](SettingsPages& t) { return t.general().idle()->text(); }, u"120"_s},
        {"labels", 0, [](Settings& s) { s.set(setting::toolbarShowsLabels, false); },
         [](SettingsPages& t) { return checkState(t.general().labels()); }, u"off"_s},
        {"ask to save", 0, [](Settings& s) { s.set(setting::askToSaveOnClose, false); },
         [](SettingsPages& t) { return checkState(t.general().askToSave()); }, u"off"_s},
        {"updates", 0, [](Settings& s) { s.set(setting::checksForUpdates, false); },
         [](SettingsPages& t) {
             return checkState(t.general().updates()) + "|" + t.general().updateStatus()->text() +
                    (t.general().checkNow()->isEnabled() ? "" : "|disabled");
         },
         u"off|No verifica aggiornamenti|disabled"_s},
        {"update available", 0,
         [](Settings& s) {
             s.set(setting::latestUpdate, UpdateInfo{.version = u"2.1"_s, .build = {}, .url = {}, .notes = {}});
         },
         [](SettingsPages& t) { return t.general().updateStatus()->text(); }, u"Da aggiornare (versione 2.1)"_s},
        {"project name", 1, [](Settings& s) { s.set(setting::filenameTemplate, {u"Mio {data}"_s}); },
         [](SettingsPages& t) { return t.shots().projectName()->field()->text(); }, u"Mio {data}"_s},
        {"image name", 1, [](Settings& s) { s.set(setting::imageFilenameTemplate, {u"Img {ora}"_s}); },
         [](SettingsPages& t) { return t.shots().imageName()->field()->text(); }, u"Img {ora}"_s},
        {"stamps on", 1, [](Settings& s) { s.set(setting::timestampOnShots, true); },
         [](SettingsPages& t) {
             return checkState(t.shots().timestampEnabled()) +
                    (t.shots().timestampFormat()->isEnabled() ? "|format" : "|no format");
         },
         u"on|format"_s},
        {"stamp format", 1, [](Settings& s) { s.set(setting::timestampFormat, TimestampFormat::iso); },
         [](SettingsPages& t) { return QString::number(t.shots().timestampFormat()->currentIndex()); }, u"4"_s},
        {"stamp format unknown", 1, [](Settings& s) { s.defaults().set(u"timestampFormat"_s, u"nessuno"_s); },
         [](SettingsPages& t) { return QString::number(t.shots().timestampFormat()->currentIndex()); }, u"0"_s},
        {"history off", 1, [](Settings& s) { s.set(setting::historyEnabled, false); },
         [](SettingsPages& t) { return checkState(t.shots().historyEnabled()); }, u"off"_s},
        {"retention", 1, [](Settings& s) { s.set(setting::historyRetentionDays, 30); },
         [](SettingsPages& t) { return t.shots().days()->text(); }, u"30"_s},
        {"projects folder", 1, [folder](Settings& s) { ASSERT_TRUE(s.projectsBookmark().set(folder)); },
         [](SettingsPages& t) { return t.shots().projectsFolder()->shownFolder(); }, QDir::toNativeSeparators(folder)},
        {"favourite sizes", 1,
         [](Settings& s) { s.set(setting::captureSizes, {{.width = 800, .height = 600, .ratioOnly = false}}); },
         [](SettingsPages& t) { return t.shots().sizeTags()->buttons().front()->text(); }, u"800 × 600  ✕"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsPages& t = *this;
        t.showTab(c.tab);
        const QString before = c.shown(t);
        c.change(settings);
        // Shown again: after switching to the other page and back.
        t.showTab(1 - c.tab);
        t.showTab(c.tab);
        EXPECT_EQ(c.shown(t), c.expected) << "before: " << before.toStdString();
        // Back to the defaults for the next case.
        for (const QString& key : static_cast<MemoryDefaultsStore&>(settings.defaults()).values().keys())
            settings.defaults().remove(key);
        settings.projectsBookmark().forget();
    }
}

TEST_F(SettingsPages, EveryControlWritesItsSettingAtOnce)
{
    struct Case {
        const char* name;
        int tab;
        std::function<void(SettingsPages&)> act;
        std::function<QString(SettingsPages&)> stored;
        QString expected;
    };
    const Case cases[] = {
        {"after capture", 0,
         [](SettingsPages& t) {
             t.general().afterCapture()->setCurrentIndex(1);
             emit t.general().afterCapture()->activated(1);
         },
         [](SettingsPages& t) { return QString::fromLatin1(enumText(t.settings.get(setting::afterCapture))); },
         u"quickPreview"_s},
        // The loupe keeps its own value while freezing is off.
        {"freeze", 0, [](SettingsPages& t) { t.general().freeze()->click(); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::freezeScreen)) + "|" + checkState(t.general().loupe()) +
                    "|" + QString::number(t.settings.get(setting::showsLoupe));
         },
         u"0|on,disabled|1"_s},
        {"loupe", 0, [](SettingsPages& t) { t.general().loupe()->click(); },
         [](SettingsPages& t) { return QString::number(t.settings.get(setting::showsLoupe)); }, u"0"_s},
        {"delay below the range", 0, [](SettingsPages& t) { typeInto(t.general().delay()->field(), u"0"_s); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::captureDelay)) + "|" + QString::number(t.historyChanges);
         },
         u"1|1"_s},
        {"delay above the range", 0, [](SettingsPages& t) { typeInto(t.general().delay()->field(), u"999"_s); },
         [](SettingsPages& t) { return QString::number(t.settings.get(setting::captureDelay)); }, u"60"_s},
        {"delay stepped", 0, [](SettingsPages& t) { t.general().delay()->upArrow()->click(); },
         [](SettingsPages& t) { return QString::number(t.settings.get(setting::captureDelay)); }, u"4"_s},
        {"idle", 0, [](SettingsPages& t) { typeInto(t.general().idle()->field(), u"700"_s); },
         [](SettingsPages& t) { return QString::number(t.settings.get(setting::toolIdleSeconds)); }, u"600"_s},
        {"labels", 0, [](SettingsPages& t) { t.general().labels()->click(); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::toolbarShowsLabels)) + "|" +
                    QString::number(t.posted.count(Settings::toolbarLabelsDidChange));
         },
         u"0|1"_s},
        {"ask to save", 0, [](SettingsPages& t) { t.general().askToSave()->click(); },
         [](SettingsPages& t) { return QString::number(t.settings.get(setting::askToSaveOnClose)); }, u"0"_s},
        // Turned off: no check, the status shows it and "Controlla ora" is disabled.
        {"updates off", 0, [](SettingsPages& t) { t.general().updates()->click(); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::checksForUpdates)) + "|" + QString::number(t.updateChecks) +
                    "|" + t.general().updateStatus()->text() + "|" +
                    QString::number(t.general().checkNow()->isEnabled()) + "|" +
                    QString::number(t.posted.count(u"VorlixUpdateStatusDidChange"_s));
         },
         u"0|0|No verifica aggiornamenti|0|1"_s},
        {"updates on again", 0,
         [](SettingsPages& t) {
             t.general().updates()->click();
             t.general().updates()->click();
         },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::checksForUpdates)) + "|" + QString::number(t.updateChecks) +
                    "|" + QString::number(t.general().checkNow()->isEnabled());
         },
         u"1|1|1"_s},
        {"check now", 0, [](SettingsPages& t) { t.general().checkNow()->click(); },
         [](SettingsPages& t) { return QString::number(t.updateChecks); }, u"1"_s},
        // The key is gone, not emptied; the presets stay.
        {"tool styles", 0,
         [](SettingsPages& t) {
             t.settings.defaults().set(u"toolStyles"_s, QByteArray("{}"));
             t.settings.defaults().set(u"stylePresets"_s, QByteArray("{\"presets\":[]}"));
             t.general().resetToolStylesButton()->click();
         },
         [](SettingsPages& t) {
             return QString::number(t.settings.defaults().object(u"toolStyles"_s).isValid()) + "|" +
                    t.settings.defaults().object(u"stylePresets"_s).toString() + "|" +
                    QString::number(t.posted.count(Settings::toolStylesDidReset));
         },
         u"0|{\"presets\":[]}|1"_s},
        {"palette", 0,
         [](SettingsPages& t) {
             Palette mine = Palette::standard();
             mine.colors[0] = RGBAColor{0.1, 0.2, 0.3, 1};
             t.settings.set(setting::palette, mine);
             t.posted.clear();
             t.general().resetPaletteButton()->click();
         },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::palette) == Palette::standard()) + "|" +
                    QString::number(t.posted.count(Settings::paletteDidChange));
         },
         u"1|1"_s},
        // Blank stands for the fallback; surrounding spaces go; the field keeps the typing.
        {"project name blank", 1,
         [](SettingsPages& t) {
             t.shots().projectName()->field()->clear();
             QTest::keyClicks(t.shots().projectName()->field(), u"   "_s);
         },
         [](SettingsPages& t) {
             return t.settings.defaults().object(u"filenameTemplate"_s).toString() + "|" +
                    t.shots().projectName()->field()->text() + "|" + t.shots().projectName()->exampleText();
         },
         FilenameTemplate::standard().pattern + u"|   |Esempio: "_s +
             FilenameTemplate::standard().render(QDateTime::currentDateTime(), TemplateEditor::exampleAppName)},
        {"image name trimmed", 1,
         [](SettingsPages& t) {
             QLineEdit* field = t.shots().imageName()->field();
             field->setText(u" \tNome {data} "_s);
             emit field->textEdited(field->text());
         },
         [](SettingsPages& t) {
             return t.settings.defaults().object(u"imageFilenameTemplate"_s).toString() + "|" +
                    t.shots().imageName()->field()->text();
         },
         u"Nome {data}| \tNome {data} "_s},
        {"stamps", 1, [](SettingsPages& t) { t.shots().timestampEnabled()->click(); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::timestampOnShots)) + "|" +
                    t.settings.defaults().object(u"timestampFormat"_s).toString() + "|" +
                    QString::number(t.shots().timestampFormat()->isEnabled());
         },
         u"1|dateTime|1"_s},
        {"stamp format", 1,
         [](SettingsPages& t) {
             t.shots().timestampFormat()->setCurrentIndex(3);
             emit t.shots().timestampFormat()->activated(3);
         },
         [](SettingsPages& t) { return t.settings.defaults().object(u"timestampFormat"_s).toString(); }, u"dateOnly"_s},
        {"history", 1, [](SettingsPages& t) { t.shots().historyEnabled()->click(); },
         [](SettingsPages& t) {
             return QString::number(t.settings.get(setting::historyEnabled)) + "|" + QString::number(t.historyChanges);
         },
         u"0|1"_s},
        {"retention below the range", 1, [](SettingsPages& t) { typeInto(t.shots().days()->field(), u"0"_s); },
         [](SettingsPages& t) { return t.settings.defaults().object(u"historyRetentionDays"_s).toString(); }, u"1"_s},
        {"retention above the range", 1, [](SettingsPages& t) { typeInto(t.shots().days()->field(), u"400"_s); },
         [](SettingsPages& t) { return t.settings.defaults().object(u"historyRetentionDays"_s).toString(); }, u"365"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        showTab(c.tab);
        posted.clear();
        historyChanges = 0;
        updateChecks = 0;
        c.act(*this);
        EXPECT_EQ(c.stored(*this), c.expected);
        for (const QString& key : store().values().keys())
            settings.defaults().remove(key);
        controller->window().close();
    }
}

TEST_F(SettingsPages, AFolderThatCannotBeKeptIsReportedAndTheFolderInUseStaysShown)
{
    QString inUse = folders.filePath(u"Scatti"_s);
    std::vector<std::optional<QString>> asked;
    bool accepts = false;
    FolderChooser chooser({.current = [&] { return inUse; },
                           .change =
                               [&](const std::optional<QString>& folder) {
                                   asked.push_back(folder);
                                   if (accepts)
                                       inUse = folder.value_or(u"/predefinita"_s);
                                   return accepts;
                               },
                           .show = {}},
                          u"Scegli"_s, u"Torna a Download/Vorlix"_s);
    chooser.reload();

    chooser.set(u"/non/esiste"_s);
    QMessageBox* alert = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (alert = openBox()) != nullptr; }));
    alert->accept();
    EXPECT_EQ(chooser.shownFolder(), QDir::toNativeSeparators(folders.filePath(u"Scatti"_s)));

    accepts = true;
    chooser.resetFolder();
    EXPECT_EQ(chooser.shownFolder(), QDir::toNativeSeparators(u"/predefinita"_s));
    EXPECT_EQ(asked, (std::vector<std::optional<QString>>{u"/non/esiste"_s, std::nullopt}));
    processEventsFor(std::chrono::milliseconds(20));
    EXPECT_EQ(openBox(), nullptr);
}

TEST_F(SettingsPages, EmptyingTheHistoryAsksFirstAndRebuildsTheMenuAfter)
{
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    HistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.date = QDateTime::currentDateTimeUtc();
    entry.pixelWidth = 4;
    entry.pixelHeight = 3;
    history->add(png, entry);
    const QString others = QDir(history->directory()).filePath(u"appunti.txt"_s);
    QFile note(others);
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.close();
    showTab(1);

    struct Step {
        const char* button;
        std::size_t shotsAfter;
        int historyChangesAfter;
    };
    // "Annulla" changes nothing; "Svuota" deletes the shots, then again on an empty history.
    const Step steps[] = {{"Annulla", 1, 0}, {"Svuota", 0, 1}, {"Svuota", 0, 2}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        shots().clearButton()->click();
        QMessageBox* box = nullptr;
        ASSERT_TRUE(waitUntil([&] { return (box = openBox()) != nullptr; }));
        EXPECT_EQ(box->text(), u"Svuotare la cronologia?"_s);
        press(*box, QString::fromLatin1(step.button));
        processEventsFor(std::chrono::milliseconds(20));
        EXPECT_EQ(history->entries().size(), step.shotsAfter);
        EXPECT_EQ(historyChanges, step.historyChangesAfter);
    }
    EXPECT_TRUE(QFile::exists(others));
}

TEST(CaptureSizeTagLayout, WrapsLinesRightAlignedWithinTheWidth)
{
    struct Case {
        const char* name;
        std::vector<QSize> sizes;
        std::vector<QPoint> origins;
        int height;
    };
    const Case cases[] = {
        {"one line", {{100, 20}, {50, 20}}, {{149, 0}, {250, 0}}, 20},
        {"exactly full", {{150, 20}, {149, 20}}, {{0, 0}, {151, 0}}, 20},
        {"wraps", {{150, 20}, {150, 20}, {40, 22}}, {{150, 0}, {109, 21}, {260, 21}}, 43},
        {"too wide alone", {{20, 20}, {320, 20}, {20, 20}}, {{280, 0}, {-20, 21}, {280, 42}}, 62},
        {"nothing", {}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TagLayout layout = layoutTags(c.sizes, 300, 1);
        EXPECT_EQ(layout.origins, c.origins);
        EXPECT_EQ(layout.height, c.height);
    }
}

TEST_F(SettingsPages, SizeTagsFollowTheStoredSizesAndOfferAtMostTwelve)
{
    CaptureSizeTags tags(settings, services);
    const auto titles = [&] {
        QStringList found;
        for (const QPushButton* button : tags.buttons())
            found << button->text() + u" / "_s + button->toolTip() + (button->isEnabled() ? u""_s : u" (off)"_s);
        return found;
    };
    settings.set(setting::captureSizes,
                 {{.width = 1920, .height = 1080, .ratioOnly = false}, {.width = 16, .height = 9, .ratioOnly = true}});
    EXPECT_EQ(titles(), (QStringList{u"1920 × 1080  ✕ / Togli 1920 × 1080 px dalle preferite"_s,
                                     u"16 : 9  ✕ / Togli 16 : 9 dalle preferite"_s, u"+ / Aggiungi una misura"_s}));

    std::vector<CaptureSize> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back({.width = 100 + i, .height = 100, .ratioOnly = false});
    settings.set(setting::captureSizes, twelve);
    ASSERT_EQ(tags.buttons().size(), 13u);
    EXPECT_FALSE(tags.buttons().back()->isEnabled());
    // Every line ends at the right edge.
    for (const QPushButton* button : tags.buttons())
        EXPECT_LE(button->geometry().right() + 1, CaptureSizeTags::lineWidth);
    tags.buttons()[3]->click();
    const std::vector<CaptureSize> left = settings.get(setting::captureSizes);
    ASSERT_EQ(left.size(), 11u);
    EXPECT_EQ(left[3].width, 104);
    EXPECT_TRUE(tags.buttons().back()->isEnabled());

    settings.set(setting::captureSizes, {{.width = 10, .height = 10, .ratioOnly = false}});
    tags.buttons().front()->click();
    ASSERT_EQ(tags.buttons().size(), 1u);
    EXPECT_EQ(tags.sizeHint().height(), tags.buttons().front()->height());
    EXPECT_EQ(tags.buttons().front()->geometry().right() + 1, CaptureSizeTags::lineWidth);
}

TEST_F(SettingsPages, PlusAsksForASizeFromTheLastOneUsedAndAddsIt)
{
    std::optional<CaptureSize> offered;
    services.askNewCaptureSize = [&](const CaptureSize& size, QWidget*, std::function<void(const CaptureSize&)> done) {
        offered = size;
        done({.width = 640, .height = 480, .ratioOnly = false});
    };
    CaptureSizeTags tags(settings, services);
    settings.set(setting::captureSizes, {});
    tags.buttons().back()->click();
    EXPECT_EQ(offered, (CaptureSize{.width = 1280, .height = 720, .ratioOnly = false}));
    settings.set(setting::lastCaptureSize, CaptureSize{.width = 4, .height = 3, .ratioOnly = true});
    tags.buttons().back()->click(); // the same size again is not added twice
    EXPECT_EQ(offered, (CaptureSize{.width = 4, .height = 3, .ratioOnly = true}));
    EXPECT_EQ(settings.get(setting::captureSizes),
              (std::vector<CaptureSize>{{.width = 640, .height = 480, .ratioOnly = false}}));
    EXPECT_EQ(tags.buttons().size(), 2u);
}
