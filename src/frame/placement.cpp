#include "frame/placement.h"

#include <algorithm>

std::optional<QPoint> placeBesideOwner(const QRect &screen, const QRect &owner, const QSize &size,
                                       const std::vector<QRect> &keep)
{
    if (size.isEmpty() || size.width() > screen.width() || size.height() > screen.height())
        return std::nullopt;
    const auto fits = [&](const QPoint &at) {
        const QRect window(at, size);
        return screen.contains(window) &&
               std::none_of(keep.begin(), keep.end(), [&](const QRect &r) { return r.intersects(window); });
    };
    // Beside the owner, its top (or its right edge) kept in line as far as the screen lets it.
    const int top = std::clamp(owner.top(), screen.top(), screen.bottom() + 1 - size.height());
    const int rightAligned = std::clamp(owner.right() + 1 - size.width(), screen.left(), screen.right() + 1 - size.width());
    const QPoint beside[] = {{owner.right() + 1, top},
                             {owner.left() - size.width(), top},
                             {rightAligned, owner.bottom() + 1},
                             {rightAligned, owner.top() - size.height()}};
    for (const QPoint &at : beside)
        if (fits(at))
            return at;
    // Over the owner: just above or below each part to keep, else at the owner's top.
    std::vector<int> heights;
    for (const QRect &r : keep)
        heights.push_back(r.top() - size.height());
    for (const QRect &r : keep)
        heights.push_back(r.bottom() + 1);
    heights.push_back(owner.top());
    for (int y : heights)
        if (fits({rightAligned, y}))
            return QPoint(rightAligned, y);
    return std::nullopt;
}
