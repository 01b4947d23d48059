#pragma once
// The user's saves and the question asked before an edited project closes. Each runs
// through dialogs that do not block and ends in a completion on the main thread. A
// completion holds the document weakly: once the document is gone, it is not called.

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vorlix {

class ProjectDocument;

namespace DocumentSaving {

// Asks where a project goes: the path of the package folder, or nothing when cancelled.
using PathCompletion = std::function<void(std::optional<QString>)>;
using PathChooser = std::function<void(ProjectDocument&, PathCompletion)>;
// True when the document was written (a save), or may close (the close question).
using Completion = std::function<void(bool)>;

// Saves to the document's package, or, when it has none or `asNew`, to a path asked of
// `choosePath`. A failed write is shown in an alert on `window` (application-modal
// without one); `done(false)` then, and when the path was not given.
void save(ProjectDocument& document, QWidget* window, const PathChooser& choosePath, bool asNew, Completion done);

// Whether the document may close. Without changes, or with the setting
// "askToSaveOnClose" off, it may at once (changes are dropped). Otherwise the alert
// "Salvataggio progetto" asks: "Salva…" saves and closes only when the save succeeded,
// "Non salvare" (Ctrl+D) closes without saving, "Annulla" keeps it open.
void confirmClose(ProjectDocument& document, QWidget* window, PathChooser choosePath, Completion done);

} // namespace DocumentSaving

} // namespace vorlix
