#pragma once
// The table of project windows: secondary editor frames, one per file of a project.
#include <string>

class QWidget;
class TextPane;

constexpr int projectWindowSlots = 256;

struct ProjectWindow {
    QWidget *frame = nullptr;
    TextPane *pane = nullptr;
    QWidget *buttonBar = nullptr; // the panel that holds the window's buttons and its prompts
    std::string fileName;
    bool edited = false;
};

// Null for an empty slot.
extern ProjectWindow *projectWindowTable[projectWindowSlots];

// Asks "Save this file ?" for the project window in `slot` when its text is modified. Returns
// false only when the user chose "SAVE" and the store failed (the failure has been reported).
bool offerToSaveProject(int slot);
// Opens the project file named by `document.fileName`: its first line names the main window's
// file, each further line a project window's file.
void openProjectFile();
