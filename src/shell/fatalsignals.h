#pragma once
// A signal that ends the program (a fault, an abort, a kill other than -9, the terminal going
// away) prints one line naming it on standard error; the recovery journals are on disk already
// and stay there for the next start. The signal then has its usual effect (a core dump, the exit
// status, a sanitizer's report).

// Installs the handlers; a signal that the process was started to ignore stays ignored.
void reportFatalSignals();
// The line printed for `signal`, with its newline.
const char *fatalSignalLine(int signal);
