#pragma once
// The table of project windows: secondary editor frames, one per file of a project. Each has a
// bar of image buttons, a "Text tools" pop-up menu and a text pane, and keeps its own edited
// state, which its title shows: the file's name, followed by " - edited" while edited is set.
#include <string>

class ImageButton;
class QMenu;
class QWidget;
class TextPane;

constexpr int projectWindowSlots = 256;

struct ProjectWindow {
    QWidget *frame = nullptr;
    TextPane *pane = nullptr;
    QWidget *buttonBar = nullptr; // the panel that holds the window's buttons and its prompts
    std::string fileName;         // exactly as the project file names it; the pane holds the full path
    bool edited = false;
    ImageButton *saveButton = nullptr;
    QMenu *menu = nullptr;        // "Text tools"; it and its items carry the slot
};

// Null for an empty slot. A slot is freed as its window closes, before the window's widgets are
// deleted, so the table never holds a window that is going.
extern ProjectWindow *projectWindowTable[projectWindowSlots];
// How many windows the last project file opened: the next slot to fill while one is read.
extern int projectWindowCount;

// --- The table, plain -----------------------------------------------------------------------

// The window in `slot`, or null for a free slot or a slot outside the table.
ProjectWindow *projectWindow(int slot);
// The text pane of the window in `slot`; null as for projectWindow.
TextPane *projectPane(int slot);
bool anyProjectWindowOpen();
// The frame title: the name, followed by " - edited" while the window is edited.
std::string projectWindowTitle(const ProjectWindow &window);

// --- The windows ----------------------------------------------------------------------------

// Opens the project file named by `document.fileName`: its first line goes into the main window,
// each further line into a project window of its own, in slots 0, 1, ... Refused, with a
// notice, while any project window is open.
void openProjectFile();
// Creates the window for file `name` (relative to the working directory now) in `slot`, with
// its file loaded, and shows it; the window stores into that file wherever the program moves
// later. False, with nothing created, when the file cannot be loaded.
bool createProjectWindow(int slot, const std::string &name);

// The project pane's change notification: the first change marks the window edited.
void noteProjectPaneChange(TextPane *pane);
// After the window's file was read again over its changes: the plain title, Save inactive.
void markProjectWindowUnchanged(int slot);
// The bar's Save button and the menu's "Save": stores the pane's text under its file's name
// unless the window is clean. A failed store is reported over the window and changes nothing.
void saveProjectWindow(int slot);
// Undo in the window: takes back one edit while the text differs from the stored one; back at
// the stored text the window is clean again (plain title, Save inactive).
void undoProjectWindow(int slot);
// Asks "Save this file ?" over the window in `slot` when its text is modified. Returns false
// only when the user chose "SAVE" and the store failed (the failure has been reported).
bool offerToSaveProject(int slot);
// The bar's close button and the window manager's close: offers to save, then closes the window
// and frees the slot. When the user chose "SAVE" and the store failed, the window stays open so
// that its text is not lost; returns whether it closed.
bool closeProjectWindow(int slot);
