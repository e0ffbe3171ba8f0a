#pragma once
// The program's own one-bit artwork: the 16 x 16 button pictures and the two 64 x 64 icons.
// The pictures live as XBM files in frame/images/.

#include "toolkit/imagebutton.h"

// Button panel of the main window, in panel order.
extern const XbmImage openFileImage;         // a page of text
extern const XbmImage saveFileImage;         // an arrow down into a tray
extern const XbmImage quitImage;             // the letter Q
extern const XbmImage goToLineImage;         // lines, a pointer at the middle one
extern const XbmImage findForwardImage;      // magnifying glass, solid triangle right
extern const XbmImage findBackwardImage;     // magnifying glass, solid triangle left
extern const XbmImage findNextForwardImage;  // magnifying glass, open angle right
extern const XbmImage findNextBackwardImage; // magnifying glass, open angle left
extern const XbmImage cutStringImage;        // scissors
extern const XbmImage copyStringImage;       // lines, an arrow down into a hatched bar
extern const XbmImage insertStringImage;     // a hatched bar, an arrow up into the lines
extern const XbmImage compileImage;          // a gear
extern const XbmImage runImage;              // a window with an X in it
extern const XbmImage runInForegroundImage;  // the characters > and R

// Results window buttons not shared with the panel.
extern const XbmImage previousErrorImage; // triangle left
extern const XbmImage firstErrorImage;    // triangle up
extern const XbmImage nextErrorImage;     // triangle right
extern const XbmImage lastErrorImage;     // triangle down
extern const XbmImage closeResultsImage;  // small filled square

// A project window's close button.
extern const XbmImage closeProjectImage; // a 4 x 4 filled square in the middle

// 64 x 64 icons.
extern const XbmImage mainIconImage;    // the main window in miniature
extern const XbmImage resultsIconImage; // compiler messages with navigation triangles
