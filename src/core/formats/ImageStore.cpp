#include "core/formats/ImageStore.h"

#include "core/imaging/ImageCoding.h"

namespace vorlix {

int ImageStore::previewBucket(int maxPixelSize)
{
    // Beyond 2^30 doubling would overflow; no image is that large anyway.
    constexpr int largest = 1 << 30;
    int bucket = smallestPreviewBucket;
    while (bucket < maxPixelSize && bucket < largest)
        bucket *= 2;
    return bucket;
}

QString ImageStore::previewKey(const QUuid& id, int bucket)
{
    return id.toString(QUuid::WithoutBraces).toUpper() + u'-' + QString::number(bucket);
}

void ImageStore::add(ImageAsset asset, const QUuid& id)
{
    m_assets.insert(id, std::move(asset));
    m_decoded.remove(id);
    const QString prefix = id.toString(QUuid::WithoutBraces).toUpper() + u'-';
    m_previews.removeIf([&](const auto& entry) { return entry.key().startsWith(prefix); });
}

std::optional<ImageAsset> ImageStore::asset(const QUuid& id) const
{
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return std::nullopt;
    return *found;
}

QImage ImageStore::image(const QUuid& id) const
{
    if (const auto cached = m_decoded.constFind(id); cached != m_decoded.cend())
        return *cached;
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return {};
    QImage decoded = ImageCoding::decode(found->data);
    if (!decoded.isNull())
        m_decoded.insert(id, decoded);
    return decoded;
}

QImage ImageStore::previewImage(const QUuid& id, int maxPixelSize) const
{
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return {};
    const int bucket = previewBucket(maxPixelSize);
    const QString key = previewKey(id, bucket);
    if (const auto cached = m_previews.constFind(key); cached != m_previews.cend())
        return *cached;

    // A PNG thumbnail costs a full decode anyway: make that decode the cached one.
    QImage preview;
    if (m_decoded.contains(id) || !ImageCoding::hasFastThumbnails(found->data)) {
        const QImage full = image(id);
        if (full.isNull())
            return full;
        preview = ImageCoding::scaledToFit(full, bucket);
    } else {
        preview = ImageCoding::thumbnail(found->data, bucket, false);
    }
    if (preview.isNull())
        return image(id);
    m_previews.insert(key, preview);
    return preview;
}

} // namespace vorlix
