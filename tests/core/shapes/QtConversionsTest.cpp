#include "core/shapes/QtConversions.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(QtConversions, ColoursClampAtTheDrawingEdge)
{
    const QColor c = toQColor(RGBAColor{1.5, -0.2, 0.5, 1});
    EXPECT_EQ(c.red(), 255);
    EXPECT_EQ(c.green(), 0);
    EXPECT_NEAR(c.blueF(), 0.5, 1e-3);
}
