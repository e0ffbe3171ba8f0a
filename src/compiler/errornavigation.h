#pragma once
// The error list as the windows use it: rebuilt from the compiler output, stepped through by the
// results window's buttons.

#include "compiler/errorparser.h"

// Parses `compilerOutput` with the current configuration's error form and sets the results
// window's navigation buttons; does nothing while there is no output.
void rebuildErrorList();

// A parser for the output of a compile that is starting: the current configuration's error form,
// the main file's name and the project windows' titles.
IncrementalErrorParser startErrorParser();
// At the end of a compile: the list from what `parser` found in `compilerOutput`, when the form,
// the file name and the titles are still those it was made with; otherwise rebuildErrorList().
void finishErrorList(IncrementalErrorParser &parser);

// The four navigation buttons: each sets the results message, the buttons, and shows the entry
// at the cursor (its line highlighted in the results pane, its source line selected).
void nextError();
void previousError();
void firstError();
void lastError();

// Closes the results window and discards the compiler output; refused while a compile runs.
void closeResults();

// Sets the results window's four navigation buttons from the error list.
void applyNavigationButtons();
