#include "frame/placement.h"

#include <gtest/gtest.h>

namespace {

const QRect screen(0, 0, 1280, 1024);

TEST(PlaceBesideOwner, BesideTheOwnerWhenTheScreenHasRoom)
{
    const QSize size(500, 250);
    // Right of a frame at the left of the screen, its top in line.
    EXPECT_EQ(placeBesideOwner(screen, QRect(0, 100, 700, 600), size, {}), QPoint(700, 100));
    // Left of a frame at the right; then below, then above a frame as wide as the screen.
    EXPECT_EQ(placeBesideOwner(screen, QRect(600, 100, 680, 600), size, {}), QPoint(100, 100));
    EXPECT_EQ(placeBesideOwner(screen, QRect(0, 0, 1280, 700), size, {}), QPoint(780, 700));
    EXPECT_EQ(placeBesideOwner(screen, QRect(0, 300, 1280, 724), size, {}), QPoint(780, 50));
    // A frame near the bottom: the window's top is kept on the screen.
    EXPECT_EQ(placeBesideOwner(screen, QRect(0, 900, 700, 124), size, {}), QPoint(700, 774));
}

TEST(PlaceBesideOwner, OverTheOwnerItHidesNoPartToKeep)
{
    const QRect owner(0, 0, 1280, 1024);
    const QSize size(600, 250);
    const QRect terminal(200, 800, 1080, 224);
    // Just above the terminal, at the owner's right.
    EXPECT_EQ(placeBesideOwner(screen, owner, size, {QRect(0, 100, 1280, 13), terminal}), QPoint(680, 550));
    // The selected line there: just above the line.
    EXPECT_EQ(placeBesideOwner(screen, owner, size, {QRect(0, 600, 1280, 13), terminal}), QPoint(680, 350));
    // No room above the line: in the room between the line and the terminal, just as high.
    EXPECT_EQ(placeBesideOwner(screen, owner, size, {QRect(0, 200, 1280, 13), QRect(0, 463, 1280, 561)}),
              QPoint(680, 213));
    // No room between them and the top: none, the window manager places it.
    EXPECT_EQ(placeBesideOwner(screen, owner, size, {QRect(0, 200, 1280, 13), QRect(0, 400, 1280, 624)}),
              std::nullopt);
    // Larger than the screen: none.
    EXPECT_EQ(placeBesideOwner(screen, QRect(0, 0, 100, 100), QSize(1300, 100), {}), std::nullopt);
}

} // namespace
