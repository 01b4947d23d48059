// Saving from the interface and the question before an edited project closes.

#include "app/editor/document/DocumentSaving.h"

#include "DocumentFixtures.h"

#include "support/EventLoopWaits.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

using namespace vorlix;
using namespace vorlix::test;
using namespace Qt::StringLiterals;

namespace {

QMessageBox* openBox(const QWidget& window)
{
    for (QMessageBox* box : window.findChildren<QMessageBox*>())
        if (box->isVisible())
            return box;
    return nullptr;
}

QStringList buttonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (QAbstractButton* button : box.buttons())
        texts << button->text();
    return texts;
}

void press(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
}

struct SavingTest : DocumentTest {
    QTemporaryDir dir;
    QWidget window;
    int pathQuestions = 0;
    std::optional<QString> chosenPath;
    std::vector<bool> results;

    SavingTest()
    {
        window.show();
        document.editor().perform(u"Aggiungi freccia"_s, [](DocumentModel& doc) {
            doc.annotations.push_back(Annotation::make(QUuid::createUuid(), AnnotationKind::arrow, {{0, 0}, {9, 9}}));
        });
    }

    DocumentSaving::PathChooser chooser()
    {
        return [this](ProjectDocument&, DocumentSaving::PathCompletion done) {
            ++pathQuestions;
            done(chosenPath);
        };
    }
    DocumentSaving::Completion recorder()
    {
        return [this](bool result) { results.push_back(result); };
    }
};

} // namespace

TEST_F(SavingTest, NoQuestionWithoutChangesOrWithTheSettingOff)
{
    settings.set(setting::askToSaveOnClose, false);
    DocumentSaving::confirmClose(document, &window, chooser(), recorder());
    EXPECT_EQ(results, std::vector<bool>{true});
    EXPECT_FALSE(openBox(window));
    EXPECT_FALSE(document.filePath()) << "closing drops the changes";
    EXPECT_EQ(pathQuestions, 0);

    settings.set(setting::askToSaveOnClose, true);
    document.undoManager().undo();
    ASSERT_FALSE(document.isEdited());
    DocumentSaving::confirmClose(document, &window, chooser(), recorder());
    EXPECT_EQ(results, (std::vector<bool>{true, true}));
    EXPECT_FALSE(openBox(window));
}

TEST_F(SavingTest, EachAnswerDoesWhatItSays)
{
    const QString target = dir.filePath(u"scelto.vorlix"_s);
    const QString own = dir.filePath(u"proprio.vorlix"_s);
    const QString unwritable = dir.filePath(u"manca/scelto.vorlix"_s);
    struct Case {
        const char* name;
        QString button;
        std::optional<QString> ownFile;
        std::optional<QString> chosen;
        bool closes;
        int pathQuestions;
        std::optional<QString> savedAt;
        bool errorShown;
    };
    const Case cases[] = {
        {"don't save", u"Non salvare"_s, {}, target, true, 0, {}, false},
        {"cancel", u"Annulla"_s, {}, target, false, 0, {}, false},
        {"save a new project", u"Salva…"_s, {}, target, true, 1, target, false},
        {"save to its own file", u"Salva…"_s, own, target, true, 0, own, false},
        {"save panel cancelled", u"Salva…"_s, {}, std::nullopt, false, 1, {}, false},
        {"save failed", u"Salva…"_s, {}, unwritable, false, 1, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectDocument project(settings);
        if (c.ownFile) {
            ASSERT_EQ(project.saveAs(*c.ownFile), std::nullopt);
        }
        project.editor().perform(u"Aggiungi freccia"_s, [](DocumentModel& doc) {
            doc.annotations.push_back(Annotation::make(QUuid::createUuid(), AnnotationKind::arrow, {{0, 0}, {9, 9}}));
        });
        const DocumentModel edited = project.model();
        chosenPath = c.chosen;
        pathQuestions = 0;
        results.clear();

        DocumentSaving::confirmClose(project, &window, chooser(), recorder());
        QMessageBox* box = openBox(window);
        ASSERT_TRUE(box);
        EXPECT_TRUE(results.empty()) << "nothing decided before the answer";
        EXPECT_EQ(box->text(), u"Salvataggio progetto"_s);
        EXPECT_EQ(box->informativeText(), u"Salvando il progetto, i componenti salvati restano modificabili."_s);
        EXPECT_EQ(buttonTexts(*box).size(), 3);
        press(*box, c.button);
        runDeferredDeletes();

        EXPECT_EQ(results, std::vector<bool>{c.closes});
        EXPECT_EQ(pathQuestions, c.pathQuestions);
        if (c.savedAt) {
            EXPECT_FALSE(project.isEdited());
            EXPECT_EQ(project.filePath(), c.savedAt);
            auto reopened = ProjectDocument::open(*c.savedAt, settings);
            ASSERT_TRUE(std::holds_alternative<std::unique_ptr<ProjectDocument>>(reopened));
            EXPECT_EQ(std::get<std::unique_ptr<ProjectDocument>>(reopened)->model(), edited);
        } else {
            EXPECT_TRUE(project.isEdited());
            EXPECT_FALSE(QFileInfo::exists(target));
        }
        QMessageBox* error = openBox(window);
        EXPECT_EQ(error != nullptr, c.errorShown);
        if (error) {
            EXPECT_TRUE(error->text().startsWith(u"Impossibile salvare il progetto: "_s))
                << error->text().toStdString();
            error->close();
            runDeferredDeletes();
        }
        QDir(own).removeRecursively();
        QDir(target).removeRecursively();
    }
}

TEST_F(SavingTest, TheDontSaveButtonAnswersCtrlDAndAGoneDocumentHearsNothing)
{
    auto project = std::make_unique<ProjectDocument>(settings);
    project->editor().perform(u"Aggiungi freccia"_s, [](DocumentModel& doc) {
        doc.annotations.push_back(Annotation::make(QUuid::createUuid(), AnnotationKind::arrow, {{0, 0}, {9, 9}}));
    });
    DocumentSaving::confirmClose(*project, &window, chooser(), recorder());
    QMessageBox* box = openBox(window);
    ASSERT_TRUE(box);
    for (QAbstractButton* button : box->buttons())
        EXPECT_EQ(button->shortcut() == QKeySequence(u"Ctrl+D"_s), button->text() == u"Non salvare"_s);

    project.reset();
    press(*box, u"Non salvare"_s);
    EXPECT_TRUE(results.empty());
}

TEST_F(SavingTest, SaveAsAlwaysAsksAndSaveUsesTheFileOnceThereIsOne)
{
    const QString first = dir.filePath(u"primo.vorlix"_s);
    const QString second = dir.filePath(u"secondo.vorlix"_s);
    chosenPath = first;
    DocumentSaving::save(document, &window, chooser(), false, recorder());
    chosenPath = second;
    DocumentSaving::save(document, &window, chooser(), false, recorder());
    EXPECT_EQ(pathQuestions, 1);
    EXPECT_EQ(document.filePath(), first);
    DocumentSaving::save(document, &window, chooser(), true, recorder());
    EXPECT_EQ(pathQuestions, 2);
    EXPECT_EQ(document.filePath(), second);
    EXPECT_EQ(results, (std::vector<bool>{true, true, true}));
}
