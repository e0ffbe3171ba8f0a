#pragma once
// Where a second window goes the first time it is shown: where it hides nothing of a window the
// user goes on working in. Pure geometry in screen pixels, frames included.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

// A place on `screen` for a window of `size`: beside `owner` when it fits there whole (right of
// it, left of it, below, above); else over the owner's right side, covering none of `keep` (the
// parts of the owner that must stay in view, in order of importance). None when the screen has
// no such place: the window manager then places the window.
std::optional<QPoint> placeBesideOwner(const QRect &screen, const QRect &owner, const QSize &size,
                                       const std::vector<QRect> &keep);
