#include "support/GoldenImage.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace vorlix::test {

namespace {

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)),
                     std::abs(qAlpha(a) - qAlpha(b))});
}

// The pixels beyond the channel tolerance, and a picture of them: red where they differ,
// the golden faded elsewhere.
struct Comparison {
    int outliers = 0;
    QImage diff;
};

Comparison compare(const QImage& actual, const QImage& expected, int channel)
{
    Comparison out;
    out.diff = QImage(actual.size(), QImage::Format_ARGB32);
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(out.diff.scanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            if (channelDistance(a[x], e[x]) > channel) {
                ++out.outliers;
                d[x] = qRgb(255, 0, 0);
            } else {
                const int grey = 191 + qGray(e[x]) / 4;
                d[x] = qRgb(grey, grey, grey);
            }
        }
    }
    return out;
}

bool updateRequested() { return qEnvironmentVariable("VORLIX_UPDATE_GOLDEN") == QLatin1String("1"); }

} // namespace

::testing::AssertionResult matchesGolden(const QImage& actualImage, const QString& name, GoldenTolerance tolerance)
{
    const QImage actual = actualImage.convertToFormat(QImage::Format_ARGB32);
    const QString goldenPath = QStringLiteral(VORLIX_GOLDEN_DIR "/%1.png").arg(name);
    const QImage expected = QImage(goldenPath).convertToFormat(QImage::Format_ARGB32);

    QString problem;
    Comparison comparison;
    if (expected.isNull()) {
        problem = QStringLiteral("no golden image %1").arg(goldenPath);
    } else if (expected.size() != actual.size()) {
        problem = QStringLiteral("size %1×%2, golden %3×%4")
                      .arg(actual.width())
                      .arg(actual.height())
                      .arg(expected.width())
                      .arg(expected.height());
    } else {
        comparison = compare(actual, expected, tolerance.channel);
        if (comparison.outliers <= tolerance.outliers)
            return ::testing::AssertionSuccess();
        problem = QStringLiteral("%1 pixels differ by more than %2 (at most %3 may)")
                      .arg(comparison.outliers)
                      .arg(tolerance.channel)
                      .arg(tolerance.outliers);
    }

    if (updateRequested()) {
        if (!QDir().mkpath(QStringLiteral(VORLIX_GOLDEN_DIR)) || !actual.save(goldenPath))
            return ::testing::AssertionFailure() << "could not write the golden " << goldenPath.toStdString();
        return ::testing::AssertionSuccess();
    }

    const QString stem = QStringLiteral(VORLIX_GOLDEN_OUTPUT_DIR "/%1").arg(name);
    QDir().mkpath(QFileInfo(stem).absolutePath());
    actual.save(stem + QStringLiteral("-actual.png"));
    if (!expected.isNull())
        expected.save(stem + QStringLiteral("-expected.png"));
    if (!comparison.diff.isNull())
        comparison.diff.save(stem + QStringLiteral("-diff.png"));
    return ::testing::AssertionFailure() << name.toStdString() << ": " << problem.toStdString() << "; images in "
                                         << stem.toStdString() << "-{actual,expected,diff}.png"
                                         << " (VORLIX_UPDATE_GOLDEN=1 rewrites the golden)";
}

} // namespace vorlix::test
