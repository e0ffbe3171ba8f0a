#include "frame/framesize.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

int usableLength(int length, int fallback, int smallest, int largest)
{
    if (length <= 0)
        length = fallback;
    return std::max(std::min(length, largest), std::min(smallest, largest));
}

} // namespace

FrameSize usableSize(int width, int height, FrameSize fallback, FrameSize smallest, FrameSize largest)
{
    return {usableLength(width, fallback.width, smallest.width, largest.width),
            usableLength(height, fallback.height, smallest.height, largest.height)};
}

FrameSize usableFrameSize(int width, int height, FrameSize fallback, FrameSize largest)
{
    return usableSize(width, height, fallback, smallestFrameSize, largest);
}

FrameSize usableCharacterSize(int columns, int rows, FrameSize fallback)
{
    return usableSize(columns, rows, fallback, {1, 1}, largestCharacterSize);
}

FrameSize largestFrameSize()
{
    // X keeps window sizes in 16 bits; the screen (all monitors together) is the useful limit.
    FrameSize largest{32767, 32767};
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableVirtualSize();
        if (available.width() > 0)
            largest.width = std::min(largest.width, available.width());
        if (available.height() > 0)
            largest.height = std::min(largest.height, available.height());
    }
    return largest;
}
