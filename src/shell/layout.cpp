#include "shell/layout.h"

#include <algorithm>

ButtonPanelGeometry buttonPanelGeometry(int, int workAreaHeight, bool terminalShown)
{
    // 64-bit products: a height near the int limit must not overflow.
    const long long height = workAreaHeight;
    const int available = terminalShown ? static_cast<int>((height * 4) / 5) : workAreaHeight;
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
    panel.frame.height = (workAreaHeight / 5) * 4;
    return panel;
}

WorkAreaLayout workAreaLayout(int workAreaWidth, int workAreaHeight, bool buttonPanelShown, bool terminalShown)
{
    const int w = workAreaWidth;
    const int h = workAreaHeight;
    WorkAreaLayout layout;
    layout.hasButtonPanel = buttonPanelShown;
    if (buttonPanelShown) {
        layout.buttonPanel = buttonPanelGeometry(w, h, terminalShown);
        layout.textPane.x = layout.buttonPanel.frame.width;
    }
    layout.textPane.width = w - layout.textPane.x;
    if (terminalShown) {
        layout.textPane.height = (h / 5) * 4;
    } else {
        layout.buttonPanel.frame.height = h;
        layout.textPane.height = h;
    }
    layout.hasTerminal = terminalShown;
    if (terminalShown) {
        const int below = h - layout.textPane.height;
        layout.logo = {0, layout.textPane.height, static_cast<int>((static_cast<long long>(h) * 215) / 700), below};
        layout.terminal = {layout.logo.width, layout.textPane.height, w - layout.logo.width, below};
    }
    return layout;
}
