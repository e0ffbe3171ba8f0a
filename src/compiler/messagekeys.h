#pragma once
// The compiler's keys, all wired here: F8 and Shift+F8 step to the next and the previous
// message of the error list, as the results window's buttons do (and only while the button is
// active), or of the terminal's messages while those lead (terminalmessages.h); Ctrl+F7 and
// Ctrl+F5 compile and run from the other windows; Escape in the results window is "Break
// execution".

class QWidget;

// Gives `window` (the main window, a project window, the results window) the F8 and Shift+F8
// keys. They act whichever of the window's panes has the keyboard focus.
void addMessageKeys(QWidget *window);
// Gives a window other than the main one (a project window, the results window) the keys of
// "Compile current file" (Ctrl+F7) and "Run in foreground" (Ctrl+F5); they act on the main
// window's file, as from there.
void addCompileKeys(QWidget *window);
// Gives the results window its Escape key.
void addBreakKey(QWidget *resultsWindow);

// What the keys do: next and previous message while the matching button is active.
void nextMessageKey();
void previousMessageKey();
