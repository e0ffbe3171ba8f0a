#pragma once
// The one open or save-as dialog, shared by the document operations that close it.
#include <string>

class FileList;
class QLineEdit;
class QWidget;

extern QWidget *fileDialog;        // null while no dialog is open
extern QLineEdit *fileNameField;   // the save-as dialog's "Filename: " field; null otherwise
extern FileList *fileList;         // the dialog's file list; null while no dialog is open
extern QLineEdit *currentPathField; // the dialog's read-only "Current path:" field

// Takes the dialog down and records that none is open. Safe from inside the dialog's own
// callbacks: the window is hidden at once and deleted when control is back in the event loop.
void destroyFileDialog();
// Forgets the handles when `dialog` is the open dialog (it is being deleted by its owner).
void forgetFileDialog(QWidget *dialog);

// The "Filename: " field's value as bytes. A name put there from a list row is returned exactly
// as the file system holds it, also when it is not valid in the locale's encoding.
std::string fileNameFieldValue();
void setFileNameFieldValue(const std::string &name);
