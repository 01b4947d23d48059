#include "app/support/Files.h"

#include "app/support/Alerts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>

namespace vorlix::Files {

using namespace Qt::StringLiterals;

namespace {

QString withPNGExtension(const QString& name)
{
    return name.endsWith(u".png"_s, Qt::CaseInsensitive) ? name : name + u".png"_s;
}

} // namespace

QString startFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void showWriteError(const QString& path, const QString& error, QWidget* window)
{
    auto* box = new QMessageBox(QMessageBox::Warning, u"Impossibile salvare l’immagine"_s,
                                u"Impossibile salvare «%1»."_s.arg(QFileInfo(path).fileName()));
    box->setInformativeText(error);
    box->addButton(QMessageBox::Ok);
    Alerts::present(box, window, nullptr);
}

std::optional<QString> writeAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(data) != data.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

void savePNG(const QByteArray& data, const QString& name, QWidget* window, std::function<void()> finished)
{
    auto* dialog = new QFileDialog;
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(u"Immagine PNG (*.png)"_s);
    dialog->setDefaultSuffix(u"png"_s);
    dialog->setDirectory(startFolder());
    dialog->selectFile(withPNGExtension(name));
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, data, window, finished = std::move(finished)](int result) {
                         const QStringList chosen = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !chosen.isEmpty()) {
                             const QString path = chosen.first();
                             if (const std::optional<QString> error = writeAtomically(path, data))
                                 showWriteError(path, *error, window);
                         }
                         if (finished)
                             finished();
                     });
    Alerts::openModal(dialog, window);
}

} // namespace vorlix::Files
