#pragma once
// Typing a command template into the terminal pane.

// Offers to save the edited files, expands the template's macros ('*' root of the file name,
// '#' matched extension, backslash-n newline) and types the result into the terminal, followed by
// a newline, as two separate inputs, once the shell waits at an empty prompt (terminalcommands.h).
// Whatever the user answers to the offer, the command is typed.
void expandCommand(const char *commandTemplate);
