#pragma once
// Where new projects are saved: a folder named after the application, which the user
// makes once (normally inside Documents) and which the settings remember. The save
// dialog of a never-saved project starts there, or in Documents while there is none.

#include "app/editor/document/DocumentSaving.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vorlix {

class Settings;

namespace ProjectsFolder {

// The projects folder for a folder the user picked: the folder itself when it is already
// named `appName`, else `appName` inside it.
QString folderFor(const QString& chosen, const QString& appName);

struct Outcome {
    QString folder; // made and remembered; empty on failure
    QString error;  // Italian, for an alert
};
// Makes the projects folder for `chosen` (an existing one is fine) and remembers it as
// the projects folder. On failure the remembered folder stays as it was.
Outcome adopt(const QString& chosen, Settings& settings);

// Asks for the place of the projects folder ("Crea qui", starting in Documents), then
// adopts it; a failure is shown in an alert. Nothing when cancelled or failed.
void create(QWidget* window, Settings& settings, std::function<void(std::optional<QString>)> done);

// The save dialog of a project named `name`: first, while no projects folder is usable,
// the step that creates one; then a dialog saving a package folder with the project
// extension, starting in the projects folder, else in Documents.
void choosePackagePath(QWidget* window, Settings& settings, const QString& name, DocumentSaving::PathCompletion done);

// choosePackagePath with the document's display name, for DocumentSaving.
DocumentSaving::PathChooser savePanel(QWidget* window, Settings& settings);

} // namespace ProjectsFolder

} // namespace vorlix
