#pragma once
// One open project: the document editor with its undo history, the project's images,
// where the project lives on disk (nothing until it is first saved) and how its pictures
// are named. A new document starts from a valid empty model; a saved one is a project
// package folder. Nothing is ever written unless the user saves: no autosave.
//
// The edited state is the undo history's distance from its clean point, which a save or
// an open sets. Canvas geometry is in points; image sizes in pixels. Main thread only.

#include "app/support/Settings.h"

#include "core/formats/ImageStore.h"
#include "core/formats/PackageFileSystem.h"
#include "core/model/DocumentEditor.h"
#include "core/model/DocumentModel.h"
#include "core/model/ExportOptions.h"
#include "core/model/UndoManager.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QPageLayout>
#include <QString>

#include <memory>
#include <optional>
#include <variant>

class QMimeData;
class QPrinter;
class QWidget;

namespace vorlix {

class ProjectDocument : public QObject {
    Q_OBJECT
public:
    explicit ProjectDocument(Settings& settings = Settings::shared(), QObject* parent = nullptr);
    ~ProjectDocument() override;

    // The model of a new document: no panels or annotations, transparent, vertical layout.
    static DocumentModel emptyModel();

    // The package at `path` (its folder, or the "document.json" inside it), opened and
    // clean; or the Italian text of why it cannot be read.
    static std::variant<std::unique_ptr<ProjectDocument>, QString> open(const QString& path,
                                                                        Settings& settings = Settings::shared());
    // Replaces the model, the images and the file path by the package's, and forgets the
    // undo history. On failure nothing changes and the Italian reason is returned.
    std::optional<QString> read(const QString& path);

    DocumentEditor& editor() const { return *m_editor; }
    const DocumentModel& model() const { return m_editor->model(); }
    UndoManager& undoManager() { return m_undoManager; }
    ImageStore& images() { return m_images; }
    const ImageStore& images() const { return m_images; }
    Settings& settings() const { return m_settings; }

    // When the document was made (or the shot taken) and the application it shows; they
    // fill the name templates' {data}, {ora} and {app}.
    QDateTime createdAt;
    std::optional<QString> sourceAppName;

    // The package folder, once saved or opened.
    const std::optional<QString>& filePath() const { return m_filePath; }

    // Changed since the last save (or since it was made or opened).
    bool isEdited() const { return !m_undoManager.isClean(); }

    // The window title: the file name without its extension, or the project name template.
    QString displayName() const;
    // The base name of exported, copied and printed pictures: the file name without its
    // extension, or the image name template.
    QString imageName() const;

    // Writes the package at `path` (replacing one there only once the new one is whole),
    // then makes it the document's file and the clean point. The Italian error otherwise,
    // with the document as it was.
    std::optional<QString> saveAs(const QString& path, PackageFileSystem& fileSystem = PackageFileSystem::system());
    // saveAs the present file; an error when the document has none yet.
    std::optional<QString> save(PackageFileSystem& fileSystem = PackageFileSystem::system());

    // The look of a window shot: transparent, 40 points of padding, shadowed panels with
    // corners of 12. Where the document starts, so it records no undo step (and drops
    // any earlier ones); call it before any window shows the editor.
    void applyWindowFrame();

    // Adds the encoded picture, stored byte for byte, as a new panel in one undo step
    // named `actionName`, at `pixelsPerPoint` or else the density the data records.
    // False, and nothing changes, when the data is no readable picture. `decoded`, when
    // given, is the picture the data was encoded from (a shot's image): it is kept as the
    // decode, so the first paint does not decode the data again.
    bool addImage(const QByteArray& data, const QString& fileExtension, std::optional<double> pixelsPerPoint,
                  const QString& actionName, const QImage& decoded = {});
    // Adds the picture of clipboard or drop data as a PNG panel ("Aggiungi immagine").
    bool addImage(const QMimeData& data);

    // Renders the document and puts the PNG on the clipboard with the notice "Immagine
    // copiata" over `window`; beeps when there is nothing to copy.
    void copyImageToPasteboard(QWidget* window);
    // The document rendered and encoded with the options; nothing on failure.
    std::optional<QByteArray> exportData(const ExportOptions& options) const;
    // The whole document at its native density in sRGB over its own background.
    static ExportOptions pictureOptions();

    // Prints the rendered document on `printer`: landscape when the canvas is wider than
    // high, at its size in points or shrunk to fit the page, centred; the job is named
    // `imageName()`. The Italian error when nothing could be printed.
    std::optional<QString> print(QPrinter& printer) const;
    // Asks for a printer with the print dialog (window-modal on `window`) and prints;
    // a failure is shown in an alert.
    void showPrintDialog(QWidget* window);
    // The page format for printing, asked with the page setup dialog (window-modal on
    // `window`) and kept for this document's later prints.
    void showPageLayoutDialog(QWidget* window);

signals:
    // The edited state changed.
    void editedChanged(bool edited);
    // The file path, and so the names, changed.
    void filePathChanged();
    // `editor()` is a new object (after read and applyWindowFrame): drop references to
    // the old one.
    void editorReplaced();
    // An image was added as a panel: the window fits its zoom to the canvas.
    void imageAdded();

private:
    void replaceEditor(DocumentModel model);
    QString fileBaseName() const;

    Settings& m_settings;
    UndoManager m_undoManager;
    std::unique_ptr<DocumentEditor> m_editor;
    ImageStore m_images;
    std::optional<QString> m_filePath;
    std::optional<QPageLayout> m_pageLayout;
};

} // namespace vorlix
