#include "core/render/PathCache.h"

#include <gtest/gtest.h>

using namespace vorlix;

namespace {

QPainterPath square(double side)
{
    QPainterPath path;
    path.addRect(0, 0, side, side);
    return path;
}

} // namespace

TEST(PathCache, BuildsOncePerExactKeyAndStartsAfreshWhenFull)
{
    PathCache cache(2);
    int builds = 0;
    const auto get = [&](std::vector<double> key, double side) {
        return cache.path(key, [&] {
            ++builds;
            return square(side);
        });
    };

    EXPECT_EQ(get({1, 10}, 10), square(10));
    EXPECT_EQ(get({1, 10}, 99), square(10)); // kept: not built again
    EXPECT_EQ(builds, 1);
    // Negative zero is the same input as zero; a nudged value or another tag is not.
    EXPECT_EQ(get({1, 0.0}, 3), square(3));
    EXPECT_EQ(get({1, -0.0}, 4), square(3));
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(get({1, 10.000001}, 5), square(5));
    EXPECT_EQ(builds, 3);
    EXPECT_LE(cache.count(), 2u);
    EXPECT_EQ(get({2, 10}, 6), square(6));
    EXPECT_EQ(builds, 4);
}
