#include "core/formats/ImageStore.h"

#include "core/imaging/ImageCoding.h"

#include <utility>

namespace vorlix {

namespace {

QString idText(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

std::int64_t bytesOf(const QImage& image) { return image.sizeInBytes(); }

} // namespace

int ImageStore::previewBucket(int maxPixelSize)
{
    // Beyond 2^30 doubling would overflow; no image is that large anyway.
    constexpr int largest = 1 << 30;
    int bucket = smallestPreviewBucket;
    while (bucket < maxPixelSize && bucket < largest)
        bucket *= 2;
    return bucket;
}

QString ImageStore::previewKey(const QUuid& id, int bucket) { return idText(id) + u'-' + QString::number(bucket); }

ImageStore::ImageStore(const ImageStore& other)
{
    const std::lock_guard lock(other.m_mutex);
    m_assets = other.m_assets;
    m_generations = other.m_generations;
    m_budget = other.m_budget;
    // Decodes are shared QImages: keeping them costs the copy nothing.
    for (auto it = other.m_recency.rbegin(); it != other.m_recency.rend(); ++it)
        keep(it->key, it->image);
}

ImageStore::ImageStore(ImageStore&& other) noexcept : ImageStore() { swap(*this, other); }

ImageStore& ImageStore::operator=(ImageStore other) noexcept
{
    swap(*this, other);
    return *this;
}

void swap(ImageStore& a, ImageStore& b) noexcept
{
    if (&a == &b)
        return;
    const std::scoped_lock lock(a.m_mutex, b.m_mutex);
    std::swap(a.m_assets, b.m_assets);
    std::swap(a.m_generations, b.m_generations);
    std::swap(a.m_recency, b.m_recency);
    std::swap(a.m_kept, b.m_kept);
    std::swap(a.m_keptBytes, b.m_keptBytes);
    std::swap(a.m_budget, b.m_budget);
}

void ImageStore::add(ImageAsset asset, const QUuid& id)
{
    const std::lock_guard lock(m_mutex);
    forget(id);
    m_assets.insert(id, std::move(asset));
}

void ImageStore::add(ImageAsset asset, const QUuid& id, const QImage& decoded)
{
    const std::lock_guard lock(m_mutex);
    forget(id);
    m_assets.insert(id, std::move(asset));
    if (QImage kept = ImageCoding::asDecoded(decoded, m_assets.value(id).data); !kept.isNull())
        keep(idText(id), kept);
}

void ImageStore::remove(const QUuid& id)
{
    const std::lock_guard lock(m_mutex);
    forget(id);
    m_assets.remove(id);
}

void ImageStore::forget(const QUuid& id)
{
    ++m_generations[id];
    const QString full = idText(id);
    const QString previewPrefix = full + u'-';
    for (auto it = m_recency.begin(); it != m_recency.end();) {
        if (it->key == full || it->key.startsWith(previewPrefix)) {
            m_keptBytes -= bytesOf(it->image);
            m_kept.remove(it->key);
            it = m_recency.erase(it);
        } else {
            ++it;
        }
    }
}

std::optional<ImageAsset> ImageStore::asset(const QUuid& id) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return std::nullopt;
    return *found;
}

bool ImageStore::contains(const QUuid& id) const
{
    const std::lock_guard lock(m_mutex);
    return m_assets.contains(id);
}

void ImageStore::setDecodedBudget(std::int64_t bytes)
{
    const std::lock_guard lock(m_mutex);
    m_budget = std::max<std::int64_t>(bytes, 0);
    trim();
}

std::int64_t ImageStore::decodedBudget() const
{
    const std::lock_guard lock(m_mutex);
    return m_budget;
}

std::int64_t ImageStore::decodedBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_keptBytes;
}

QImage ImageStore::cached(const QString& key) const
{
    const auto found = m_kept.constFind(key);
    if (found == m_kept.cend())
        return {};
    m_recency.splice(m_recency.begin(), m_recency, *found);
    return (*found)->image;
}

void ImageStore::keep(const QString& key, const QImage& image) const
{
    if (m_kept.contains(key) || bytesOf(image) > m_budget)
        return;
    m_recency.push_front({key, image});
    m_kept.insert(key, m_recency.begin());
    m_keptBytes += bytesOf(image);
    trim();
}

void ImageStore::trim() const
{
    // The newest entry stays even when it alone is over the budget (a lowered budget).
    while (m_keptBytes > m_budget && m_recency.size() > 1) {
        m_keptBytes -= bytesOf(m_recency.back().image);
        m_kept.remove(m_recency.back().key);
        m_recency.pop_back();
    }
    if (m_keptBytes > m_budget && !m_recency.empty()) {
        m_keptBytes = 0;
        m_kept.clear();
        m_recency.clear();
    }
}

// Decodes `data` with the lock released, so other threads go on drawing meanwhile, and
// keeps the result only when the asset was not replaced in the meantime.
QImage ImageStore::decodeOutsideLock(std::unique_lock<std::mutex>& lock, const QUuid& id, const QByteArray& data) const
{
    const std::uint64_t generation = m_generations.value(id);
    lock.unlock();
    QImage decoded = ImageCoding::decode(data);
    lock.lock();
    if (!decoded.isNull() && m_generations.value(id) == generation)
        keep(idText(id), decoded);
    return decoded;
}

QImage ImageStore::image(const QUuid& id) const
{
    std::unique_lock lock(m_mutex);
    if (QImage kept = cached(idText(id)); !kept.isNull())
        return kept;
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return {};
    // A failed decode keeps nothing, so the next call tries again.
    return decodeOutsideLock(lock, id, found->data);
}

QImage ImageStore::previewImage(const QUuid& id, int maxPixelSize) const
{
    std::unique_lock lock(m_mutex);
    const auto found = m_assets.constFind(id);
    if (found == m_assets.cend())
        return {};
    const int bucket = previewBucket(maxPixelSize);
    const QString key = previewKey(id, bucket);
    if (QImage kept = cached(key); !kept.isNull())
        return kept;

    const QByteArray data = found->data;
    const std::uint64_t generation = m_generations.value(id);
    // A PNG thumbnail costs a full decode anyway: make that decode the cached one.
    QImage full = cached(idText(id));
    QImage preview;
    if (!full.isNull() || !ImageCoding::hasFastThumbnails(data)) {
        if (full.isNull())
            full = decodeOutsideLock(lock, id, data);
        if (full.isNull())
            return full;
        lock.unlock();
        preview = ImageCoding::scaledToFit(full, bucket);
    } else {
        lock.unlock();
        preview = ImageCoding::thumbnail(data, bucket, false);
    }
    lock.lock();
    if (preview.isNull()) {
        lock.unlock();
        return full.isNull() ? image(id) : full;
    }
    if (m_generations.value(id) == generation)
        keep(key, preview);
    return preview;
}

} // namespace vorlix
