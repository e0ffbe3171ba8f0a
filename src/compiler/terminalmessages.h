#pragma once
// Compiler messages in whatever runs in the terminal pane (make, a test runner, a compiler typed
// by hand): each line that a program prints there is matched, as it arrives, against the current
// configuration's error form, with the main file's name, the project windows' titles and other
// paths read from the shell's working directory (and the directory make says it entered). Each
// new command line starts a new list, as each compile does.
//
// The messages are links in the terminal (underlined, in the colour of their kind; a double click
// or Ctrl+click shows the message as a step of the results window does). F8 and Shift+F8 step
// through them, and the editors' margin marks show them, while they lead: while there is no
// results window, or the terminal's messages are newer than the last captured compile (a user who
// typed `make` after that compile expects F8 to follow `make`).
//
// Only the lines that would be messages if the file they name were edited, and make's reports of
// the directories it enters, are kept: a configuration or a file opened later makes the list anew
// from them.

#include <string_view>

class ErrorList;
class TerminalPane;

// Follows the output of `pane` (the main frame's terminal) from now on.
void watchTerminalMessages(TerminalPane *pane);
// Recognition on (as it starts) or off: off, the terminal's output is not read at all.
void setTerminalMessagesOn(bool on);

// The messages of the terminal's current command line, and the text their positions point into
// (the kept lines, each with its line end).
const ErrorList &terminalErrorList();
std::string_view terminalMessageText();

// Whether F8, Shift+F8 and the margin marks follow the terminal's messages now.
bool terminalMessagesLead();
// F8 and Shift+F8 on the terminal's messages: as the results window's next and previous buttons,
// and only while the list's button would be active.
void nextTerminalMessage();
void previousTerminalMessage();

// The configuration, the main file or the project windows changed: the kept lines are matched
// again.
void rebuildTerminalMessages();
// A captured compile starts, or the user chose a message of the results window: its messages
// lead from now on.
void letResultsLead();
