#pragma once
// Read-only access to one document's images by image id, the only way drawing,
// export and image analysis reach pixels. Handed to every rendering operation as its
// `images` argument and passed on unchanged.
//
// A null QImage means "no image": nothing is stored under the id, or its bytes
// cannot be decoded. Images come back in their stored orientation (not turned by
// EXIF; a panel carries its own orientation) and in a format QPainter draws
// without converting (RGB32 or ARGB32_Premultiplied).
//
// The functions are const because they do not change what the provider holds;
// a provider may still fill caches, and is not thread-safe unless it says so.

#include <QImage>
#include <QUuid>

namespace vorlix {

class ImageProviding {
public:
    virtual ~ImageProviding();

    // The full-size decoded image stored under the id.
    virtual QImage image(const QUuid& id) const = 0;

    // A reduced image whose longer side is at most a size the provider picks, at least
    // maxPixelSize when the image is that large. Callers compare its width with the
    // full image's and use it only when it is narrower. By default the full image.
    virtual QImage previewImage(const QUuid& id, int maxPixelSize) const;
};

} // namespace vorlix
