#include "shell/layout.h"

#include <algorithm>

namespace {

// The panel for `available` pixels of height beside the text pane; `height` is its own height.
ButtonPanelGeometry panelFor(int available, int height)
{
    ButtonPanelGeometry panel;
    if (available > 399) {
        panel.columns = 1;
        panel.rowGap = (available - 350) / 16;
        panel.frame.width = 34;
    } else {
        panel.columns = 2;
        panel.columnGap = 7;
        panel.rowGap = (available - 180) / 8;
        panel.frame.width = 68;
    }
    panel.frame.height = height;
    return panel;
}

// The text pane's height with the divider where the user put it; -1 while it has not been moved
// or cannot be where the user put it.
int movedTextHeight(int workAreaHeight, const DividerPlace &divider)
{
    const int highest = workAreaHeight - divider.lowestBelow;
    if (divider.below < 0 || highest < divider.lowestText)
        return -1;
    return std::clamp(workAreaHeight - divider.below, divider.lowestText, highest);
}

} // namespace

ButtonPanelGeometry buttonPanelGeometry(int, int workAreaHeight, bool terminalShown)
{
    // 64-bit products: a height near the int limit must not overflow.
    const long long height = workAreaHeight;
    const int available = terminalShown ? static_cast<int>((height * 4) / 5) : workAreaHeight;
    return panelFor(available, (workAreaHeight / 5) * 4);
}

WorkAreaLayout workAreaLayout(int workAreaWidth, int workAreaHeight, bool buttonPanelShown, bool terminalShown,
                              const DividerPlace &divider)
{
    const int w = workAreaWidth;
    const int h = workAreaHeight;
    // A moved divider gives the panel the text pane's height, as the starting split does.
    const int moved = terminalShown ? movedTextHeight(h, divider) : -1;
    WorkAreaLayout layout;
    layout.hasButtonPanel = buttonPanelShown;
    if (buttonPanelShown) {
        layout.buttonPanel = moved < 0 ? buttonPanelGeometry(w, h, terminalShown) : panelFor(moved, moved);
        layout.textPane.x = layout.buttonPanel.frame.width;
    }
    layout.textPane.width = w - layout.textPane.x;
    if (terminalShown) {
        layout.textPane.height = moved < 0 ? (h / 5) * 4 : moved;
    } else {
        layout.buttonPanel.frame.height = h;
        layout.textPane.height = h;
    }
    layout.hasTerminal = terminalShown;
    if (terminalShown) {
        const int below = h - layout.textPane.height;
        layout.logo = {0, layout.textPane.height, static_cast<int>((static_cast<long long>(h) * 215) / 700), below};
        const int strip = std::min(dividerHeight, below);
        layout.divider = {layout.logo.width, layout.textPane.height, w - layout.logo.width, strip};
        layout.terminal = {layout.logo.width, layout.textPane.height + strip, w - layout.logo.width, below - strip};
    }
    return layout;
}
