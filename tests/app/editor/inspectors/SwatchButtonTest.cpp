#include "app/editor/inspectors/SwatchButton.h"
#include "app/editor/inspectors/PaletteEditor.h"

#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/Settings.h"

#include <QAction>
#include <QColorDialog>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

struct PaletteSettings {
    PaletteSettings()
    {
        QObject::connect(&notifications, &NotificationCenter::posted, [this](const QString& name) {
            if (name == Settings::paletteDidChange)
                ++paletteChanges;
        });
    }
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    int paletteChanges = 0;
};

TEST(SwatchButton, ClicksPressAndDoubleClicksEditWhenTheSwatchCanBeEdited)
{
    for (const bool editable : {false, true}) {
        SCOPED_TRACE(editable);
        SwatchButton swatch(RGBAColor::hex("#FF3838"));
        swatch.show();
        int presses = 0;
        int edits = 0;
        swatch.onPress = [&] { ++presses; };
        if (editable)
            swatch.onEdit = [&] { ++edits; };
        QTest::mouseClick(&swatch, Qt::LeftButton);
        EXPECT_EQ(presses, 1);
        // The second press of a double click; without an edit it is one more press.
        QTest::mouseDClick(&swatch, Qt::LeftButton);
        EXPECT_EQ(edits, editable ? 1 : 0);
        EXPECT_EQ(presses, editable ? 1 : 2);

        const std::unique_ptr<QMenu> menu(swatch.makeMenu());
        EXPECT_EQ(menu != nullptr, editable);
        if (menu) {
            QStringList titles;
            for (QAction* action : menu->actions())
                titles << (action->isSeparator() ? u"-"_s : action->text());
            EXPECT_EQ(titles, (QStringList{u"Cambia colore…"_s, u"-"_s, u"Ripristina colori predefiniti"_s}));
        }
    }
}

TEST(SwatchButton, ResettingThePaletteStoresTheStandardOneAndAnnouncesIt)
{
    PaletteSettings store;
    Palette mine = Palette::standard();
    mine[0] = RGBAColor::hex("#123456");
    store.settings.set(setting::palette, mine);
    store.paletteChanges = 0;

    SwatchButton swatch(RGBAColor::hex("#123456"), &store.settings);
    swatch.onEdit = [] {};
    swatch.resetPalette();
    EXPECT_EQ(store.settings.get(setting::palette), Palette::standard());
    EXPECT_EQ(store.paletteChanges, 1);
    EXPECT_EQ(swatch.toolTip(), u"#123456"_s);
}

TEST(SwatchButton, DotsShowTheColourOrTheSignOfNoColour)
{
    struct Case {
        RGBAColor color;
        QColor centre;
        QColor offDiagonal;
    };
    const Case cases[] = {
        {RGBAColor::hex("#1E90FF"), QColor(0x1E, 0x90, 0xFF), QColor(0x1E, 0x90, 0xFF)},
        {RGBAColor::clear(), QColor(255, 59, 48), Qt::white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color.hexString().toStdString());
        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            SwatchButton::drawDot(painter, c.color, QRectF(0, 0, 40, 40));
        }
        // The diagonal runs from the upper left to the lower right.
        const auto near = [](QColor a, QColor b) {
            return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
                   std::abs(a.blue() - b.blue()) < 40;
        };
        EXPECT_TRUE(near(image.pixelColor(20, 20), c.centre)) << image.pixelColor(20, 20).name().toStdString();
        EXPECT_TRUE(near(image.pixelColor(28, 12), c.offDiagonal)) << image.pixelColor(28, 12).name().toStdString();
        EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);
    }
}

TEST(PaletteEditor, EditsOneSlotLiveAndOpeningWritesNothing)
{
    PaletteSettings store;
    PaletteEditor editor(store.settings);
    editor.edit(2);
    ASSERT_NE(editor.dialog(), nullptr);
    EXPECT_EQ(editor.dialog()->windowTitle(), u"Colore 3 della palette"_s);
    const RGBAColor slot2 = Palette::standard()[2];
    EXPECT_EQ(editor.dialog()->currentColor(),
              QColor::fromRgbF(float(slot2.red), float(slot2.green), float(slot2.blue)));
    EXPECT_EQ(store.paletteChanges, 0);

    editor.dialog()->setCurrentColor(QColor(10, 20, 30, 40));
    const Palette stored = store.settings.get(setting::palette);
    EXPECT_EQ(stored[2].hexString(), u"#0A141E"_s);
    EXPECT_EQ(stored[2].alpha, 1);
    EXPECT_EQ(stored[3], Palette::standard()[3]);
    EXPECT_EQ(store.paletteChanges, 1);

    // A slot outside the palette is not taken.
    editor.edit(Palette::slotCount);
    EXPECT_EQ(editor.slot(), std::optional<std::size_t>(2));
    editor.dialog()->close();
}

TEST(PaletteEditor, StoredPalettesOfAnotherSizeReadAsTheStandardOne)
{
    PaletteSettings store;
    Palette short_;
    short_.colors = {RGBAColor::hex("#111111"), RGBAColor::hex("#222222")};
    store.settings.set(setting::palette, short_);
    EXPECT_EQ(storedPalette(store.settings), Palette::standard());
}

} // namespace
