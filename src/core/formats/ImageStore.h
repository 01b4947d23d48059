#pragma once
// The images of one open project document, each stored once as the encoded bytes of
// its file and named by an image id (a panel's `imageID`). The assets are the source
// of truth, kept until removed; full decodes and downscaled previews are caches made on
// demand within a budget of bytes, least recently used first out, and decoded again from
// the asset when asked for after they were dropped. A QImage handed out stays valid after
// its cache entry is dropped (Qt shares it).
//
// Owned by the project document. Safe to use from several threads at once (a background
// export or recognition reading while the main thread draws): the tables are locked, and
// decoding runs outside the lock. An image replaced under an id comes back as a new QImage
// with its own `QImage::cacheKey()`, so caches keyed on that never serve old pixels.

#include "core/render/ImageProviding.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <list>
#include <mutex>
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

    // Decoded images and previews kept at most, in bytes of pixels.
    static constexpr std::int64_t defaultDecodedBudget = std::int64_t(512) << 20;

    ImageStore() = default;
    ImageStore(const ImageStore& other);
    ImageStore(ImageStore&& other) noexcept;
    ImageStore& operator=(ImageStore other) noexcept;
    friend void swap(ImageStore& a, ImageStore& b) noexcept;

    // Stores the asset under the id, replacing an earlier one, and forgets the decoded
    // image and every preview made from the earlier bytes.
    void add(ImageAsset asset, const QUuid& id);
    // As add, keeping `decoded` as the asset's decode, so a picture the caller already
    // holds (a shot, a pasted image) is not decoded again. The caller vouches that the
    // bytes decode to those pixels: they were encoded losslessly from it.
    void add(ImageAsset asset, const QUuid& id, const QImage& decoded);
    // Forgets the asset under the id with its decoded image and previews.
    void remove(const QUuid& id);
    std::optional<ImageAsset> asset(const QUuid& id) const;
    bool contains(const QUuid& id) const;

    // The budget of the decoded cache; lowering it drops what is beyond it at once. An
    // image larger than the whole budget is handed out but not kept.
    void setDecodedBudget(std::int64_t bytes);
    std::int64_t decodedBudget() const;
    // Bytes of pixels kept now in decoded images and previews.
    std::int64_t decodedBytes() const;

    // Decoded once and cached; a failed decode caches nothing, so the next call tries
    // again. Null when no asset is stored under the id or its bytes are no image.
    QImage image(const QUuid& id) const override;

    // Downscaled to the bucket of maxPixelSize and cached under previewKey. Made from
    // the full decode when that is cached or when the format has no cheaper way (PNG),
    // else straight from the bytes (JPEG). Not turned by EXIF. When no preview can be
    // made, the full image. Null when no asset is stored under the id.
    QImage previewImage(const QUuid& id, int maxPixelSize) const override;

private:
    // A decoded image or a preview; the full image's key is the id's upper-case text alone.
    struct Kept {
        QString key;
        QImage image;
    };
    using Recency = std::list<Kept>; // most recently used first

    QImage cached(const QString& key) const;                  // under the lock
    void keep(const QString& key, const QImage& image) const; // under the lock
    void forget(const QUuid& id);                             // under the lock
    void trim() const;                                        // under the lock
    QImage decodeOutsideLock(std::unique_lock<std::mutex>& lock, const QUuid& id, const QByteArray& data) const;

    mutable std::mutex m_mutex;
    QHash<QUuid, ImageAsset> m_assets;
    QHash<QUuid, std::uint64_t> m_generations; // bumped on every replacement and removal
    mutable Recency m_recency;
    mutable QHash<QString, Recency::iterator> m_kept;
    mutable std::int64_t m_keptBytes = 0;
    std::int64_t m_budget = defaultDecodedBudget;
};

} // namespace vorlix
