#pragma once
// Small documents, an in-memory image provider and golden-image comparison for the
// drawing tests.

#include "core/model/DocumentModel.h"
#include "core/render/ImageProviding.h"
#include "support/ModelBuilders.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

namespace vorlix::test {

// Images by id; previews are made on request and the requested sizes recorded.
class TestImages : public ImageProviding {
public:
    void add(const QUuid& id, QImage image) { m_images[id] = std::move(image); }
    QImage image(const QUuid& id) const override
    {
        const auto it = m_images.find(id);
        return it == m_images.end() ? QImage() : it->second;
    }
    QImage previewImage(const QUuid& id, int maxPixelSize) const override
    {
        previewRequests.push_back(maxPixelSize);
        if (const auto it = m_previews.find(id); it != m_previews.end())
            return it->second;
        return image(id);
    }
    // A stand-in preview, so tests can see which image was drawn.
    void addPreview(const QUuid& id, QImage image) { m_previews[id] = std::move(image); }

    mutable std::vector<int> previewRequests;

private:
    std::map<QUuid, QImage> m_images;
    std::map<QUuid, QImage> m_previews;
};

inline QImage solidImage(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A panel showing `size` image pixels at one pixel per point.
inline Panel imagePanel(int id, Point origin, Size size, double pixelsPerPoint = 1)
{
    Panel p;
    p.id = uuid(id);
    p.imageID = uuid(id + 100);
    p.pixelSize = size;
    p.pixelsPerPoint = pixelsPerPoint;
    p.origin = origin;
    return p;
}

inline QColor pixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Channels within `tolerance` of each other.
inline bool near(QColor a, QColor b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// Compares `actual` with tests/core/render/golden/<name>.png: every channel within
// `tolerance`, except at most `outliers` pixels (anti-aliasing may shift between
// library versions). With VORLIX_UPDATE_GOLDEN set the golden file is written instead.
// On a mismatch the actual, expected and difference images go to the build folder.
inline void expectMatchesGolden(const QImage& actualImage, const QString& name, int tolerance = 6, int outliers = 20)
{
    const QImage actual = actualImage.convertToFormat(QImage::Format_ARGB32);
    const QString goldenPath = QStringLiteral(VORLIX_GOLDEN_DIR "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("VORLIX_UPDATE_GOLDEN")) {
        QDir().mkpath(QStringLiteral(VORLIX_GOLDEN_DIR));
        ASSERT_TRUE(actual.save(goldenPath));
        return;
    }
    const QImage expected = QImage(goldenPath).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(expected.isNull()) << "no golden image " << goldenPath.toStdString();
    ASSERT_EQ(actual.size(), expected.size());
    QImage diff(actual.size(), QImage::Format_ARGB32);
    diff.fill(Qt::black);
    int bad = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QColor a = actual.pixelColor(x, y);
            const QColor e = expected.pixelColor(x, y);
            if (!near(a, e, tolerance)) {
                ++bad;
                diff.setPixelColor(x, y, Qt::red);
            }
        }
    }
    if (bad > outliers) {
        const QString out = QStringLiteral(VORLIX_GOLDEN_OUTPUT_DIR "/%1").arg(name);
        actual.save(out + QStringLiteral("-actual.png"));
        expected.save(out + QStringLiteral("-expected.png"));
        diff.save(out + QStringLiteral("-diff.png"));
        ADD_FAILURE() << name.toStdString() << ": " << bad << " pixels differ; images written to " << out.toStdString()
                      << "-{actual,expected,diff}.png";
    }
}

} // namespace vorlix::test
