#pragma once
// The string tools: one held string of the program's own, taken from the primary selection
// wherever it is on the display (Cut string, Copy string) and put in at a pane's caret or typed
// into the terminal (Insert string).
#include <string>

class TextPane;

// The main window's actions: insertString() inserts into the main text pane; insertStringTerminal
// deletes the primary selection and types the held string into the terminal.
void cutString();
void copyString();
void insertString();
void insertStringTerminal();

// The held string: the whole text of the last non-empty selection that was cut or copied,
// byte for byte; empty at start. An Insert does not use it up.
extern std::string heldString;

// Insert string into `pane`: deletes the primary selection, wherever it is, then inserts the
// held string at the pane's caret. Does nothing in a read-only pane, nor when the held string
// would take the pane past its memory limit (nothing is deleted then either).
void insertString(TextPane *pane);
// The same for the text pane of the project window in `index`.
void insertProjectString(int index);
