#pragma once
// Routes every file the program is asked to open, from the command line, from a later
// start or from the recent projects: a project package opens as a project (and goes to
// the top of the recent projects), an image file becomes a new one-image document, and
// anything else is refused with an alert. A file handed over is only ever read as a
// document: nothing is run, and nothing is passed on to other programs.

#include <QString>
#include <QStringList>

#include <functional>

namespace vorlix {

class CommandCenter;
class Settings;

class DocumentController {
public:
    enum class Kind { project, image, other };

    struct Hooks {
        std::function<void(const QString& path)> openProject;
        std::function<void(const QString& path)> openImage;
        std::function<void(const QString& path)> refuse;
    };

    explicit DocumentController(Hooks hooks) : m_hooks(std::move(hooks)) {}

    // Opening through the command centre: projects in an editor window each, images as
    // new documents, refusals and unreadable projects as alerts.
    static Hooks hooksFor(CommandCenter& commands, Settings& settings);

    // A project: the project extension in any case, a package's "document.json" or a
    // folder holding one; an image: an extension of an image type. Files are told apart
    // by their names only, never by running or sniffing them.
    static Kind kind(const QString& path);

    void openDocument(const QString& path) const;
    // Command URLs ("vorlix:...") go to the command centre; everything else is a file.
    void openURLsOrFiles(CommandCenter& commands, const QStringList& arguments) const;

private:
    Hooks m_hooks;
};

} // namespace vorlix
