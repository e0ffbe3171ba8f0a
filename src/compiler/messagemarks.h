#pragma once
// The compiler's messages shown in the editor panes: a mark in the margin of every line that a
// message of the error list names (a red disc where one of them is an error, an amber triangle
// where all are warnings or notes), with the message lines as the mark's tooltip; and, when a
// message gives a column, the token there underlined while navigation shows that message.
//
// The marks move with their lines as the text is edited. They go when a compile starts, when
// the results window closes, and are placed anew whenever the list is rebuilt. Many marks are
// placed a slice at a time, so that a compile of hundreds of thousands of messages never holds
// the window.

#include "compiler/errorparser.h"

#include <QColor>

class TextPane;

// Makes `pane` able to show marks: every editor pane calls it once when it is made (the main
// pane at start-up, each project window's pane when the window opens).
void prepareMessageMarks(TextPane *pane);

// Places the marks of every entry of the messages that lead (the terminal's or the results
// window's, terminalmessages.h), removing those there were.
void placeMessageMarks();
// Removes every mark and the underlined column, and stops placing marks.
void removeMessageMarks();
// Whether marks are still being placed (slices are pending).
bool placingMessageMarks();

// The colour of a message of this kind: its mark, its underlined column, its link.
QColor messageKindColour(MessageKind kind);

// Underlines the token at the entry's column in its source line in `pane` (nothing when the
// message gives no column or the line has none there); the column underlined before goes.
void markMessageColumn(TextPane *pane, const ErrorEntry &entry);

// The byte position in `line` (its text, without the line end) of display column `column` (from
// 1; a tab goes on to the next multiple of 8, a UTF-8 character takes one column), and the end of
// the token that starts there (a word of letters, digits and '_', else one character). False when
// the line is shorter.
bool columnToken(const char *line, long length, int column, long *first, long *lastPlusOne);
