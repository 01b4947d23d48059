#pragma once
// The one way the application shows alerts and asks short questions, so that every window
// behaves the same. Nothing here blocks: each call opens its dialog and returns at once,
// and the answer arrives later through the completion, on the main thread.
//
// With a window the dialog is window-modal on it (the window is raised and activated
// first); without one it is application-modal. A dialog deletes itself once answered.
// If the window is closed and deleted first, its dialog goes with it and the completion
// is not called.

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QMessageBox;
class QWidget;

namespace vorlix::Alerts {

// Index of the pressed button, counted from 0 in the order the buttons were added to the
// box; -1 when the box was closed without a button (only possible programmatically).
using ButtonCompletion = std::function<void(int)>;
using TextCompletion = std::function<void(std::optional<QString>)>;

// Shows `dialog` window-modal on `window`, or application-modal without one, and returns.
// `dialog` becomes a child of the window, and is deleted after it finishes.
void openModal(QDialog* dialog, QWidget* window);

// Takes ownership of `box`. The completion may be empty.
void present(QMessageBox* box, QWidget* window, ButtonCompletion completion);

// Asks for one line of text: `title` and `message` above a field of `width` points and
// 24 points high in a font of `fontSize` points, holding `initial` and focused; buttons
// `confirm` and "Annulla". The completion gets the answer without surrounding white
// space, or nothing when the answer is blank or the question was cancelled.
void askText(const QString& title, const QString& message, const QString& initial, const QString& confirm,
             double fontSize, double width, QWidget* window, TextCompletion completion);

} // namespace vorlix::Alerts
