// The share menu: its entries, and the e-mail entry handing the written picture to
// xdg-email (a stand-in script here).

#include "app/editor/window/ShareMenu.h"
#include "app/support/Beeper.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

QStringList titles(const QMenu& menu)
{
    QStringList all;
    for (const QAction* action : menu.actions())
        all << action->text();
    return all;
}

TEST(ShareMenu, EmailIsOfferedOnlyWithItsProgram)
{
    const QString open = QString::fromUtf8(ShareMenu::openTitle);
    std::unique_ptr<QMenu> without(ShareMenu::build({}, {}, nullptr));
    EXPECT_EQ(titles(*without), QStringList{open});
    std::unique_ptr<QMenu> with(ShareMenu::build({}, u"/usr/bin/xdg-email"_s, nullptr));
    EXPECT_EQ(titles(*with), (QStringList{open, u"Invia per e-mail…"_s}));
}

TEST(ShareMenu, EmailAttachesTheWrittenPictureAndANoPictureBeeps)
{
    QTemporaryDir folder;
    const QString record = folder.filePath(u"argomenti"_s);
    const QString script = folder.filePath(u"xdg-email"_s);
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(u"#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.tmp' && mv '%1.tmp' '%1'\n"_s.arg(record).toUtf8());
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    std::unique_ptr<QMenu> menu(ShareMenu::build(
        [&] {
            return std::optional{std::pair{pngOf(image), u"Condivisa"_s}};
        },
        script, nullptr));
    menu->actions().at(1)->trigger();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(record); }));
    QFile recorded(record);
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    const QStringList arguments = QString::fromUtf8(recorded.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(arguments[0], u"--attach"_s);
    EXPECT_TRUE(arguments[1].endsWith(u"/Condivisa.png"_s));
    EXPECT_EQ(QImage(arguments[1]).size(), QSize(40, 30));

    int beeps = 0;
    Beeper::Override countBeeps{[&] { ++beeps; }};
    std::unique_ptr<QMenu> empty(ShareMenu::build([] { return std::nullopt; }, script, nullptr));
    for (QAction* action : empty->actions())
        action->trigger();
    EXPECT_EQ(beeps, 2);
}

} // namespace
