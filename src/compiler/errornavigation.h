#pragma once
// The error list as the windows use it: rebuilt from the compiler output, stepped through by the
// results window's buttons.

// Parses `compilerOutput` with the current configuration's error form and sets the results
// window's navigation buttons; does nothing while there is no output.
void rebuildErrorList();

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
