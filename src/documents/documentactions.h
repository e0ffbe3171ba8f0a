#pragma once
// Loading, storing and the title of the main window's file.
#include <string>

class TextPane;

void setMainTitle(const std::string &title);
std::string mainTitle();
void setSaveButtonActive(bool active);
// After a load, store or undo back to the stored text: the clean "%s: <%s>" title, not edited,
// Save inactive.
void markDocumentUnchanged();
// Probes a file by opening it with `mode` ("r", or "r+" which neither creates nor truncates) and
// closing it at once.
bool canOpenFile(const std::string &name, const char *mode);

// True when `document.loadStatus` is 0; otherwise shows the notice for the code.
bool reportLoadStatus();
// Puts the name of the file that the text pane edits into `document.fileName`; true when it
// edits one.
bool refreshFileName();
// After the pane was asked to load `document.fileName`: reports a failure, chooses the
// configuration by extension, sets the title and rebuilds the error list.
bool adoptLoadedFile();
// Moves the program and the terminal into the directory that the file dialog's list shows,
// when they are not there or the list moved: names chosen in the list are relative to it.
void followListDirectory();
// Loads `document.fileName` (chosen by the open dialog or a project file) into the text pane.
void openDocument();
// The text pane's change notification: the first change marks the document edited.
void noteTextPaneChange(TextPane *pane);
// Asks "Save this file ?" for a modified main text, then for each project window. Returns false
// when the user chose "SAVE" and a store failed (the failure has been shown): the text that
// could not be stored must not be discarded.
bool offerToSave();
// Stores the text under the name in the save-as dialog's "Filename: " field.
void saveDocumentAs();
// Save: stores a modified text under `document.fileName`; without either, a notice says so.
void saveDocument();

// Types "cd ", the directory and a newline into the terminal, quoting the directory for the shell
// when it holds anything but characters the shell reads literally.
void typeChangeDirectory(const std::string &directory);
// The text as one word for the shell: unchanged when the shell reads each of its characters
// literally, otherwise quoted (bytes that cannot be typed are rebuilt by printf) so that the
// shell hands the command exactly these bytes and runs nothing else. A word that begins with
// "-" is still taken as an option by most commands: the caller deals with that.
std::string shellWord(const std::string &text);
// Where a piece of a word stands in the shell text around it: outside any quotes, or between
// the text's own single or double quotes.
enum class ShellQuoting { none, singleQuotes, doubleQuotes };
// The text as a piece of a larger word, quoted for the place it stands in so that the shell
// takes its bytes literally and runs nothing: unchanged when they are literal there already
// (an empty text gives nothing); outside quotes as shellWord quotes it; inside the template's
// own quotes escaped for them, or with those quotes closed around shellWord's form and opened
// again. Adjacent pieces join into one word.
std::string shellPiece(ShellQuoting quoting, const std::string &text);
