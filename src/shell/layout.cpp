#include "shell/layout.h"

ButtonPanelGeometry buttonPanelGeometry(int, int workAreaHeight, bool terminalShown)
{
    const unsigned height = static_cast<unsigned>(workAreaHeight);
    const int available = terminalShown ? static_cast<int>((height * 4u) / 5u) : workAreaHeight;
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
        layout.logo = {0, layout.textPane.height, (h * 215) / 700, below};
        layout.terminal = {layout.logo.width, layout.textPane.height, w - layout.logo.width, below};
    }
    return layout;
}
