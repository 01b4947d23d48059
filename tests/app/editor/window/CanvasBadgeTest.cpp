// The badges over the canvas follow what they are told, and never take the pointer.

#include "app/editor/window/CanvasBadge.h"

#include <gtest/gtest.h>

using namespace vorlix;

TEST(SizeBadge, RoundsEachSide)
{
    for (const auto& [size, text] : {std::pair{QSizeF(1280, 720), "1280 × 720 px"},
                                     {QSizeF(1279.51, 719.49), "1280 × 719 px"},
                                     {QSizeF(0, 0), "0 × 0 px"}}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SizeBadge::text(size), QString::fromUtf8(text));
    }
    SizeBadge badge;
    EXPECT_EQ(badge.text(), QString());
    badge.showSize(QSizeF(640, 480.4));
    EXPECT_EQ(badge.text(), QStringLiteral("640 × 480 px"));
}

TEST(UnsavedBadge, FollowsTheEditedFlag)
{
    UnsavedBadge badge;
    EXPECT_EQ(badge.text(), QStringLiteral("NON SALVATO"));
    EXPECT_TRUE(badge.isHidden());
    badge.showEdited(true);
    EXPECT_FALSE(badge.isHidden());
    badge.showEdited(false);
    EXPECT_TRUE(badge.isHidden());
}

TEST(CanvasBadge, FadesWhileHoveredAndLetsClicksThrough)
{
    SizeBadge badge;
    EXPECT_TRUE(badge.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(badge.targetOpacity(), 1.0);
    badge.setHovered(true);
    EXPECT_EQ(badge.targetOpacity(), CanvasBadge::hoveredOpacity);
    badge.setHovered(false);
    EXPECT_EQ(badge.targetOpacity(), 1.0);
}
