#pragma once
// The fonts every drawing test and benchmark uses: the DejaVu families of
// fonts-dejavu-core, found through fontconfig and loaded from their files, so that text
// measures alike on every machine. Needs a QGuiApplication.

#include <QByteArray>
#include <QFontDatabase>
#include <QSet>
#include <QString>
#include <QStringList>

#include <fontconfig/fontconfig.h>

namespace vorlix::test {

inline const QStringList& testFontFamilies()
{
    static const QStringList families{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono"),
                                      QStringLiteral("DejaVu Serif")};
    return families;
}

// The files of every face fontconfig knows for the family, sorted.
inline QStringList fontFiles(const QString& family)
{
    const QByteArray name = family.toUtf8();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    QStringList files;
    if (FcFontSet* set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
                files.append(QString::fromUtf8(reinterpret_cast<const char*>(file)));
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    files.sort();
    return files;
}

// Registers every face of the test families; returns the families of which no face
// loaded (empty when all did).
inline QStringList loadDejaVuFonts()
{
    QStringList missing;
    QSet<QString> added;
    for (const QString& family : testFontFamilies()) {
        bool loaded = false;
        for (const QString& file : fontFiles(family)) {
            if (added.contains(file))
                continue;
            added.insert(file);
            const int id = QFontDatabase::addApplicationFont(file);
            loaded = loaded || (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family));
        }
        if (!loaded)
            missing.append(family);
    }
    return missing;
}

} // namespace vorlix::test
