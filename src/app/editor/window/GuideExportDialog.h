#pragma once
// The dialog that exports a document as a step-by-step guide, one step per panel: either
// one PDF file or a folder holding a picture per step and "guida.md". With the folder
// choice no file type is imposed, so the chosen name becomes the folder's.

#include "core/imaging/GuideExporter.h"

#include <QFileDialog>
#include <QString>

#include <vector>

class QComboBox;

namespace vorlix {

class ProjectDocument;

class GuideExportDialog final : public QFileDialog {
public:
    enum class Format { pdf, markdown };

    GuideExportDialog(const ProjectDocument& document, QWidget* parent = nullptr);

    QComboBox* formatBox() const { return m_format; }
    Format chosenFormat() const;

    // Opens the dialog window-modal on `window` and returns; on confirmation the guide of
    // the document as it is then is written where the user chose.
    static GuideExportDialog* show(const ProjectDocument& document, QWidget* window);

    // Writes the guide of `steps` to `path` in `format`, titled with the last part of the
    // path without its extension. No steps or no PDF: a beep and nothing written. A file
    // or folder that cannot be written, or step pictures that could not be made, are told
    // in an alert on `window`. True when the guide was written.
    static bool write(const std::vector<GuideExporter::Step>& steps, const QString& path, Format format,
                      QWidget* window);

private:
    void formatChanged();

    QComboBox* m_format = nullptr;
};

} // namespace vorlix
