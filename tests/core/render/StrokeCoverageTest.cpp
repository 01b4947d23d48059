#include "core/render/StrokeCoverage.h"

#include <gtest/gtest.h>

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

using namespace vorlix;

namespace {

using Segment = std::pair<QPointF, QPointF>;

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double lengthSquared = QPointF::dotProduct(d, d);
    const double t = lengthSquared > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / lengthSquared, 0.0, 1.0) : 0;
    return QLineF(p, a + t * d).length();
}

// Every pixel of `area` is covered exactly when its centre lies within `radius` of a
// segment; pixels whose centre lies on the boundary, within rounding, may go either way.
void expectCoverageMatchesDistances(QRect area, double radius, const std::vector<Segment>& segments)
{
    StrokeCoverage coverage(area, radius);
    for (const auto& [a, b] : segments)
        coverage.addSegment(a, b);
    const QImage image = coverage.image(QColor(0, 0, 255, 128));
    ASSERT_EQ(image.size(), area.size());
    int wrong = 0;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const QPointF centre(area.x() + x + 0.5, area.y() + y + 0.5);
            double nearest = std::numeric_limits<double>::infinity();
            for (const auto& [a, b] : segments)
                nearest = std::min(nearest, distanceToSegment(centre, a, b));
            if (std::abs(nearest - radius) < 1e-9)
                continue;
            const QRgb pixel = image.pixel(x, y);
            const QRgb expected = nearest < radius ? qPremultiply(qRgba(0, 0, 255, 128)) : 0;
            wrong += pixel != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace

TEST(StrokeCoverage, CoversThePixelsWithinTheRadiusOfEachSegment)
{
    struct Case {
        const char* name;
        QRect area;
        double radius;
        std::vector<Segment> segments;
    };
    const Case cases[] = {
        {"diagonal", {0, 0, 40, 30}, 3.2, {{{5.3, 4.1}, {33.7, 22.9}}}},
        {"steep", {0, 0, 40, 30}, 1.5, {{{20.2, 1.3}, {22.7, 28.1}}}},
        {"horizontal", {0, 0, 40, 30}, 2.5, {{{4, 15}, {36, 15}}}},
        {"vertical", {0, 0, 40, 30}, 2.5, {{{20, 4}, {20, 26}}}},
        {"a dot", {0, 0, 40, 30}, 6.3, {{{17.2, 12.9}, {17.2, 12.9}}}},
        {"reaching in from outside", {0, 0, 40, 30}, 9, {{{-30, -5}, {-4, 40}}, {{45, -20}, {60, 50}}}},
        {"area away from the origin", {100, 50, 40, 30}, 4, {{{90, 45}, {150, 85}}, {{130, 60}, {112, 79}}}},
        {"wider than the area", {0, 0, 40, 30}, 500, {{{-200, 900}, {300, 700}}}},
        {"a joint", {0, 0, 40, 30}, 2.2, {{{3, 27}, {20, 3}}, {{20, 3}, {37, 27}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        expectCoverageMatchesDistances(c.area, c.radius, c.segments);
    }
}

TEST(StrokeCoverage, StaysExactOnceRowsAreCoveredFromEndToEnd)
{
    // More segments than are added between two searches for fully covered rows: the
    // later segments skip the rows found full, and the rows not yet full still get them.
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> x(-5, 45);
    std::uniform_real_distribution<double> y(-5, 35);
    std::vector<Segment> segments;
    for (int i = 0; i < 9000; ++i)
        segments.push_back({{x(generator), y(generator)}, {x(generator), y(generator)}});
    // A gap in the last rows that only the final segments fill.
    for (Segment& s : segments) {
        s.first.setY(std::min(s.first.y(), 20.0));
        s.second.setY(std::min(s.second.y(), 20.0));
    }
    segments.push_back({{10, 27}, {30, 27}});
    expectCoverageMatchesDistances({0, 0, 40, 30}, 0.7, segments);
}
