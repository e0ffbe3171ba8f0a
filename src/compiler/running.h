#pragma once
// Running the compiled target in the terminal, and breaking what runs.

// Type the configuration's target call into the terminal, in the background or the foreground.
void runInBackground();
void runInForeground();
// Stops a running captured compile; otherwise types Ctrl-C and a newline into the terminal.
void breakExecution();
