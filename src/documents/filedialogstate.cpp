#include "documents/filedialogstate.h"

#include <QWidget>

QWidget *fileDialog;
QLineEdit *fileNameField;

void destroyFileDialog()
{
    if (fileDialog)
        fileDialog->deleteLater();
    fileDialog = nullptr;
    fileNameField = nullptr;
}
