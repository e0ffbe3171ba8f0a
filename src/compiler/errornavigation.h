#pragma once
// The error list as the windows use it: rebuilt from the compiler output, stepped through by the
// results window's buttons.

// Parses `compilerOutput` with the current configuration's error form; does nothing while there
// is no output.
void rebuildErrorList();
