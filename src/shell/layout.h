#pragma once
// Geometry of the main frame's work area: the button panel at the left, the text pane beside it,
// the logo and the terminal below. Pure arithmetic, so it can be checked without windows.

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct ButtonPanelGeometry {
    int columns = 1;     // one button per row when the panel's height allows, else two
    int columnGap = 0;   // horizontal gap between the two buttons of a row
    int rowGap = 0;      // vertical gap between rows; negative on very low panels
    Rect frame;          // at 0, 0 of the work area
};

struct WorkAreaLayout {
    bool hasButtonPanel = false;
    ButtonPanelGeometry buttonPanel;
    Rect textPane;
    bool hasTerminal = false; // the logo and the terminal exist only while the terminal is shown
    Rect logo;
    Rect terminal;
};

ButtonPanelGeometry buttonPanelGeometry(int workAreaWidth, int workAreaHeight, bool terminalShown);
WorkAreaLayout workAreaLayout(int workAreaWidth, int workAreaHeight, bool buttonPanelShown, bool terminalShown);
