#pragma once
// The images of one open project document, each stored once as the encoded bytes of
// its file and named by an image id (a panel's `imageID`). The assets are the source
// of truth; full decodes and downscaled previews are caches made on demand and kept
// until the store goes away. Owned by the project document; main thread only (no
// locking).

#include "core/render/ImageProviding.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace vorlix {

// The bytes of an image file exactly as imported or encoded (never re-encoded by the
// store) and the extension of that file without the dot ("png", "jpeg").
struct ImageAsset {
    QByteArray data;
    QString fileExtension;

    bool operator==(const ImageAsset&) const = default;
};

class ImageStore final : public ImageProviding {
public:
    // Previews share sizes: 256, then doubling (512, 1024, 2048...) to the first size at
    // least the one asked for.
    static constexpr int smallestPreviewBucket = 256;
    static int previewBucket(int maxPixelSize);
    // The cache key of a preview: the id in upper-case 8-4-4-4-12 form, "-", the bucket.
    static QString previewKey(const QUuid& id, int bucket);

    // Stores the asset under the id, replacing an earlier one, and forgets the decoded
    // image and every preview made from the earlier bytes.
    void add(ImageAsset asset, const QUuid& id);
    std::optional<ImageAsset> asset(const QUuid& id) const;
    bool contains(const QUuid& id) const { return m_assets.contains(id); }

    // Decoded once and cached; a failed decode caches nothing, so the next call tries
    // again. Null when no asset is stored under the id or its bytes are no image.
    QImage image(const QUuid& id) const override;

    // Downscaled to the bucket of maxPixelSize and cached under previewKey. Made from
    // the full decode when that is cached or when the format has no cheaper way (PNG),
    // else straight from the bytes (JPEG). Not turned by EXIF. When no preview can be
    // made, the full image. Null when no asset is stored under the id.
    QImage previewImage(const QUuid& id, int maxPixelSize) const override;

private:
    QHash<QUuid, ImageAsset> m_assets;
    mutable QHash<QUuid, QImage> m_decoded;
    mutable QHash<QString, QImage> m_previews;
};

} // namespace vorlix
