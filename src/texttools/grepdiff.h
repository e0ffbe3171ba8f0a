#pragma once
// Grep and Diff: commands typed into the terminal, where the user's shell runs them in its
// current directory and shows their output.
#include <string>

// The menu actions.
void startGrep();
void startDiff();

// What Grep types for `string`: grep, the string as one argument, and every file of the
// directory, with the newline that runs it. The string is typed as it is when the shell reads
// it literally ("grep main *\n"), quoted otherwise, so that nothing in it runs; one that begins
// with "-" follows -e, so that grep searches for it instead of reading it as an option. Line
// ends at the string's end are left out: grep matches within lines, and an empty pattern after
// the last one would match every line.
std::string grepCommand(const std::string &string);

// Types the grep command for searchString into the terminal.
void typeGrepCommand();
