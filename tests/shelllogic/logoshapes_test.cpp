#include "shell/logoshapes.h"

#include <gtest/gtest.h>

TEST(LogoShapes, ScaleFollowsTheCanvasWidth)
{
    std::vector<LogoShape> one = logoShapes(220, 140);
    ASSERT_EQ(one.size(), 1u + 8 + 1 + 3 + 14 + 5);
    EXPECT_EQ(one[0].width, 220); // the background is never scaled
    EXPECT_EQ(one[0].height, 140);
    EXPECT_EQ(one[1].colour, 10); // first band, unchanged at scale 1
    EXPECT_EQ(one[1].x, -10);
    EXPECT_EQ(one[1].width, 425);
    EXPECT_EQ(one[1].startAngle, 5750);
    EXPECT_EQ(one[10].kind, LogoShape::Text);
    EXPECT_EQ(one[10].text, "  Vantrel");
    EXPECT_EQ(one[10].y, 95);
    EXPECT_EQ(one.back().x, 143);

    std::vector<LogoShape> two = logoShapes(390, 200);
    EXPECT_EQ(two[1].width, 850);
    EXPECT_EQ(two[9].x, 16); // the dark panel
    EXPECT_EQ(two[9].height, 104);
    EXPECT_EQ(two[13].startAngle, 0); // angles are never scaled
    EXPECT_EQ(two[13].extentAngle, 17300);

    // A fractional scale truncates each coordinate towards zero: S = 100 / 170.
    std::vector<LogoShape> small = logoShapes(150, 50);
    EXPECT_EQ(small[1].x, -5);
    EXPECT_EQ(small[1].width, 250);
}

TEST(LogoShapes, NarrowCanvasesGetOnlyTheBackground)
{
    EXPECT_EQ(logoShapes(50, 10).size(), logoShapes(220, 140).size()); // S = 0: all shapes collapse to the origin
    EXPECT_EQ(logoShapes(50, 10)[5].width, 0);
    std::vector<LogoShape> narrow = logoShapes(49, 10);
    ASSERT_EQ(narrow.size(), 1u);
    EXPECT_EQ(narrow[0].colour, 0);
}
