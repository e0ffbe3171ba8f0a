#include "documents/filedialogstate.h"

#include <QFile>
#include <QLineEdit>
#include <QWidget>

QWidget *fileDialog;
QLineEdit *fileNameField;
FileList *fileList;
QLineEdit *currentPathField;

namespace {

// The bytes of the last name put into the field, and the text that stood for them.
std::string rowNameBytes;
QString rowNameText;

} // namespace

void forgetFileDialog(QWidget *dialog)
{
    if (!dialog || dialog != fileDialog)
        return;
    fileDialog = nullptr;
    fileNameField = nullptr;
    fileList = nullptr;
    currentPathField = nullptr;
    rowNameBytes.clear();
    rowNameText.clear();
}

void destroyFileDialog()
{
    QWidget *dialog = fileDialog;
    forgetFileDialog(dialog);
    if (dialog) {
        dialog->hide();
        dialog->deleteLater();
    }
}

std::string fileNameFieldValue()
{
    if (!fileNameField)
        return std::string();
    const QString text = fileNameField->text();
    if (!rowNameText.isEmpty() && text == rowNameText)
        return rowNameBytes;
    return QFile::encodeName(text).toStdString();
}

void setFileNameFieldValue(const std::string &name)
{
    if (!fileNameField)
        return;
    rowNameBytes = name;
    rowNameText = QFile::decodeName(QByteArray::fromStdString(name));
    fileNameField->setText(rowNameText);
}
