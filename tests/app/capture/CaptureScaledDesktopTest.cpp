// An area capture on a screen of two device pixels a point: the drag is in points, the
// shot in exact device pixels, and the arrow keys move the pointer one device pixel.

#include "app/capture/CaptureService.h"
#include "app/capture/SelectionView.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/ForeignWindow.h"
#include "platform/X11Source.h"
#include "support/TaskWaits.h"
#include "support/desktop/DesktopTools.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

// Before the application starts: every screen of this program at scale 2.
const bool scaled = qputenv("QT_SCALE_FACTOR", "2");

SelectionView* shownView()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* view = dynamic_cast<SelectionView*>(widget); view && view->isVisible())
            return view;
    return nullptr;
}

TEST(CaptureAtScaleTwo, AreaIsCutInDevicePixelsAndArrowsMoveOnePixel)
{
    ASSERT_TRUE(scaled);
    const std::unique_ptr<ScreenSource> source = x11Source();
    ASSERT_EQ(source->screens().front().devicePixelRatio, 2);
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    ForeignClient other;
    // Device pixels: red and green side by side at (200, 160).
    other.showUnmanaged(QRect(200, 160, 120, 90), Qt::red);
    other.showUnmanaged(QRect(320, 160, 80, 90), Qt::green);
    QImage pattern(200, 90, QImage::Format_RGB32);
    pattern.fill(Qt::green);
    QPainter(&pattern).fillRect(0, 0, 120, 90, Qt::red);

    Running running = start(service.captureArea());
    ASSERT_TRUE(waitUntil([] { return shownView() && QWidget::keyboardGrabber(); }));
    // xdotool speaks device pixels: (200, 160) is the point (100, 80).
    ASSERT_EQ(runTool("xdotool", {"mousemove", "200", "160", "mousedown", "1", "mousemove", "300", "200"}).exitCode, 0);
    ASSERT_TRUE(waitUntil([] { return shownView()->state().current == QPointF(150, 100); }));
    // The far corner by keys, ten device pixels (five points) a press: 100 right, 50 down.
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(sendKeys("shift+Right"));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(sendKeys("shift+Down"));
    ASSERT_TRUE(sendKeys("Right"));
    EXPECT_TRUE(waitUntil([] { return shownView()->state().current == QPointF(200.5, 125); })) << "one device pixel";
    ASSERT_TRUE(sendKeys("Left"));
    ASSERT_TRUE(waitUntil([] { return shownView()->state().current == QPointF(200, 125); }))
        << shownView()->state().current->x() << " " << shownView()->state().current->y();
    ASSERT_EQ(runTool("xdotool", {"mouseup", "1"}).exitCode, 0);

    const std::optional<CaptureOutcome> outcome = running.wait();
    ASSERT_TRUE(outcome && std::holds_alternative<std::optional<CapturedShot>>(*outcome));
    const std::optional<CapturedShot>& shot = std::get<std::optional<CapturedShot>>(*outcome);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->pixelsPerPoint, 2);
    EXPECT_EQ(shot->image.convertToFormat(QImage::Format_RGB32), pattern);
    EXPECT_EQ(ImageCoding::dotsPerInch(shot->pngData), 144);
}

} // namespace
