#pragma once
// Files changed by another program while a pane holds them. When one of the program's frames
// gets the focus back, each pane's file is compared with the file as the pane loaded or last
// stored it (by size, modification time and place, then by content): an unchanged pane reloads
// it (one step that Undo takes back), a changed one asks "Reload" or "Keep mine". Before a store
// over such a file the user is asked "Overwrite" or "cancel".
#include <string>

class QWidget;
class TextPane;

// Checks the files whenever `frame` becomes the active window.
void watchForOutsideChanges(QWidget *frame);
// Checks the main pane's file, then each project window's.
void checkForOutsideChanges();
// The user knows already that the pane's file on disk is not the file its text came from (the
// recovery notice said so): the focus coming back does not ask about this state of the file.
void keepMineForNow(TextPane *pane);
// Before the pane's text is stored over its own file: true to go on (the file is as loaded or
// stored, or gone, or the user chose "Overwrite"), false when the user chose "cancel".
bool mayStoreOver(TextPane *pane, QWidget *over);
