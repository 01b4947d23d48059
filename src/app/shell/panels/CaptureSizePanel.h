#pragma once
// The dialog that asks for a fixed capture size: for a capture ("Cattura area di misura
// fissa", which may also add the size to the favourites) or for a new favourite ("Nuova
// misura fissa"). A size is only given on when it is valid: a refused one keeps the
// dialog open with the typed values and the problem in red under them.
//
// Nothing is stored here; the callers keep the size. Main thread only.

#include "app/shell/panels/CaptureSizeForm.h"

#include "core/formats/CaptureSize.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace vorlix {

namespace CaptureSizePanel {

// The size 1280 × 720 px the form starts with when no size was used before.
inline constexpr CaptureSize standardSize{.width = 1280, .height = 720, .ratioOnly = false};

// The confirmed size, and whether to add it to the favourites: the favourite switch of a
// form for a capture, always true for a new favourite.
using Completion = std::function<void(const CaptureSize& size, bool addToFavorites)>;

// Shows `form` in its dialog and returns the dialog at once: window-modal on `window`, or
// with none application-modal after activating the program. `problem` is shown under the
// fields from the start. The dialog deletes itself (and the form) once answered;
// "Annulla" calls nothing.
QDialog* present(std::unique_ptr<CaptureSizeForm> form, const std::optional<QString>& problem, QWidget* window,
                 Completion completion);

// The problem with a size on the screens connected now; nothing when it is valid.
std::optional<QString> problem(const CaptureSize& size);

// The form for a capture, started with `size` and the favourite switch off, without a
// window. The command centre picks the size and keeps the answer.
QDialog* askForCapture(const CaptureSize& size, Completion completion);

} // namespace CaptureSizePanel

} // namespace vorlix
