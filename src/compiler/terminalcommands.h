#pragma once
// The one way in which commands reach the user's shell on the user's behalf: "cd", the typed
// compile, running the target, Diff, Grep, the print commands, the home page and "New frame".
//
// A command is typed only into an idle, empty prompt: the shell itself holds the terminal's
// foreground (no program it started runs there) and nothing has been typed on its line since the
// last Return, Ctrl-C or Ctrl-U. Otherwise the command waits, the main frame says why in a line
// of the menu bar ("Waiting for the terminal: vim is running"), and it is typed as soon as the
// shell is back at an empty prompt. Escape in the main frame drops the waiting commands; asking
// again for a command that waits drops it. Break execution's interrupt does not come through
// here: it goes at once.
#include <string>
#include <vector>

// Types `inputs` into the terminal, one input each and in order, now or once the shell waits at
// an empty prompt. Together they make whole lines: the last one ends in a newline.
void typeShellCommand(const std::vector<std::string> &inputs);

// How many commands wait for the shell.
int waitingShellCommandCount();
// Drops every waiting command (Escape).
void dropWaitingShellCommands();
// What the main frame shows while a command waits; empty when none waits.
std::string waitingLineText();
