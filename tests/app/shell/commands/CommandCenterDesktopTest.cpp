// A capture through the command centre on a real X server: the shot lands in the history
// folder as a PNG of the screen's pixels, and in quick-preview mode the same bytes are on
// the clipboard for other programs (read with xclip).

#include "app/shell/commands/CommandCenter.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/DefaultsStore.h"
#include "app/support/Settings.h"
#include "core/imaging/ImageCoding.h"
#include "platform/ForeignWindow.h"
#include "platform/X11Source.h"
#include "support/desktop/DesktopTools.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace vorlix::test;

namespace {

TEST(CommandCenterOnDesktop, AScreenShotGoesToTheHistoryAndTheClipboard)
{
    std::unique_ptr<ScreenSource> source = x11Source();
    NotificationCenter notifications;
    Settings settings{std::make_unique<MemoryDefaultsStore>(), notifications};
    CaptureService service{*source, settings};
    ForeignClient other;
    other.showUnmanaged(QRect(100, 80, 160, 120), Qt::red);

    QTemporaryDir history;
    CommandCenter center(settings);
    ASSERT_TRUE(center.setHistoryFolder(history.path()));
    settings.set(setting::afterCapture, AfterCapture::quickPreview);
    center.hooks.captureService = [&]() -> CaptureService& { return service; };
    std::vector<CommandAlert> alerts;
    center.hooks.showAlert = [&](const CommandAlert& alert, std::function<void(int)>) { alerts.push_back(alert); };
    std::optional<CapturedShot> previewed;
    center.hooks.showQuickPreview = [&](const CapturedShot& shot, const QDateTime&) { previewed = shot; };

    center.perform(AppCommand::Kind::captureFullScreen);
    ASSERT_TRUE(waitUntil([&] { return previewed.has_value(); }));
    EXPECT_TRUE(alerts.empty());

    const std::vector<HistoryEntry> entries = center.history().entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].captureKind, CaptureKind::fullScreen);
    QFile file(*entries[0].fileURL);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QImage stored = ImageCoding::decode(file.readAll()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(stored.size(), previewed->image.size());
    EXPECT_EQ(stored.pixel(180, 140), qRgb(255, 0, 0));

    const std::optional<QByteArray> copied = readClipboard(QStringLiteral("image/png"));
    ASSERT_TRUE(copied);
    EXPECT_EQ(*copied, previewed->pngData);
}

} // namespace
