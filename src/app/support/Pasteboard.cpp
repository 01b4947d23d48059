#include "app/support/Pasteboard.h"

#include "app/support/CopyNotice.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QMimeDatabase>

#include <algorithm>

namespace vorlix::Pasteboard {

using namespace Qt::StringLiterals;

namespace {

// Qt's own name for image data; with it the platform offers every type it can write.
constexpr auto qtImageType = "application/x-qt-image"_L1;

// The picture is decoded only when a reader wants it as an image: copying a large
// screenshot stays cheap, and most readers take the PNG bytes as they are.
class PNGMimeData : public QMimeData {
public:
    PNGMimeData(const QByteArray& png, const std::optional<QByteArray>& tiff)
    {
        setData(QString::fromLatin1(pngType), png);
        if (tiff)
            setData(QString::fromLatin1(tiffType), *tiff);
    }

    QStringList formats() const override { return QMimeData::formats() << qtImageType; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override
    {
        if (mimeType != qtImageType)
            return QMimeData::retrieveData(mimeType, type);
        if (!m_decoded) {
            m_image = QImage::fromData(data(QString::fromLatin1(pngType)), "PNG");
            m_decoded = true;
        }
        return m_image.isNull() ? QVariant() : QVariant(m_image);
    }

private:
    mutable QImage m_image;
    mutable bool m_decoded = false;
};

bool isImageType(const QMimeType& type)
{
    const auto isImage = [](const QString& name) { return name.startsWith("image/"_L1); };
    return isImage(type.name()) || std::ranges::any_of(type.allAncestors(), isImage);
}

// Qt has no change count of its own: every change it reports is counted, and our own
// writes once more, so a change is seen even before the platform reports it.
std::int64_t& changes()
{
    static std::int64_t count = [] {
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] { ++changes(); });
        return std::int64_t(0);
    }();
    return count;
}

} // namespace

std::int64_t changeCount() { return changes(); }

void setMimeData(std::unique_ptr<QMimeData> data)
{
    QGuiApplication::clipboard()->setMimeData(data.release());
    ++changes();
}

std::unique_ptr<QMimeData> pngMimeData(const QByteArray& png, const std::optional<QByteArray>& tiff)
{
    return std::make_unique<PNGMimeData>(png, tiff);
}

void copyPNG(const QByteArray& png, const std::optional<QByteArray>& tiff, const std::optional<QString>& notice,
             QWidget* window)
{
    setMimeData(pngMimeData(png, tiff));
    if (notice)
        CopyNotice::show(*notice, window);
}

QList<QUrl> imageFileUrls(const QMimeData& data)
{
    const QMimeDatabase database;
    QList<QUrl> result;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (file.suffix().isEmpty() || file.isDir())
            continue;
        if (isImageType(database.mimeTypeForFile(file, QMimeDatabase::MatchExtension)))
            result << url;
    }
    return result;
}

} // namespace vorlix::Pasteboard
