#pragma once
// Images by id in memory, for benchmarks and tests that draw documents: previews are the
// images themselves.

#include "core/render/ImageProviding.h"

#include <QImage>
#include <QUuid>

#include <map>

namespace vorlix::test {

class ImageMap : public ImageProviding {
public:
    void add(const QUuid& id, QImage image) { m_images[id] = std::move(image); }
    QImage image(const QUuid& id) const override
    {
        const auto it = m_images.find(id);
        return it == m_images.end() ? QImage() : it->second;
    }

private:
    std::map<QUuid, QImage> m_images;
};

} // namespace vorlix::test
