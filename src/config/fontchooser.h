#pragma once
// "Choose font": the "Set font" dialog, in the dialog slot of the configuration dialogs. Three
// choices compose an X font name, shown in that font as a preview; OK gives the font to the main
// text pane, to the project windows' panes, or both. Nothing is written to the configuration file.

#include "config/fontnames.h"

struct XFontFace;

// The menu item: opens the "Set font" dialog when the dialog slot is free.
void chooseFont();

extern FontChoice fontChoice;
// The font found for the composed name; null when the X server has none.
extern const XFontFace *chosenFont;

// Takes the three choices of the open dialog into fontChoice, looks the composed name up and
// shows it in the preview line, drawn in that font, or "Font not available".
void showComposedFont();
// OK: takes the two boxes into fontChoice and gives chosenFont to the panes they name (printing
// "Font not found.\n" when there is none), then closes the dialog.
void applyFont();
