#pragma once
// Saving data the user asked to keep, through a save dialog.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vorlix::Files {

// Asks where to save PNG `data` (only PNG files offered, `name` filled in, new folders
// allowed) and returns at once: window-modal on `window`, or application-modal without
// one. On confirmation the data replaces the chosen file atomically; a failed write is
// shown in an alert with the system's message. Cancelling does nothing. `finished` runs
// once the dialog is answered, whether the data was saved or not.
void savePNG(const QByteArray& data, const QString& name, QWidget* window, std::function<void()> finished = {});

// Where save dialogs open: the pictures folder where there is one; never the program's
// working directory.
QString startFolder();

// The alert for a file that could not be written: its name, and the system's message.
void showWriteError(const QString& path, const QString& error, QWidget* window);

// Writes `data` to `path` atomically: the old file stays whole until the new one is
// complete. The system's message on failure.
std::optional<QString> writeAtomically(const QString& path, const QByteArray& data);

} // namespace vorlix::Files
