// The image export dialog on a real desktop, driven as a person drives it with xdotool:
// Ctrl+Maiusc+E opens it on the editor window, a typed name and Return export the shot,
// once as PNG and once as JPEG chosen in its format list.

#include "app/editor/window/EditorWindow.h"
#include "app/editor/window/ImageExportPanel.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "support/EventLoopWaits.h"
#include "support/ImageFixtures.h"
#include "support/desktop/DesktopTools.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

struct ExportOnDesktop : testing::Test {
    QTemporaryDir folder;
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};

    std::unique_ptr<EditorWindow> openShot()
    {
        auto document = std::make_unique<ProjectDocument>(settings);
        QImage image(640, 400, QImage::Format_RGB32);
        image.fill(QColor(200, 60, 40));
        EXPECT_TRUE(document->addImage(pngOf(image), u"png"_s, 1.0, u"Aggiungi immagine"_s));
        auto window = std::make_unique<EditorWindow>(std::move(document), settings);
        window->show();
        EXPECT_TRUE(waitUntil([&] { return window->isActiveWindow() && window->windowHandle()->isExposed(); }));
        return window;
    }

    static ImageExportPanel* openPanel(EditorWindow& window)
    {
        if (!sendKeys(u"ctrl+shift+e"_s))
            return nullptr;
        ImageExportPanel* panel = nullptr;
        waitUntil([&] {
            panel = window.findChild<ImageExportPanel*>();
            return panel && panel->isVisible() && panel->windowHandle() && panel->windowHandle()->isExposed() &&
                   panel->isActiveWindow();
        });
        return panel;
    }

    static bool clickOn(QWidget* widget)
    {
        const QPoint centre = widget->mapToGlobal(widget->rect().center());
        return movePointer(centre.x(), centre.y()) && click();
    }

    // Types the path into the name field and presses Return.
    static bool typeNameAndConfirm(ImageExportPanel& panel, const QString& path)
    {
        auto* name = panel.findChild<QLineEdit*>(u"fileNameEdit"_s);
        return name && clickOn(name) && waitUntil([&] { return name->hasFocus(); }) && sendKeys(u"ctrl+a"_s) &&
               runTool(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"5"_s, path}).exitCode == 0 &&
               waitUntil([&] { return name->text() == path; }) && sendKeys(u"Return"_s);
    }

    static bool written(const QString& path)
    {
        return waitUntil([&] { return QImageReader(path).canRead(); }, std::chrono::seconds(10));
    }
};

TEST_F(ExportOnDesktop, APngAndAJpegThroughTheDialog)
{
    auto window = openShot();

    ImageExportPanel* panel = openPanel(*window);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->sizeBox()->currentText(), u"Originale — 640 × 400"_s);
    const QString png = folder.filePath(u"scatto.png"_s);
    ASSERT_TRUE(typeNameAndConfirm(*panel, png));
    ASSERT_TRUE(written(png));
    EXPECT_EQ(QImageReader(png).format(), "png");
    EXPECT_EQ(QImage(png).size(), QSize(640, 400));

    ASSERT_TRUE(waitUntil([&] { return !window->findChild<ImageExportPanel*>(); }));
    panel = openPanel(*window);
    ASSERT_TRUE(panel);
    ASSERT_TRUE(clickOn(panel->formatBox()));
    ASSERT_TRUE(sendKeys(u"Down"_s) && sendKeys(u"Return"_s));
    ASSERT_TRUE(waitUntil([&] { return panel->formatBox()->currentIndex() == 1; }));
    const QString jpeg = folder.filePath(u"scatto.jpg"_s);
    ASSERT_TRUE(typeNameAndConfirm(*panel, jpeg));
    ASSERT_TRUE(written(jpeg));
    const QImage exported(jpeg);
    EXPECT_EQ(QImageReader(jpeg).format(), "jpeg");
    EXPECT_EQ(exported.size(), QSize(640, 400));
    EXPECT_NEAR(exported.pixelColor(320, 200).red(), 200, 6);
}

} // namespace
