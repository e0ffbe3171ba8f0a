#include "frame/framesize.h"
#include "shell/layout.h"

#include <gtest/gtest.h>

TEST(ButtonPanelGeometry, GapsAndWidthFollowTheHeight)
{
    ButtonPanelGeometry shown = buttonPanelGeometry(800, 500, true); // 400 available
    EXPECT_EQ(shown.frame.width, 34);
    EXPECT_EQ(shown.columns, 1);
    EXPECT_EQ(shown.rowGap, 3);
    EXPECT_EQ(shown.frame.height, 400);

    EXPECT_EQ(buttonPanelGeometry(800, 500, false).rowGap, 9);

    ButtonPanelGeometry low = buttonPanelGeometry(800, 450, true); // 360 available
    EXPECT_EQ(low.frame.width, 68);
    EXPECT_EQ(low.columns, 2);
    EXPECT_EQ(low.columnGap, 7);
    EXPECT_EQ(low.rowGap, 22);

    // Below 180 the gap is negative, truncated towards zero.
    EXPECT_EQ(buttonPanelGeometry(800, 200, true).rowGap, (160 - 180) / 8);
    EXPECT_EQ(buttonPanelGeometry(800, 171, false).rowGap, -1);
}

TEST(WorkAreaLayout, PlacesPanesAroundTheButtonPanel)
{
    WorkAreaLayout all = workAreaLayout(1000, 700, true, true);
    EXPECT_EQ(all.textPane.x, 34);
    EXPECT_EQ(all.textPane.width, 966);
    EXPECT_EQ(all.textPane.height, 560);
    EXPECT_EQ(all.logo.y, 560);
    EXPECT_EQ(all.logo.width, 215);
    EXPECT_EQ(all.logo.height, 140);
    EXPECT_EQ(all.terminal.x, 215);
    EXPECT_EQ(all.terminal.width, 785);
    EXPECT_EQ(all.terminal.y, 560);

    WorkAreaLayout noTerminal = workAreaLayout(1000, 703, true, false);
    EXPECT_FALSE(noTerminal.hasTerminal);
    EXPECT_EQ(noTerminal.textPane.height, 703);
    EXPECT_EQ(noTerminal.buttonPanel.frame.height, 703);

    WorkAreaLayout noPanel = workAreaLayout(1000, 703, false, true);
    EXPECT_FALSE(noPanel.hasButtonPanel);
    EXPECT_EQ(noPanel.textPane.x, 0);
    EXPECT_EQ(noPanel.textPane.width, 1000);
    EXPECT_EQ(noPanel.textPane.height, 560); // (703 / 5) * 4
}

TEST(WorkAreaLayout, HugeHeightsDoNotOverflow)
{
    const int huge = 2147483000;
    WorkAreaLayout layout = workAreaLayout(1000, huge, true, true);
    EXPECT_EQ(layout.logo.width, static_cast<int>(huge * 215LL / 700));
    EXPECT_EQ(layout.buttonPanel.frame.width, 34); // four fifths of the height is still > 399
    EXPECT_GT(layout.textPane.height, 0);
}

TEST(UsableSize, ZeroTakesTheDefaultAndNothingExceedsTheScreen)
{
    const FrameSize fallback{1000, 760}, screen{1280, 1024};
    EXPECT_EQ(usableFrameSize(0, 0, fallback, screen), fallback);
    EXPECT_EQ(usableFrameSize(-5, 600, fallback, screen), (FrameSize{1000, 600}));
    EXPECT_EQ(usableFrameSize(16777215, 16777215, fallback, screen), screen);
    EXPECT_EQ(usableFrameSize(640, 480, fallback, screen), (FrameSize{640, 480}));
    EXPECT_EQ(usableFrameSize(1, 2, fallback, screen), smallestFrameSize);
    // A screen smaller than the smallest frame still bounds it.
    EXPECT_EQ(usableFrameSize(1000, 760, fallback, {300, 150}), (FrameSize{300, 150}));

    EXPECT_EQ(usableCharacterSize(0, 0, {90, 14}), (FrameSize{90, 14}));
    EXPECT_EQ(usableCharacterSize(2147483647, 16777215, {90, 14}), largestCharacterSize);
    EXPECT_EQ(usableCharacterSize(1, 1, {90, 14}), (FrameSize{1, 1}));
}
