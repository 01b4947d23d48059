#include "app/shell/documents/DocumentController.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/shell/commands/CommandCenter.h"
#include "app/shell/menus/MainMenu.h"
#include "app/support/AppConfig.h"

#include <QFileInfo>
#include <QMimeDatabase>

using namespace Qt::StringLiterals;

namespace vorlix {

DocumentController::Kind DocumentController::kind(const QString& path)
{
    const QFileInfo file(path);
    // A package saved under another name still holds its document.
    if (file.suffix().compare(AppConfig::projectExtension(), Qt::CaseInsensitive) == 0 ||
        file.fileName() == u"document.json"_s || QFileInfo(file.filePath() + u"/document.json"_s).isFile())
        return Kind::project;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    if (type.isValid() && type.name().startsWith(u"image/"_s))
        return Kind::image;
    return Kind::other;
}

void DocumentController::openDocument(const QString& path) const
{
    switch (kind(path)) {
    case Kind::project:
        m_hooks.openProject(path);
        return;
    case Kind::image:
        m_hooks.openImage(path);
        return;
    case Kind::other:
        m_hooks.refuse(path);
        return;
    }
}

void DocumentController::openURLsOrFiles(CommandCenter& commands, const QStringList& arguments) const
{
    for (const QString& argument : arguments) {
        if (argument.startsWith(u"vorlix:"_s, Qt::CaseInsensitive))
            commands.performURL(argument);
        else
            openDocument(argument);
    }
}

DocumentController::Hooks DocumentController::hooksFor(CommandCenter& commands, Settings& settings)
{
    Hooks hooks;
    hooks.openProject = [&commands, &settings](const QString& path) {
        auto opened = ProjectDocument::open(path, settings);
        if (auto* document = std::get_if<std::unique_ptr<ProjectDocument>>(&opened)) {
            MainMenu::noteRecentProject(path);
            commands.hooks.openDocument(std::move(*document));
        } else {
            commands.hooks.showAlert({std::get<QString>(opened), {}, {u"OK"_s}}, {});
        }
    };
    hooks.openImage = [&commands](const QString& path) { commands.openImage(path); };
    hooks.refuse = [&commands](const QString& path) {
        commands.hooks.showAlert({u"Impossibile aprire il documento «%1»."_s.arg(QFileInfo(path).fileName()),
                                  AppConfig::name() + u" apre solo immagini e progetti."_s,
                                  {u"OK"_s}},
                                 {});
    };
    return hooks;
}

} // namespace vorlix
