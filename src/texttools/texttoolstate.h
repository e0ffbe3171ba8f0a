#pragma once
// The state that every text tool shares, and the fetch of the primary selection.
#include <string>

class PanelTextField;

// The one prompt field open at a time, in the main window or in a project window; null when
// none is open.
extern PanelTextField *toolPrompt;
// The held search string: set by Find, Replace, Grep and Column add/del; Find next searches
// for it.
extern std::string searchString;
// Where the next find or replace begins.
extern long searchStart;
// First and last (inclusive) selected positions reported by the last fetchSelection; -1 when
// the holder is another program.
extern long selectionFirst;
extern long selectionLast;

// Whether the main text pane refuses changes: its file was loaded read-only, or the pane is.
bool textPaneReadOnly();

// Starting values: no prompt, empty search string.
void initialiseTextToolState();

// The primary selection's text, wherever it is on the display; its positions go into
// selectionFirst and selectionLast. Empty when nothing is selected.
std::string fetchSelection();
