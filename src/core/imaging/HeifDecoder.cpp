#include "core/imaging/HeifDecoder.h"

#include <QLibrary>
#include <QtEndian>

#include <libheif/heif.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace vorlix::HeifDecoder {

namespace {

// The functions we use, resolved from the library at the first HEIF picture.
struct Api {
    decltype(&heif_context_alloc) contextAlloc = nullptr;
    decltype(&heif_context_free) contextFree = nullptr;
    decltype(&heif_context_read_from_memory_without_copy) readFromMemory = nullptr;
    decltype(&heif_context_get_primary_image_handle) primaryImageHandle = nullptr;
    decltype(&heif_image_handle_get_width) handleWidth = nullptr;
    decltype(&heif_image_handle_get_height) handleHeight = nullptr;
    decltype(&heif_image_handle_has_alpha_channel) handleHasAlpha = nullptr;
    decltype(&heif_image_handle_release) handleRelease = nullptr;
    decltype(&heif_decode_image) decodeImage = nullptr;
    decltype(&heif_image_get_width) imageWidth = nullptr;
    decltype(&heif_image_get_height) imageHeight = nullptr;
    decltype(&heif_image_get_plane_readonly) planeReadonly = nullptr;
    decltype(&heif_image_release) imageRelease = nullptr;
};

std::optional<Api> load()
{
    // Destroying the QLibrary leaves the library loaded, as it must stay.
    QLibrary library(QStringLiteral("heif"), 1);
    if (!library.load()) {
        qWarning("libheif could not be loaded: HEIC and HEIF pictures cannot be opened");
        return std::nullopt;
    }
    bool complete = true;
    const auto resolve = [&]<class F>(F& function, const char* name) {
        function = reinterpret_cast<F>(library.resolve(name));
        complete = complete && function;
    };
    Api api;
    resolve(api.contextAlloc, "heif_context_alloc");
    resolve(api.contextFree, "heif_context_free");
    resolve(api.readFromMemory, "heif_context_read_from_memory_without_copy");
    resolve(api.primaryImageHandle, "heif_context_get_primary_image_handle");
    resolve(api.handleWidth, "heif_image_handle_get_width");
    resolve(api.handleHeight, "heif_image_handle_get_height");
    resolve(api.handleHasAlpha, "heif_image_handle_has_alpha_channel");
    resolve(api.handleRelease, "heif_image_handle_release");
    resolve(api.decodeImage, "heif_decode_image");
    resolve(api.imageWidth, "heif_image_get_width");
    resolve(api.imageHeight, "heif_image_get_height");
    resolve(api.planeReadonly, "heif_image_get_plane_readonly");
    resolve(api.imageRelease, "heif_image_release");
    if (!complete)
        return std::nullopt;
    // Codec plug-ins are registered by heif_init where the library has it.
    if (const auto init = reinterpret_cast<decltype(&heif_init)>(library.resolve("heif_init")))
        init(nullptr);
    return api;
}

const Api* api()
{
    static const std::optional<Api> loaded = load();
    return loaded ? &*loaded : nullptr;
}

// A primary image handle with the context it lives in, released together.
class Primary {
public:
    Primary(const Api& heif, const QByteArray& data) : m_heif(heif), m_context(heif.contextAlloc())
    {
        if (!m_context)
            return;
        // The data outlives the context: both are gone when this object is.
        if (heif.readFromMemory(m_context, data.constData(), size_t(data.size()), nullptr).code != heif_error_Ok)
            return;
        if (heif.primaryImageHandle(m_context, &m_handle).code != heif_error_Ok)
            m_handle = nullptr;
    }
    ~Primary()
    {
        if (m_handle)
            m_heif.handleRelease(m_handle);
        if (m_context)
            m_heif.contextFree(m_context);
    }
    Primary(const Primary&) = delete;
    Primary& operator=(const Primary&) = delete;

    heif_image_handle* handle() const { return m_handle; }
    std::optional<QSize> size() const
    {
        if (!m_handle)
            return std::nullopt;
        const QSize size(m_heif.handleWidth(m_handle), m_heif.handleHeight(m_handle));
        if (size.isEmpty())
            return std::nullopt;
        return size;
    }

private:
    const Api& m_heif;
    heif_context* m_context = nullptr;
    heif_image_handle* m_handle = nullptr;
};

} // namespace

bool isHeif(const QByteArray& data)
{
    static constexpr std::array<const char*, 10> brands{"heic", "heix", "heim", "heis", "hevc",
                                                        "hevx", "hevm", "hevs", "mif1", "msf1"};
    if (data.size() < 16 || std::memcmp(data.constData() + 4, "ftyp", 4) != 0)
        return false;
    const qsizetype boxSize = std::min<qsizetype>(qFromBigEndian<quint32>(data.constData()), data.size());
    const auto isStillImage = [&](qsizetype at) {
        return std::any_of(brands.begin(), brands.end(),
                           [&](const char* brand) { return std::memcmp(data.constData() + at, brand, 4) == 0; });
    };
    // The major brand, then the compatible ones after the minor version.
    if (isStillImage(8))
        return true;
    for (qsizetype at = 16; at + 4 <= boxSize; at += 4)
        if (isStillImage(at))
            return true;
    return false;
}

std::optional<QSize> size(const QByteArray& data)
{
    const Api* heif = api();
    if (!heif)
        return std::nullopt;
    return Primary(*heif, data).size();
}

QImage decode(const QByteArray& data, qint64 maximumPixels)
{
    const Api* heif = api();
    if (!heif)
        return {};
    const Primary primary(*heif, data);
    const std::optional<QSize> size = primary.size();
    if (!size || qint64(size->width()) * size->height() > maximumPixels)
        return {};
    const bool alpha = heif->handleHasAlpha(primary.handle());
    heif_image* decoded = nullptr;
    // The default options turn and mirror the image as the file says.
    if (heif->decodeImage(primary.handle(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
            .code != heif_error_Ok)
        return {};
    const std::unique_ptr<heif_image, decltype(heif->imageRelease)> image(decoded, heif->imageRelease);
    int stride = 0;
    const uint8_t* pixels = heif->planeReadonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif->imageWidth(image.get(), heif_channel_interleaved);
    const int height = heif->imageHeight(image.get(), heif_channel_interleaved);
    if (!pixels || width <= 0 || height <= 0 || qint64(width) * height > maximumPixels)
        return {};
    // A copy: the decoded plane goes with the image.
    return QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888).copy();
}

} // namespace vorlix::HeifDecoder
