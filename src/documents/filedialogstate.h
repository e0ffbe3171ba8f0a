#pragma once
// The one open or save-as dialog, shared by the document operations that close it.
class QLineEdit;
class QWidget;

extern QWidget *fileDialog;      // null while no dialog is open
extern QLineEdit *fileNameField; // the save-as dialog's "Filename: " field; null otherwise

// Takes the dialog down and records that none is open.
void destroyFileDialog();
