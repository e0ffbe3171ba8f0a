#pragma once
// Go to line: selects a whole line of a text pane by its number and scrolls it into view.
// Error navigation uses goToLine to show a compiler message's source line.
#include <string>

class TextPane;

// The main window's action, on the main text pane (its prompt goes into the menu bar).
void startGoToLine();

// Selects line `line` (counted from 0) of `pane`, its newline included, as the primary
// selection and closes an open prompt; a line that does not exist, or that has no newline
// (the last line of a text without a final newline), shows the not-found notice and leaves
// the selection and the prompt as they were. A negative line closes the prompt first and
// selects the first line.
void goToLine(TextPane *pane, int line);
// The same for the text pane of the project window in `projectSlot`.
void goToLine(int projectSlot, int line);

// The project window's action: like startGoToLine for that window's pane, prompting in its
// button bar.
void startProjectGoToLine(int index);

// The decimal value of a text: leading white space skipped, an optional sign and the digits
// that follow; the first other character ends it; no digits gives 0. Values beyond the range
// of int are held at its ends.
int decimalValue(const std::string &text);
