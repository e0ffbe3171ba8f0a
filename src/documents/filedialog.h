#pragma once
// The open and save-as dialogs: a file list to move between directories and choose a file.
#include "toolkit/filelist.h"

#include <QString>

#include <string>

// Open and Save as: build the dialog.
void showOpenDialog();
void showSaveAsDialog();

// How the "Current path:" field shows a directory: whole up to 30 characters, else its last 30.
QString shownPath(const std::string &path);

// The file list's notification for a row: the save-as dialog takes the name into its field;
// every file row becomes the document's file name; a double-click opens or stores it.
void fileListNotification(const std::string &name, FileListNotification kind, int row);
// The file list moved to `path` by itself.
void fileListDirectoryChange(const std::string &path);
// The "Show hidden files" / "Hidden files" check box.
void switchHiddenFiles(bool show);
// "  cancel  " of either dialog, and closing the dialog's window.
void cancelFileDialog();
