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
    EXPECT_EQ(all.divider.x, 215);
    EXPECT_EQ(all.divider.y, 560);
    EXPECT_EQ(all.divider.width, 785);
    EXPECT_EQ(all.terminal.x, 215);
    EXPECT_EQ(all.terminal.width, 785);
    EXPECT_EQ(all.terminal.y, 560 + dividerHeight);
    EXPECT_EQ(all.terminal.height, 140 - dividerHeight);

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

TEST(WorkAreaLayout, AMovedDividerKeepsItsRowAndTheLeastHeights)
{
    DividerPlace place;
    place.lowestText = 180;
    place.lowestBelow = 40;
    // Not moved: the starting split, whatever the least heights.
    EXPECT_EQ(workAreaLayout(1000, 700, true, true, place).textPane.height, 560);

    place.below = 300; // dragged up
    WorkAreaLayout up = workAreaLayout(1000, 700, true, true, place);
    EXPECT_EQ(up.textPane.height, 400);
    EXPECT_EQ(up.logo.y, 400);
    EXPECT_EQ(up.logo.height, 300);
    EXPECT_EQ(up.logo.width, 215); // the logo keeps its width and its place at the terminal's left
    EXPECT_EQ(up.divider.y, 400);
    EXPECT_EQ(up.terminal.y, 400 + dividerHeight);
    EXPECT_EQ(up.terminal.height, 300 - dividerHeight);
    // The panel beside the text pane follows its height, as at the start.
    EXPECT_EQ(up.buttonPanel.frame.height, 400);
    EXPECT_EQ(up.buttonPanel.frame.width, 34);
    EXPECT_EQ(up.buttonPanel.rowGap, (400 - 350) / 16);

    // The row below keeps its height when the work area grows.
    EXPECT_EQ(workAreaLayout(1000, 900, true, true, place).terminal.height, 300 - dividerHeight);

    // Dragged beyond either pane's least height: held there.
    place.below = 690;
    EXPECT_EQ(workAreaLayout(1000, 700, true, true, place).textPane.height, 180);
    EXPECT_EQ(workAreaLayout(1000, 700, true, true, place).buttonPanel.frame.width, 68);
    place.below = 3;
    EXPECT_EQ(workAreaLayout(1000, 700, true, true, place).terminal.height, 40 - dividerHeight);

    // Too low for both: the starting split. Hidden terminal: the whole height.
    EXPECT_EQ(workAreaLayout(1000, 200, true, true, place).textPane.height, 160);
    EXPECT_EQ(workAreaLayout(1000, 700, true, false, place).textPane.height, 700);
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
