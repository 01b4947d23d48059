#include "app/editor/document/DocumentSaving.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/Alerts.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace vorlix::DocumentSaving {

using namespace Qt::StringLiterals;

namespace {

void showSaveError(const QString& error, QWidget* window)
{
    auto* box = new QMessageBox(QMessageBox::Warning, u"Salvataggio non riuscito"_s, error);
    box->addButton(u"OK"_s, QMessageBox::AcceptRole);
    Alerts::present(box, window, {});
}

void saveTo(ProjectDocument& document, const QString& path, QWidget* window, const Completion& done)
{
    if (const std::optional<QString> error = document.saveAs(path)) {
        showSaveError(*error, window);
        done(false);
        return;
    }
    done(true);
}

} // namespace

void save(ProjectDocument& document, QWidget* window, const PathChooser& choosePath, bool asNew, Completion done)
{
    if (document.filePath() && !asNew) {
        saveTo(document, *document.filePath(), window, done);
        return;
    }
    QPointer<ProjectDocument> guard = &document;
    QPointer<QWidget> windowGuard = window;
    choosePath(document, [guard, windowGuard, done = std::move(done)](std::optional<QString> path) {
        if (!guard)
            return;
        if (!path) {
            done(false);
            return;
        }
        saveTo(*guard, *path, windowGuard, done);
    });
}

void confirmClose(ProjectDocument& document, QWidget* window, PathChooser choosePath, Completion done)
{
    if (!document.isEdited() || !document.settings().get(setting::askToSaveOnClose)) {
        done(true);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, u"Salvataggio progetto"_s, u"Salvataggio progetto"_s);
    box->setInformativeText(u"Salvando il progetto, i componenti salvati restano modificabili."_s);
    box->addButton(u"Salva…"_s, QMessageBox::AcceptRole);
    box->addButton(u"Non salvare"_s, QMessageBox::DestructiveRole)->setShortcut(QKeySequence(u"Ctrl+D"_s));
    box->addButton(u"Annulla"_s, QMessageBox::RejectRole);

    QPointer<ProjectDocument> guard = &document;
    QPointer<QWidget> windowGuard = window;
    Alerts::present(box, window,
                    [guard, windowGuard, choosePath = std::move(choosePath), done = std::move(done)](int answer) {
                        if (!guard)
                            return;
                        switch (answer) {
                        case 0:
                            save(*guard, windowGuard, choosePath, false, done);
                            return;
                        case 1:
                            done(true);
                            return;
                        default:
                            done(false);
                            return;
                        }
                    });
}

} // namespace vorlix::DocumentSaving
