#pragma once
// What the terminal pane tells of the text that programs print in it, and lines of that text shown
// as links: the lines as they arrive, the start of each new command line, the shell's working
// directory; links underlined in the terminal, opened by a double click or Ctrl+click; one line
// highlighted as a secondary selection. The program decides which lines are links.
//
// A line of the terminal is known by its text (as TerminalLineSplitter gives it, terminaltext.h)
// and, among equal lines, by how many equal lines follow it in the terminal's text.

#include <QColor>
#include <QPoint>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;
class TerminalPane;

// Called with every line that the programs running in the terminal print, as it ends (see
// terminaltext.h). Null stops it.
void ttysw_set_line_proc(TerminalPane *pane, std::function<void(std::string_view line)> proc);

// Called when a new command line starts: Return typed (at the keyboard, or through ttysw_input)
// while the shell itself runs in the terminal's foreground, not a program it started.
void ttysw_set_command_proc(TerminalPane *pane, std::function<void()> proc);

struct TerminalLinks {
    // The colour of the line's underline; an invalid colour: the line is no link.
    std::function<QColor(const std::string &line)> colour;
    // A double click or Ctrl+click on a link: its text and how many equal lines follow it.
    std::function<void(const std::string &line, int equalLinesAfter)> open;
};
// The links of `pane`. Lines are looked at while any may be a link (ttysw_show_links).
void ttysw_set_links(TerminalPane *pane, TerminalLinks links);
// Whether any line may be a link now: the visible lines are looked at again soon (false: none is
// underlined, and output costs nothing more).
void ttysw_show_links(TerminalPane *pane, bool any);

// Highlights the line `line` followed by `equalLinesAfter` equal lines, as a secondary selection,
// and scrolls it into view. An empty text takes the highlight away.
void ttysw_highlight_line(TerminalPane *pane, const std::string &line, int equalLinesAfter);

// The working directory of the terminal's shell now, or empty when it cannot be read.
std::string ttysw_shell_directory(TerminalPane *pane);

// Called by ttysw_input with what it types.
void terminalInputTyped(TerminalPane *pane, const char *bytes, int length);

// For tests: the rows of the terminal's display (from its top, 0 the first visible row) that are
// underlined now, and the row highlighted (-1 when none is visible).
std::vector<int> terminalLinkRows(TerminalPane *pane);
int terminalHighlightedRow(TerminalPane *pane);
// For tests: the point of the display (in its own coordinates) in the middle of `row`, column
// `column` (both from 0), and the display widget.
QPoint terminalCellCentre(TerminalPane *pane, int row, int column);
QWidget *terminalDisplay(TerminalPane *pane);
