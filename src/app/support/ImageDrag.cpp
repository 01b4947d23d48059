#include "app/support/ImageDrag.h"

#include "app/support/Beeper.h"

#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix::ImageDrag {

namespace {

// Leaves room for ".png" and the suffix of the save file's temporary twin within the
// 255 bytes of a file name.
constexpr qsizetype maximumBaseNameBytes = 200;

bool isLineOrControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

QString cutToUtf8Bytes(const QString& text, qsizetype maximum)
{
    QString cut = text;
    while (cut.toUtf8().size() > maximum) {
        cut.chop(1);
        if (!cut.isEmpty() && cut.back().isHighSurrogate())
            cut.chop(1);
    }
    return cut;
}

// The folder lies in a temporary directory that other users can write into: it must be a
// real directory of ours, not something another user put there in advance, and only we
// may read the pictures in it.
bool makePrivateFolder(const QString& folder)
{
    QDir().mkpath(QFileInfo(folder).absolutePath());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    return (status.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}

void removeOldFiles(const QString& folder)
{
    const QDateTime limit = QDateTime::currentDateTime().addSecs(-maximumAgeSeconds);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        const QDateTime modified = file.lastModified();
        if (modified.isValid() && modified < limit)
            QFile::remove(file.absoluteFilePath());
    }
}

QSize scaledToDragSide(QSize size)
{
    if (size.width() <= 0 || size.height() <= 0)
        return {fallbackDragImageSide, fallbackDragImageSide};
    const double factor = double(dragImageSide) / std::max(size.width(), size.height());
    const auto side = [&](int length) { return std::clamp(int(std::lround(length * factor)), 1, dragImageSide); };
    return {side(size.width()), side(size.height())};
}

} // namespace

QString defaultFolder() { return QDir(QDir::tempPath()).filePath(u"Trascinamenti"_s); }

QString safeBaseName(const QString& fileName)
{
    QString name;
    name.reserve(fileName.size());
    for (const QChar c : fileName) {
        if (c == u'/')
            name += u'-';
        else if (isLineOrControl(c))
            name += u' ';
        else if (c.category() != QChar::Other_Format) // invisible marks, such as reordering ones
            name += c;
    }
    name = name.trimmed();
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    name = cutToUtf8Bytes(name, maximumBaseNameBytes).trimmed();
    return name.isEmpty() ? u"Immagine"_s : name;
}

std::optional<QString> temporaryFile(const QByteArray& png, const QString& fileName, const QString& folder)
{
    if (!makePrivateFolder(folder)) {
        Beeper::beep();
        return std::nullopt;
    }
    removeOldFiles(folder);

    const QString path = QDir(folder).absoluteFilePath(safeBaseName(fileName) + u".png"_s);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit()) {
        Beeper::beep();
        return std::nullopt;
    }
    return path;
}

QSize dragImageSize(const QByteArray& png) { return scaledToDragSide(QImage::fromData(png).size()); }

QPixmap dragPixmap(const QByteArray& png, qreal devicePixelRatio)
{
    const QImage image = QImage::fromData(png);
    const QSize size = scaledToDragSide(image.size());
    const QSize devicePixels = (QSizeF(size) * devicePixelRatio).toSize();
    QPixmap pixmap;
    if (image.isNull()) {
        pixmap = QPixmap(devicePixels);
        pixmap.fill(Qt::transparent);
    } else {
        pixmap = QPixmap::fromImage(image.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

std::unique_ptr<QMimeData> mimeData(const QString& file, const QByteArray& png)
{
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(file)});
    data->setData(u"image/png"_s, png);
    return data;
}

std::optional<Qt::DropAction> begin(QWidget* view, QPoint pressPos, const QByteArray& png, const QString& fileName,
                                    Qt::DropActions actions)
{
    const std::optional<QString> file = temporaryFile(png, fileName);
    if (!file)
        return std::nullopt;

    const QPixmap pixmap = dragPixmap(png, view->devicePixelRatioF());
    const QSize size = pixmap.deviceIndependentSize().toSize();
    // The image keeps the place it had under the press while the pointer moved since.
    const QPoint pointer = view->mapFromGlobal(QCursor::pos());
    auto* drag = new QDrag(view); // the drag manager deletes it when the drag ends
    drag->setMimeData(mimeData(*file, png).release());
    drag->setPixmap(pixmap);
    drag->setHotSpot(QPoint(size.width() / 2, size.height() / 2) + pointer - pressPos);
    return drag->exec(actions, Qt::CopyAction);
}

} // namespace vorlix::ImageDrag
