#pragma once
// Window sizes from the configuration made safe to use: a length of 0 or less (an unread or
// damaged setting) takes the fallback's; every length is then kept between a smallest and a
// largest, the largest being what the screen (and X) can hold.

struct FrameSize {
    int width = 0, height = 0;
    bool operator==(const FrameSize &other) const { return width == other.width && height == other.height; }
};
FrameSize usableSize(int width, int height, FrameSize fallback, FrameSize smallest, FrameSize largest);

// A top-level window's size in pixels: never smaller than what still shows the window's
// controls, never larger than `largest` (the screen).
constexpr FrameSize smallestFrameSize{320, 200};
FrameSize usableFrameSize(int width, int height, FrameSize fallback, FrameSize largest);
// Columns and rows of a text pane that sizes its window.
constexpr FrameSize largestCharacterSize{1000, 1000};
FrameSize usableCharacterSize(int columns, int rows, FrameSize fallback);

// The largest size a top-level window may take: the screen's, at most what X can hold.
FrameSize largestFrameSize();
