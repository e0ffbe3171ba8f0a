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
    bool hasTerminal = false; // the logo, the divider and the terminal exist only while the terminal is shown
    Rect logo;
    Rect divider;             // the strip above the terminal that moves the border between the panes
    Rect terminal;
};

// How high the divider strip is; the terminal begins below it.
constexpr int dividerHeight = 5;

// Where the user has put the divider. The text pane starts four fifths of the work area high;
// once the divider has been dragged, the row of the logo and the terminal keeps the height
// chosen (`below`, divider included) when the work area changes size, as far as each pane keeps
// its least height (`lowestText` for the text pane, `lowestBelow` for that row). Where the work
// area is too low for both, the starting split holds.
struct DividerPlace {
    int below = -1; // -1: not moved
    int lowestText = 0;
    int lowestBelow = 0;
};

ButtonPanelGeometry buttonPanelGeometry(int workAreaWidth, int workAreaHeight, bool terminalShown);
WorkAreaLayout workAreaLayout(int workAreaWidth, int workAreaHeight, bool buttonPanelShown, bool terminalShown,
                              const DividerPlace &divider = DividerPlace());
