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

// Sizes from the configuration made safe to use. A length of 0 or less (an unread or damaged
// setting) takes the fallback's; every length is then kept between `smallest` and `largest`.
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
