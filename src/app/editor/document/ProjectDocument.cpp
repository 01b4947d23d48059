#include "app/editor/document/ProjectDocument.h"

#include "app/editor/document/DocumentPrinting.h"
#include "app/editor/document/PastedImage.h"
#include "app/support/Alerts.h"
#include "app/support/Beeper.h"
#include "app/support/Pasteboard.h"

#include "core/document/PanelComposition.h"
#include "core/formats/PhotoOrientation.h"
#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"
#include "core/formats/ProjectPackageWriter.h"
#include "core/imaging/Exporter.h"
#include "core/imaging/ImageCoding.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QUuid>

#include <cmath>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

// A damaged "document.json" (or any other failure of the reader) in words for the user.
const QString unreadableDocument = u"Il progetto è danneggiato: il documento non è leggibile."_s;
const QString noPath = u"Impossibile salvare il progetto: manca il percorso del file."_s;

// The package folder named by `path`: the folder itself, or the folder of its document.
QString packageFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.fileName() == QLatin1StringView(ProjectPackage::documentFileName.data()) && info.isFile())
        return info.absolutePath();
    return QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

ProjectDocument::ProjectDocument(Settings& settings, QObject* parent)
    : QObject(parent), createdAt(QDateTime::currentDateTime()), m_settings(settings)
{
    // Every change is one undo step of its own, so the edited state follows each at once.
    m_undoManager.setGroupsByEvent(false);
    m_editor = std::make_unique<DocumentEditor>(emptyModel(), m_undoManager);
    connect(&m_undoManager, &UndoManager::cleanChanged, this, [this](bool clean) { emit editedChanged(!clean); });
}

ProjectDocument::~ProjectDocument()
{
    // The editor's undo steps go with it, before the manager itself.
    m_editor.reset();
}

DocumentModel ProjectDocument::emptyModel()
{
    DocumentModel model;
    model.formatVersion = DocumentModel::currentFormatVersion;
    model.background = TransparentBackground{};
    model.padding = 0;
    model.layout = PanelLayout{PanelLayout::Mode::vertical, 24};
    model.numberingStart = 1;
    model.showsStepNumbers = false;
    model.panelShadow = false;
    model.panelCornerRadius = 0;
    model.cutMark = CutMark::lightning;
    return model;
}

// ---- Reading and saving ------------------------------------------------------------------

std::variant<std::unique_ptr<ProjectDocument>, QString> ProjectDocument::open(const QString& path, Settings& settings)
{
    auto document = std::make_unique<ProjectDocument>(settings);
    if (std::optional<QString> error = document->read(path))
        return *error;
    return document;
}

std::optional<QString> ProjectDocument::read(const QString& path)
{
    const QString folder = packageFolder(path);
    ProjectPackage::Project project;
    try {
        project = ProjectPackage::read(folder);
    } catch (const ProjectPackage::ReadError& error) {
        return error.errorDescription();
    } catch (const std::exception&) {
        return unreadableDocument;
    }
    m_images = std::move(project.images);
    replaceEditor(std::move(project.document));
    m_undoManager.removeAllActions();
    m_undoManager.markClean();
    m_filePath = folder;
    emit filePathChanged();
    return std::nullopt;
}

std::optional<QString> ProjectDocument::saveAs(const QString& path, PackageFileSystem& fileSystem)
{
    // An empty path would name the working folder, which the save would swap away.
    if (path.trimmed().isEmpty())
        return noPath;
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    try {
        ProjectPackage::write(model(), m_images, folder, fileSystem);
    } catch (const ProjectPackage::WriteError& error) {
        return error.errorDescription();
    } catch (const ProjectPackage::ReadError& error) {
        return error.errorDescription();
    }
    m_editor->markSaved();
    if (m_filePath != folder) {
        m_filePath = folder;
        emit filePathChanged();
    }
    return std::nullopt;
}

std::optional<QString> ProjectDocument::save(PackageFileSystem& fileSystem)
{
    if (!m_filePath)
        return noPath;
    return saveAs(*m_filePath, fileSystem);
}

void ProjectDocument::replaceEditor(DocumentModel model)
{
    // The old editor takes its undo steps with it when it goes.
    m_editor = std::make_unique<DocumentEditor>(std::move(model), m_undoManager);
    emit editorReplaced();
}

// ---- Names -------------------------------------------------------------------------------

QString ProjectDocument::fileBaseName() const { return QFileInfo(*m_filePath).completeBaseName(); }

QString ProjectDocument::displayName() const
{
    if (m_filePath)
        return fileBaseName();
    return m_settings.get(setting::filenameTemplate).render(createdAt, sourceAppName);
}

QString ProjectDocument::imageName() const
{
    if (m_filePath)
        return fileBaseName();
    return m_settings.get(setting::imageFilenameTemplate).render(createdAt, sourceAppName);
}

// ---- Changes -----------------------------------------------------------------------------

void ProjectDocument::applyWindowFrame()
{
    DocumentModel framed = model();
    framed.background = TransparentBackground{};
    framed.padding = 40;
    framed.panelShadow = true;
    framed.panelCornerRadius = 12;
    replaceEditor(std::move(framed));
}

bool ProjectDocument::addImage(const QByteArray& data, const QString& fileExtension,
                               std::optional<double> pixelsPerPoint, const QString& actionName, const QImage& decoded)
{
    const std::optional<PhotoOrientation::Properties> properties = PhotoOrientation::properties(data);
    if (!properties)
        return false;
    // A density that is no positive number would give a panel of no size or of NaN.
    const double density = pixelsPerPoint && std::isfinite(*pixelsPerPoint) && *pixelsPerPoint > 0
                               ? *pixelsPerPoint
                               : properties->pixelsPerPoint;
    const QUuid imageID = QUuid::createUuid();
    m_images.add(ImageAsset{data, fileExtension}, imageID, decoded);
    m_editor->perform(actionName, [&](DocumentModel& doc) {
        addPanel(doc, imageID, properties->pixelSize, density, properties->orientation);
    });
    emit imageAdded();
    return true;
}

bool ProjectDocument::addImage(const QMimeData& data)
{
    const std::optional<PastedImage> pasted = PastedImage::read(data);
    if (!pasted)
        return false;
    const std::optional<QByteArray> png =
        ImageCoding::encode(pasted->image, ImageType::png, pasted->pixelsPerPoint, 0.9);
    if (!png)
        return false;
    return addImage(*png, u"png"_s, pasted->pixelsPerPoint, u"Aggiungi immagine"_s, pasted->image);
}

// ---- Pictures ----------------------------------------------------------------------------

ExportOptions ProjectDocument::pictureOptions()
{
    ExportOptions options;
    options.resolution = ExportOptions::Native{};
    options.color = ExportOptions::ColorHandling::sRGB;
    options.format = ExportOptions::Png{};
    options.background = std::nullopt;
    return options;
}

void ProjectDocument::copyImageToPasteboard(QWidget* window)
{
    const ExportOptions options = pictureOptions();
    const std::optional<QImage> image = Exporter::renderImage(model(), m_images, options);
    if (!image) {
        Beeper::beep();
        return;
    }
    const double density = Exporter::pixelsPerPoint(model(), options);
    const std::optional<QByteArray> png = ImageCoding::encode(*image, ImageType::png, density, 0.9);
    if (!png) {
        Beeper::beep();
        return;
    }
    // Receivers wanting another type get it decoded from the PNG (see Pasteboard).
    Pasteboard::copyPNG(*png, std::nullopt, u"Immagine copiata"_s, window);
}

std::optional<QByteArray> ProjectDocument::exportData(const ExportOptions& options) const
{
    return Exporter::exportImage(model(), m_images, options);
}

std::optional<QString> ProjectDocument::print(QPrinter& printer) const
{
    return DocumentPrinting::print(model(), m_images, pictureOptions(), imageName(), printer);
}

void ProjectDocument::showPrintDialog(QWidget* window)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (m_pageLayout)
        printer->setPageLayout(*m_pageLayout);
    auto* dialog = new QPrintDialog(printer.get());
    QObject::connect(dialog, &QDialog::accepted, this, [this, printer, window = QPointer<QWidget>(window)] {
        if (const std::optional<QString> error = print(*printer)) {
            auto* box = new QMessageBox(QMessageBox::Warning, u"Stampa non riuscita"_s, *error);
            box->addButton(u"OK"_s, QMessageBox::AcceptRole);
            Alerts::present(box, window, {});
        }
    });
    Alerts::openModal(dialog, window);
}

void ProjectDocument::showPageLayoutDialog(QWidget* window)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (m_pageLayout)
        printer->setPageLayout(*m_pageLayout);
    auto* dialog = new QPageSetupDialog(printer.get());
    QObject::connect(dialog, &QDialog::accepted, this, [this, printer] { m_pageLayout = printer->pageLayout(); });
    Alerts::openModal(dialog, window);
}

} // namespace vorlix
