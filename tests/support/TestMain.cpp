// Shared main of every test program: a headless, reproducible environment.
// Settings and folders never reach the real user's: QStandardPaths test mode and
// XDG folders inside a temporary directory; time zone UTC; a fixed C locale.

#include <QCoreApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifdef VORLIX_TEST_GUI
#include "support/Fonts.h"

#include <QGuiApplication>
#endif
#ifdef VORLIX_TEST_WIDGETS
#include <QApplication>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TZ", "UTC");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + "/cache").toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale::c());

#ifdef VORLIX_TEST_GUI
#ifdef VORLIX_TEST_WIDGETS
    QApplication app(argc, argv);
#else
    QGuiApplication app(argc, argv);
#endif
    // The same fonts everywhere: DejaVu loaded from its files. Without them every measure
    // of text and every golden picture would fail, each with a misleading message.
    if (const QStringList missing = vorlix::test::loadDejaVuFonts(); !missing.isEmpty()) {
        std::fprintf(stderr,
                     "The test fonts did not load: %s. Install fonts-dejavu-core and check that "
                     "`fc-list \"DejaVu Sans\"` finds them.\n",
                     qPrintable(missing.join(QStringLiteral(", "))));
        return 2;
    }
#else
    QCoreApplication app(argc, argv);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
