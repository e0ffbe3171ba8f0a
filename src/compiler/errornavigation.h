#pragma once
// The error list as the windows use it: rebuilt from the compiler output, stepped through by the
// results window's buttons.

#include "compiler/errorparser.h"

#include <memory>
#include <string>
#include <vector>

class EditedFileResolver;

// The open project windows as the parser sees them, in slot order.
std::vector<ProjectFileTitle> projectTitles();
// The main file and the project windows' files, as they are on disk now; message paths are read
// from `directory`.
std::shared_ptr<EditedFileResolver> editedFilesOnDisk(const std::string &directory);
FileResolver resolverOf(const std::shared_ptr<EditedFileResolver> &files);
// The current configuration's error form.
const char *currentErrorForm();

// Parses `compilerOutput` with the current configuration's error form, sets the results
// window's navigation buttons and places the messages' marks in the editors; does nothing with
// them while there is no output. The terminal's messages are matched again too.
void rebuildErrorList();

// A parser for the output of a compile that is starting: the current configuration's error form,
// the main file's name and the project windows' titles, and the files on disk that messages may
// name by other paths, read from `compileDirectory`.
IncrementalErrorParser startErrorParser();
// At the end of a compile: the list from what `parser` found in `compilerOutput`, when the form,
// the file name, the titles and the files on disk are still those it was made with; otherwise
// rebuildErrorList().
void finishErrorList(IncrementalErrorParser &parser);

// The four navigation buttons: each sets the results message, the buttons, and shows the entry
// at the cursor (its line highlighted in the results pane, its source line selected).
void nextError();
void previousError();
void firstError();
void lastError();
// A double click at `position` of the results pane: when it is on a message line of the list,
// shows that entry as the buttons show one and makes it the list's current entry. Returns
// whether it was one.
bool showMessageAt(long position);

// Selects the source line that the entry names (in the main pane or its project window), underlines
// its column and gives that pane the keyboard focus: what every step to a message does besides
// highlighting the message.
void showMessageSource(ErrorEntry entry);

// Closes the results window, discards the compiler output and removes the messages' marks;
// refused while a compile runs.
void closeResults();

// Sets the results window's four navigation buttons from the error list.
void applyNavigationButtons();
