// The projects folder: where it is made, and the "Crea qui" step before the first save.

#include "app/editor/document/ProjectsFolder.h"

#include "DocumentFixtures.h"

#include "app/support/AppConfig.h"

#include "support/EventLoopWaits.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QWidget>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

using Kind = BookmarkedFolder::Resolution::Kind;

QFileDialog* openDialog(const QWidget& window)
{
    QFileDialog* found = nullptr;
    waitUntil([&] {
        for (QFileDialog* dialog : window.findChildren<QFileDialog*>())
            if (dialog->isVisible())
                found = dialog;
        return found != nullptr;
    });
    return found;
}

} // namespace

TEST(ProjectsFolder, AFolderAlreadyNamedAfterTheAppIsUsedAsItIs)
{
    const struct {
        QString chosen;
        QString expected;
    } cases[] = {
        {u"/home/u/Documenti"_s, u"/home/u/Documenti/Vorlix"_s},
        {u"/home/u/Documenti/Vorlix"_s, u"/home/u/Documenti/Vorlix"_s},
        {u"/home/u/Documenti/Vorlix/"_s, u"/home/u/Documenti/Vorlix"_s},
        {u"/home/u/vorlix"_s, u"/home/u/vorlix/Vorlix"_s},
        {u"/"_s, u"/Vorlix"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        EXPECT_EQ(ProjectsFolder::folderFor(c.chosen, u"Vorlix"_s), c.expected);
    }
}

TEST_F(DocumentTest, AdoptingMakesTheFolderAndRemembersItOrChangesNothing)
{
    QTemporaryDir dir;
    const QString name = AppConfig::name();
    const ProjectsFolder::Outcome made = ProjectsFolder::adopt(dir.path(), settings);
    EXPECT_EQ(made.error, QString());
    EXPECT_EQ(made.folder, dir.filePath(name));
    EXPECT_TRUE(QFileInfo(made.folder).isDir());
    EXPECT_EQ(settings.projectsBookmark().resolve(), BookmarkedFolder::Resolution::usable(made.folder));

    const ProjectsFolder::Outcome again = ProjectsFolder::adopt(made.folder, settings);
    EXPECT_EQ(again.folder, made.folder) << "no second folder inside the first";
    EXPECT_FALSE(QFileInfo::exists(made.folder + u'/' + name));

    QFile blocker(dir.filePath(u"file"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ProjectsFolder::Outcome failed = ProjectsFolder::adopt(blocker.fileName(), settings);
    EXPECT_EQ(failed.folder, QString());
    EXPECT_TRUE(failed.error.startsWith(u"Impossibile creare la cartella «"_s)) << failed.error.toStdString();
    EXPECT_EQ(settings.projectsBookmark().resolve(), BookmarkedFolder::Resolution::usable(made.folder));
}

TEST_F(DocumentTest, TheFirstSaveMakesTheProjectsFolderThenSavesThere)
{
    QTemporaryDir documents;
    QWidget window;
    window.show();
    std::vector<std::optional<QString>> answers;
    ProjectsFolder::choosePackagePath(&window, settings, u"Nome"_s, [&](auto path) { answers.push_back(path); });

    QFileDialog* create = openDialog(window);
    ASSERT_TRUE(create);
    EXPECT_EQ(create->labelText(QFileDialog::Accept), u"Crea qui"_s);
    EXPECT_EQ(create->fileMode(), QFileDialog::Directory);
    create->setDirectory(documents.path());
    create->selectFile(documents.path());
    static_cast<QDialog*>(create)->accept(); // QFileDialog hides its override
    runDeferredDeletes();

    const QString projects = documents.filePath(AppConfig::name());
    EXPECT_TRUE(QFileInfo(projects).isDir());
    QFileDialog* save = openDialog(window);
    ASSERT_TRUE(save);
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(QDir(save->directory()).absolutePath(), projects);
    EXPECT_TRUE(answers.empty());
    save->selectFile(projects + u"/Nome"_s);
    static_cast<QDialog*>(save)->accept();
    EXPECT_EQ(answers, (std::vector<std::optional<QString>>{projects + u"/Nome.vorlix"_s}));
}
