// Saving over an existing package when a step fails or the program dies half way.

#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"
#include "core/formats/ProjectPackageWriter.h"
#include "support/FaultyFileSystem.h"

#include "PackageFixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vorlix;
using namespace vorlix::test;
namespace Package = vorlix::ProjectPackage;

namespace {

DocumentModel newDocument()
{
    DocumentModel d = sampleDocument();
    d.annotations.push_back(Annotation::make(uuid(30), AnnotationKind::ellipse, {{0, 0}, {5, 5}}));
    return d;
}

ImageStore newStore()
{
    ImageStore store = sampleStore();
    store.add({pngBytes(Qt::yellow), QStringLiteral("png")}, firstImage);
    return store;
}

// Whether the package at `folder` is exactly the new save or the old one; nothing when
// it is neither or cannot be read whole.
std::optional<bool> holdsNewSave(const QString& folder)
{
    Package::Project project;
    try {
        project = Package::read(folder);
    } catch (const Package::ReadError&) {
        return std::nullopt;
    }
    const QByteArray first = project.images.asset(firstImage)->data;
    if (project.document == sampleDocument() && first == sampleStore().asset(firstImage)->data)
        return false;
    if (project.document == newDocument() && first == newStore().asset(firstImage)->data)
        return true;
    return std::nullopt;
}

} // namespace

TEST(PackageSaving, SaveCutOffAtAnyStepLeavesAWholePackage)
{
    for (const bool canExchange : {true, false}) {
        for (const bool killed : {false, true}) {
            for (int failAt = 1;; ++failAt) {
                SCOPED_TRACE(testing::Message()
                             << "exchange " << canExchange << ", killed " << killed << ", step " << failAt);
                QTemporaryDir dir;
                const QString target = dir.filePath("p.vorlix");
                Package::write(sampleDocument(), sampleStore(), target);

                FaultyFileSystem fileSystem(failAt, killed, canExchange);
                bool failed = false;
                try {
                    Package::write(newDocument(), newStore(), target, fileSystem);
                } catch (const Package::WriteError& e) {
                    failed = true;
                    EXPECT_TRUE(e.errorDescription().startsWith(u"Impossibile salvare il progetto: "));
                }

                if (!fileSystem.reachedFault()) {
                    EXPECT_FALSE(failed);
                    EXPECT_EQ(holdsNewSave(target), true);
                    EXPECT_EQ(entries(dir.path()), QStringList({"p.vorlix"}));
                    break;
                }
                if (!killed) {
                    // A failure is reported only while the old package is still in
                    // place, and then nothing of the attempt is left behind.
                    EXPECT_EQ(holdsNewSave(target), !failed);
                    if (failed) {
                        EXPECT_EQ(entries(dir.path()), QStringList({"p.vorlix"}));
                    }
                    continue;
                }
                const QStringList backups = QDir(dir.path()).entryList({"p.vorlix.bak-*"});
                if (QFileInfo::exists(target)) {
                    EXPECT_NE(holdsNewSave(target), std::nullopt);
                } else {
                    // Only without an atomic swap, between its two renames.
                    EXPECT_FALSE(canExchange);
                    ASSERT_EQ(backups.size(), 1);
                    EXPECT_EQ(holdsNewSave(dir.filePath(backups[0])), false);
                }
            }
        }
    }
}

TEST(PackageSaving, SavingAgainReplacesThePackageAndLeavesNothingBeside)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("p.vorlix");
    Package::write(sampleDocument(), sampleStore(), target);
    Package::write(newDocument(), newStore(), target);
    EXPECT_EQ(holdsNewSave(target), true);
    EXPECT_EQ(entries(dir.path()), QStringList({"p.vorlix"}));
}

TEST(PackageSaving, SavingIntoAMissingFolderFailsWithASystemReason)
{
    QTemporaryDir dir;
    try {
        Package::write(sampleDocument(), sampleStore(), dir.filePath("manca/p.vorlix"));
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Package::WriteError& e) {
        EXPECT_EQ(e.systemError(), ENOENT);
        EXPECT_EQ(e.errorDescription(), QStringLiteral("Impossibile salvare il progetto: No such file or directory."));
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}
