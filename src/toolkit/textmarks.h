#pragma once
// Marks that the program puts on a text pane for its messages: images in the pane's margin 1
// (margin 0 is the line numbers'), which move with their lines as the text is edited, a tooltip
// for the marked lines, and one underlined range of text (indicator 9).

#include "toolkit/textpane.h"

#include <functional>
#include <string>

enum TextswMark { TEXTSW_MARK_ERROR = 20, TEXTSW_MARK_WARNING = 21 };

// Shows margin 1 with room for the marks and defines their images (a red disc with a cross for
// errors, an amber triangle for warnings). Called once per pane.
void textsw_show_mark_margin(TextPane *pane);
// Adds `mark` on `line` (from 0); returns its handle, or -1 for a line the text does not have.
long textsw_add_mark(TextPane *pane, long line, int mark);
// The line a mark is on now, or -1 when it has gone.
long textsw_mark_line(TextPane *pane, long handle);
// The marks (a bit for each, 1 << mark) on `line`.
int textsw_marks_on(TextPane *pane, long line);
// Removes every error and warning mark.
void textsw_remove_marks(TextPane *pane);

// Underlines the range with a squiggle of `colour`, replacing the range underlined before; an
// empty range only removes that one.
void textsw_set_underline(TextPane *pane, Textsw_index first, Textsw_index last_plus_one, const QColor &colour);
// The underlined range; returns 0 (both ends 0) when there is none.
int textsw_get_underline(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one);

// The text of the tooltip for a line whose margin the mouse rests on (empty: none).
using TextswMarginTipProc = std::function<std::string(TextPane *pane, long line)>;
void textsw_set_margin_tip_proc(TextPane *pane, TextswMarginTipProc proc);
