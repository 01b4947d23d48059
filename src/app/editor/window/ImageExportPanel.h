#pragma once
// The dialog that exports the annotated picture as one PNG or JPEG file: a save dialog
// with a grid below the file list for the format, the size (each choice shown with the
// pixel size it gives the current document), the background and the JPEG quality.
//
// The chosen size is remembered in the "exportSize" setting once the dialog is
// confirmed. Rendering, encoding and writing run off the interface thread on copies of
// the model and the image store, so a large picture never stalls the window; the file
// appears under its name only once it is complete.

#include "core/imaging/Exporter.h"
#include "core/model/DocumentModel.h"
#include "core/model/ExportBackground.h"
#include "core/model/ExportOptions.h"
#include "core/model/ExportSize.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QSlider;

namespace vorlix {

class ImageStore;
class ProjectDocument;
class Settings;

// How one export ended.
struct ImageExportOutcome {
    enum class Kind {
        written,     // the file is complete under its name
        noData,      // nothing could be rendered or encoded: nothing was written
        writeFailed, // `error` holds the system's message; nothing was left under the name
    };

    Kind kind = Kind::written;
    QString path;
    QString error;

    bool operator==(const ImageExportOutcome&) const = default;
};

class ImageExportPanel final : public QFileDialog {
public:
    using Finished = std::function<void(const ImageExportOutcome&)>;

    // The slider works in percent.
    static constexpr int minimumQuality = 30;
    static constexpr int maximumQuality = 100;
    static constexpr int defaultQuality = 85;

    ImageExportPanel(const ProjectDocument& document, Settings& settings, QWidget* parent = nullptr);

    // The size choices' titles for `model`, in ExportSize order: "Originale — 3200 × 1800".
    static QStringList sizeTitles(const DocumentModel& model);
    // Fills the size choices again for `model`, keeping the selection.
    void showSizes(const DocumentModel& model);

    QComboBox* formatBox() const { return m_format; }
    QComboBox* sizeBox() const { return m_size; }
    QComboBox* backgroundBox() const { return m_background; }
    QSlider* qualitySlider() const { return m_quality; }
    QLabel* qualityValue() const { return m_qualityValue; }
    QLabel* qualityLabel() const { return m_qualityLabel; }

    ExportSize chosenSize() const;
    ExportOptions chosenOptions() const;

    // Opens the dialog window-modal on `window` and returns. On confirmation the size is
    // stored, the picture exported to the chosen file, a failed write shown in an alert
    // on `window` and a picture that cannot be made answered with a beep; `finished`
    // then gets the outcome.
    static ImageExportPanel* open(const ProjectDocument& document, Settings& settings, QWidget* window,
                                  Finished finished = {});

    // Renders the picture of `model` with `options` and writes it to `path` atomically, on
    // a worker thread; `done` runs on the main thread (not at all once `context` is gone).
    static void exportInBackground(const DocumentModel& model, const ImageStore& images, const ExportOptions& options,
                                   const QString& path, QObject* context,
                                   std::function<void(const ImageExportOutcome&)> done);
    // The same, on the calling thread.
    static ImageExportOutcome exportNow(const DocumentModel& model, const ImageProviding& images,
                                        const ExportOptions& options, const QString& path);

private:
    void formatChanged();
    void qualityChanged();
    bool jpegChosen() const;

    QComboBox* m_format = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_background = nullptr;
    QSlider* m_quality = nullptr;
    QLabel* m_qualityValue = nullptr;
    QLabel* m_qualityLabel = nullptr;
};

} // namespace vorlix
