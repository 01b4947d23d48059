#include "app/shell/menus/MenuIcons.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

TEST(MenuIconsTest, ATitleTakesItsOwnRowElseTheLongestKeyThatBeginsIt)
{
    struct Case {
        QString title;
        std::optional<std::string_view> symbol;
    };
    const Case cases[] = {
        {u"Cattura area"_s, "rectangle.dashed"},
        {u"Cattura area di misura fissa"_s, "aspectratio"}, // its own row, not "Cattura area"'s
        {u"Cattura ritardata (5 s)"_s, "timer"},
        {u"Cattura una finestra (Maiusc per più finestre)"_s, "macwindow.on.rectangle"},
        {u"Nascondi Vorlix"_s, "eye.slash"},
        {u"Ripeti cattura area"_s, "repeat"}, // exact, ahead of the prefix "Ripeti"
        {u"Ripetizione"_s, "arrow.uturn.forward"},
        {u"Esci"_s, "power"},
        {u"Ultimi scatti"_s, std::nullopt},
        {u""_s, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        EXPECT_EQ(MenuIcons::symbol(c.title), c.symbol);
    }
}

TEST(MenuIconsTest, ApplyFillsItemsWithoutIconsInSubmenusAndKeepsOwnIcons)
{
    QMenu menu;
    QAction* pin = menu.addAction(u"Leggio\tCtrl+L"_s); // drawn: a bare X server has no theme
    QPixmap own(8, 8);
    own.fill(Qt::red);
    QAction* shot = menu.addAction(QIcon(own), u"Oggi, 14:05"_s);
    QMenu* more = menu.addMenu(u"Altro"_s);
    QAction* copy = more->addAction(u"Copia immagine"_s);
    QAction* plain = more->addAction(u"Nessuno scatto recente"_s);
    MenuIcons::apply(menu);
    EXPECT_FALSE(pin->icon().isNull());
    EXPECT_EQ(shot->icon().pixmap(8, 8).toImage().pixelColor(4, 4), QColor(Qt::red));
    EXPECT_FALSE(copy->icon().isNull());
    EXPECT_TRUE(plain->icon().isNull());
}
