#pragma once
// Replace in the main text pane: all at once or one by one.
#include <string>

// The menu action.
void startReplace();

// The text typed into the "Replace with -> " prompt; may be empty (the replace then deletes).
extern std::string replacementString;

// Continues once the search text is known: highlights its first occurrence from searchStart
// and asks for the replacement.
void askReplacement();
// The Return handler of the "Replace with -> " prompt: asks for the mode and replaces.
void runReplace();
