#pragma once
// The captured compile as the notifier drives it.

#include "toolkit/notifier.h"

// The compile button and menu item: starts a captured compile of the main window's file, or
// types the compiler call into the terminal when the configuration's compiler does not terminate.
void startCompile();

// The notifier client that the compiler child's output and end handlers are registered under.
extern const NotifyClient compilerClient;

// Input handler of the pipe: reads what is waiting, in pieces of at most 1024 bytes, and shows
// each piece in the results pane while it still takes text.
NotifyValue readCompilerOutput(NotifyClient client, int fd);
// Child handler: reports how the compiler ended, collects the output, releases the buttons and
// the lock and rebuilds the error list. A stopped child leaves the compile running.
NotifyValue compilerEnded(NotifyClient client, int pid, int status, const struct rusage *usage);
// Stops a running captured compile: SIGINT to the compiler's process group, then SIGKILL when it
// still runs 3 s later. The compile then ends as a killed compiler does. Does nothing without one.
void stopCompile();
// Timer handler of the "*** Compiling ***" animation.
NotifyValue animateCompiling(NotifyClient client, int which);
