#pragma once
// The fonts every drawing test and benchmark uses: DejaVu, loaded from its files so that
// text metrics are the same on every machine. Needs a QGuiApplication.

#include <QDir>
#include <QFontDatabase>
#include <QString>

namespace vorlix::test {

// Registers every DejaVu face; returns how many were loaded.
inline int loadDejaVuFonts()
{
    const QDir dejavu(QStringLiteral("/usr/share/fonts/truetype/dejavu"));
    int loaded = 0;
    for (const QString& file : dejavu.entryList({QStringLiteral("*.ttf")}))
        loaded += QFontDatabase::addApplicationFont(dejavu.filePath(file)) >= 0 ? 1 : 0;
    return loaded;
}

} // namespace vorlix::test
