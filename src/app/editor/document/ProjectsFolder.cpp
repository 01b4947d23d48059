#include "app/editor/document/ProjectsFolder.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/Alerts.h"
#include "app/support/AppConfig.h"
#include "app/support/Settings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace vorlix::ProjectsFolder {

using namespace Qt::StringLiterals;

namespace {

QString creationMessage()
{
    const QString name = AppConfig::name();
    return name + u" salva i progetti nella cartella «"_s + name +
           u"» dentro Documenti. Clicca «Crea qui» per crearla (serve una volta sola)."_s;
}

// The non-native dialog, so the starting folder and new folders work the same everywhere.
QFileDialog* folderDialog(const QString& title, const QString& directory)
{
    auto* dialog = new QFileDialog(nullptr, title, directory);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    return dialog;
}

// Calls `done` with the chosen path once the dialog is answered; not when it is deleted
// unanswered (its window went first).
void onAnswer(QFileDialog* dialog, std::function<void(std::optional<QString>)> done)
{
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done = std::move(done)](int result) {
        const QStringList chosen = dialog->selectedFiles();
        done(result == QDialog::Accepted && !chosen.isEmpty() ? std::optional(chosen.first()) : std::nullopt);
    });
}

QString withProjectExtension(const QString& path)
{
    const QString suffix = u'.' + AppConfig::projectExtension();
    QString cleaned = QDir::cleanPath(path);
    return cleaned.endsWith(suffix) ? cleaned : cleaned + suffix;
}

void showSavePanel(QWidget* window, Settings& settings, const QString& name, DocumentSaving::PathCompletion done)
{
    const BookmarkedFolder::Resolution projects = settings.projectsBookmark().resolve();
    const QString start = projects.kind == BookmarkedFolder::Resolution::Kind::usable
                              ? projects.path
                              : AppConfig::userDocumentsDirectory();
    QFileDialog* dialog = folderDialog(u"Salva progetto"_s, start);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(AppConfig::projectExtension());
    dialog->setNameFilter(u"Progetti (*."_s + AppConfig::projectExtension() + u')');
    dialog->selectFile(name + u'.' + AppConfig::projectExtension());
    onAnswer(dialog, [done = std::move(done)](std::optional<QString> path) {
        done(path ? std::optional(withProjectExtension(*path)) : std::nullopt);
    });
    Alerts::openModal(dialog, window);
}

} // namespace

QString folderFor(const QString& chosen, const QString& appName)
{
    const QString cleaned = QDir::cleanPath(chosen);
    if (QFileInfo(cleaned).fileName() == appName)
        return cleaned;
    return QDir(cleaned).filePath(appName);
}

Outcome adopt(const QString& chosen, Settings& settings)
{
    const QString folder = folderFor(QFileInfo(chosen).absoluteFilePath(), AppConfig::name());
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return {{}, u"Impossibile creare la cartella «%1»."_s.arg(folder)};
    if (!settings.projectsBookmark().set(folder))
        return {{}, u"Impossibile ricordare la cartella «%1»."_s.arg(folder)};
    return {folder, {}};
}

void create(QWidget* window, Settings& settings, std::function<void(std::optional<QString>)> done)
{
    QFileDialog* dialog = folderDialog(AppConfig::name(), AppConfig::userDocumentsDirectory());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, u"Crea qui"_s);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout())) {
        auto* message = new QLabel(creationMessage());
        message->setWordWrap(true);
        grid->addWidget(message, grid->rowCount(), 0, 1, grid->columnCount());
    }
    QPointer<QWidget> windowGuard = window;
    onAnswer(dialog, [&settings, windowGuard, done = std::move(done)](std::optional<QString> chosen) {
        if (!chosen) {
            done(std::nullopt);
            return;
        }
        const Outcome outcome = adopt(*chosen, settings);
        if (outcome.error.isEmpty()) {
            done(outcome.folder);
            return;
        }
        auto* box = new QMessageBox(QMessageBox::Warning, AppConfig::name(), outcome.error);
        box->addButton(u"OK"_s, QMessageBox::AcceptRole);
        Alerts::present(box, windowGuard, [done](int) { done(std::nullopt); });
    });
    Alerts::openModal(dialog, window);
}

void choosePackagePath(QWidget* window, Settings& settings, const QString& name, DocumentSaving::PathCompletion done)
{
    if (settings.projectsBookmark().resolve().kind == BookmarkedFolder::Resolution::Kind::usable) {
        showSavePanel(window, settings, name, std::move(done));
        return;
    }
    QPointer<QWidget> windowGuard = window;
    create(window, settings, [windowGuard, &settings, name, done = std::move(done)](std::optional<QString>) {
        showSavePanel(windowGuard, settings, name, done);
    });
}

DocumentSaving::PathChooser savePanel(QWidget* window, Settings& settings)
{
    QPointer<QWidget> windowGuard = window;
    return [windowGuard, &settings](ProjectDocument& document, DocumentSaving::PathCompletion done) {
        choosePackagePath(windowGuard, settings, document.displayName(), std::move(done));
    };
}

} // namespace vorlix::ProjectsFolder
