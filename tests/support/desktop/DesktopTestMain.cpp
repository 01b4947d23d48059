// Main of the test programs that need a real X server: it starts a private desktop
// (Xvfb; the window manager, tray or compositor the program asks for) and creates the
// QApplication on it through the xcb platform, then runs the tests. The desktop
// ends after the application, and with the program if it crashes. Listing the tests
// (ctest's discovery) starts no desktop.
//
// A program chooses its desktop with compile definitions: VORLIX_DESKTOP_WIDTH and
// VORLIX_DESKTOP_HEIGHT, and VORLIX_DESKTOP_WM, VORLIX_DESKTOP_TRAY and
// VORLIX_DESKTOP_COMPOSITOR set to 1 for the extras.

#include "support/Fonts.h"
#include "support/desktop/Desktop.h"

#include <QApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <memory>

namespace {

bool listingOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8()); // private to the user, as Qt wants it
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale::c());
    testing::InitGoogleTest(&argc, argv);
    if (listingOnly(argc, argv))
        return RUN_ALL_TESTS();

    vorlix::test::DesktopOptions options;
    options.size = QSize(VORLIX_DESKTOP_WIDTH, VORLIX_DESKTOP_HEIGHT);
    options.windowManager = VORLIX_DESKTOP_WM;
    options.tray = VORLIX_DESKTOP_TRAY;
    options.compositor = VORLIX_DESKTOP_COMPOSITOR;
    std::unique_ptr<vorlix::test::Desktop> desktop;
    try {
        desktop = std::make_unique<vorlix::test::Desktop>(options);
    } catch (const std::exception& e) {
        std::cerr << "No desktop for the tests: " << e.what() << '\n';
        return 1;
    }
    vorlix::test::setProcessDesktop(desktop.get());
    qputenv("DISPLAY", desktop->displayName().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XAUTHORITY");

    int result = 0;
    {
        QApplication app(argc, argv);
        vorlix::test::loadDejaVuFonts();
        result = RUN_ALL_TESTS();
    }
    vorlix::test::setProcessDesktop(nullptr);
    desktop->stop();
    return result;
}
