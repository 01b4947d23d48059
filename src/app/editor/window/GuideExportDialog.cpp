#include "app/editor/window/GuideExportDialog.h"

#include "app/editor/document/ProjectDocument.h"
#include "app/support/Alerts.h"
#include "app/support/Beeper.h"
#include "app/support/Files.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

namespace vorlix {

using namespace Qt::StringLiterals;

namespace {

void showAlert(const QString& text, const QString& detail, QWidget* window)
{
    auto* box = new QMessageBox(QMessageBox::Warning, u"Esporta come guida"_s, text);
    box->setInformativeText(detail);
    box->addButton(QMessageBox::Ok);
    Alerts::present(box, window, nullptr);
}

} // namespace

GuideExportDialog::GuideExportDialog(const ProjectDocument& document, QWidget* parent) : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setWindowTitle(u"Esporta come guida"_s);

    m_format = new QComboBox;
    m_format->addItems({u"PDF"_s, u"Markdown (cartella con le immagini)"_s});
    auto* accessory = new QWidget;
    auto* row = new QHBoxLayout(accessory);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(8);
    auto* label = new QLabel(u"Formato:"_s);
    label->setBuddy(m_format);
    row->addWidget(label);
    row->addWidget(m_format);
    row->addStretch();
    if (auto* dialogLayout = qobject_cast<QGridLayout*>(layout()))
        dialogLayout->addWidget(accessory, dialogLayout->rowCount(), 0, 1, -1);

    setDirectory(Files::startFolder());
    selectFile(document.imageName() + u" - guida"_s);
    connect(m_format, &QComboBox::currentIndexChanged, this, [this] { formatChanged(); });
    formatChanged();
}

GuideExportDialog::Format GuideExportDialog::chosenFormat() const
{
    return m_format->currentIndex() == 0 ? Format::pdf : Format::markdown;
}

void GuideExportDialog::formatChanged()
{
    const QString name = QFileInfo(selectedFiles().value(0)).fileName();
    if (chosenFormat() == Format::pdf) {
        setNameFilter(u"Documento PDF (*.pdf)"_s);
        setDefaultSuffix(u"pdf"_s);
        if (!name.isEmpty() && !name.endsWith(u".pdf"_s, Qt::CaseInsensitive))
            selectFile(name + u".pdf"_s);
    } else {
        setNameFilter(u"Cartella (*)"_s);
        setDefaultSuffix({});
        if (name.endsWith(u".pdf"_s, Qt::CaseInsensitive))
            selectFile(name.chopped(4));
    }
}

bool GuideExportDialog::write(const std::vector<GuideExporter::Step>& steps, const QString& path, Format format,
                              QWidget* window)
{
    if (steps.empty()) {
        Beeper::beep();
        return false;
    }
    const QString title = QFileInfo(path).completeBaseName();
    switch (format) {
    case Format::pdf: {
        const std::optional<QByteArray> pdf = GuideExporter::pdf(title, steps);
        if (!pdf) {
            Beeper::beep();
            return false;
        }
        if (const std::optional<QString> error = Files::writeAtomically(path, *pdf)) {
            Files::showWriteError(path, *error, window);
            return false;
        }
        return true;
    }
    case Format::markdown: {
        const auto written = GuideExporter::writeFolder(path, title, steps);
        if (const auto* error = std::get_if<GuideExporter::FolderError>(&written)) {
            showAlert(error->message, {}, window);
            return false;
        }
        const QString missing = std::get<GuideExporter::FolderReport>(written).message();
        if (!missing.isEmpty())
            showAlert(missing, {}, window);
        return true;
    }
    }
    return false;
}

GuideExportDialog* GuideExportDialog::show(const ProjectDocument& document, QWidget* window)
{
    auto* dialog = new GuideExportDialog(document, window);
    QPointer<QWidget> owner(window);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, &document, owner](int result) {
        const QString path = dialog->selectedFiles().value(0);
        if (result != QDialog::Accepted || path.isEmpty())
            return;
        write(GuideExporter::steps(document.model(), document.images()), path, dialog->chosenFormat(), owner);
    });
    Alerts::openModal(dialog, window);
    return dialog;
}

} // namespace vorlix
