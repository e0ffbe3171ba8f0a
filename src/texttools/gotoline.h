#pragma once
// Go to line: selects a whole line of a text pane.

class TextPane;

// Selects line `line` of the pane (counted from 0: the user's line number minus 1), with its
// newline, as the primary selection and scrolls it into view; the insertion point stays. A line
// beyond the text, or the last line when it has no newline, brings up the not-found notice.
void goToLine(TextPane *pane, int line);
