#include "documents/filedialog.h"

#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialogstate.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int shownPathLength = 30;
constexpr int initialListWidth = 200;
constexpr int movedListWidth = 300;
constexpr int panelMargin = 3; // each side: the panel is the list's width plus 6 pixels
constexpr int fileNameColumns = 12;
constexpr int fileNameCapacity = 256;
const QPoint offsetFromMainFrame(16, 13);

enum class DialogKind { Open, SaveAs };

// The dialog's frame. Closing it through the window manager, or with Escape, is the same as its
// cancel button, so that the dialog commands work again afterwards.
class FileDialogWindow : public QWidget {
public:
    FileDialogWindow(QWidget *owner, const char *title) : QWidget(owner, Qt::Dialog)
    {
        setWindowTitle(QString::fromLatin1(title));
    }
    ~FileDialogWindow() override { forgetFileDialog(this); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (fileDialog == this)
            cancelFileDialog();
        event->accept();
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape)
            close();
        else
            QWidget::keyPressEvent(event);
    }
};

int columnsWide(QWidget *field, int columns)
{
    const QFontMetrics metrics = field->fontMetrics();
    return metrics.horizontalAdvance(QString(columns, QLatin1Char('n'))) + 12;
}

QPushButton *addButton(QBoxLayout *layout, const char *label, void (*action)())
{
    auto *button = new QPushButton(QString::fromLatin1(label));
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, [action] { action(); });
    layout->addWidget(button, 0, Qt::AlignLeft);
    return button;
}

void addPathField(QVBoxLayout *panel)
{
    panel->addWidget(new QLabel(QStringLiteral("Current path:")));
    currentPathField = new QLineEdit(shownPath(fileDirectory));
    currentPathField->setObjectName("CurrentPath");
    currentPathField->setReadOnly(true);
    currentPathField->setFixedWidth(columnsWide(currentPathField, shownPathLength));
    panel->addWidget(currentPathField, 0, Qt::AlignLeft);
}

void addFileList(QVBoxLayout *panel)
{
    fileList = new FileList(fileDirectory);
    fileList->setRows(generalSettings.fileListRows);
    fileList->setListWidth(initialListWidth);
    fileList->setNotifyProc(fileListNotification);
    fileList->setChangeDirProc(fileListDirectoryChange);
    panel->addWidget(fileList, 0, Qt::AlignLeft);
}

void addConfirmAndCancel(QVBoxLayout *panel, DialogKind kind)
{
    auto *row = new QHBoxLayout;
    if (kind == DialogKind::Open)
        addButton(row, "  OPEN FILE  ", openDocument);
    else
        addButton(row, "      Ok      ", saveDocumentAs);
    addButton(row, "  cancel  ", cancelFileDialog);
    row->addStretch();
    panel->addLayout(row);
}

// Pre-filled with the document's name only where the terminal already is: elsewhere the name
// would store a file of the same name in another directory.
void addFileNameField(QVBoxLayout *panel)
{
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Filename: ")));
    fileNameField = new QLineEdit;
    fileNameField->setObjectName("FileName");
    fileNameField->setMaxLength(fileNameCapacity);
    fileNameField->setFixedWidth(columnsWide(fileNameField, fileNameColumns));
    QObject::connect(fileNameField, &QLineEdit::returnPressed, [] { saveDocumentAs(); });
    row->addWidget(fileNameField);
    row->addStretch();
    panel->addLayout(row);
    if (workingDirectory == fileDirectory)
        setFileNameFieldValue(document.fileName);
}

void addHiddenFilesSwitch(QVBoxLayout *panel, DialogKind kind)
{
    auto *box = new QCheckBox(kind == DialogKind::Open ? QStringLiteral("Show hidden files")
                                                       : QStringLiteral("Hidden files"));
    QObject::connect(box, &QCheckBox::toggled, [](bool on) { switchHiddenFiles(on); });
    panel->addWidget(box, 0, Qt::AlignLeft);
}

void buildFileDialog(DialogKind kind)
{
    if (fileDialog)
        return;
    if (kind == DialogKind::Open)
        offerToSave();
    if (fileDialog) // opened while the save question was up
        return;
    directoryChanged = false;
    fileNameField = nullptr;

    const bool open = kind == DialogKind::Open;
    auto *dialog = new FileDialogWindow(open ? mainFrame : nullptr,
                                        open ? "Select a file to open" : "Choose a filename to save");
    dialog->setObjectName(open ? "OpenDialog" : "SaveAsDialog");
    fileDialog = dialog;
    if (mainFrame)
        dialog->move(mainFrame->pos() + offsetFromMainFrame);

    auto *panel = new QVBoxLayout(dialog);
    panel->setContentsMargins(panelMargin, panelMargin, panelMargin, panelMargin);
    addPathField(panel);
    addFileList(panel);
    addConfirmAndCancel(panel, kind);
    if (!open)
        addFileNameField(panel);
    addHiddenFilesSwitch(panel, kind);
    if (open)
        addButton(panel, "Project file", openProjectFile);

    // The layout keeps the panel large enough for every item; the list's later growth to 300
    // pixels widens the window with it.
    dialog->adjustSize();
    dialog->resize(fileList->listWidth() + 2 * panelMargin, dialog->height() - 10);
    dialog->show();
}

bool isProjectFileName(const std::string &name)
{
    static const std::string ending = ".project";
    return name.size() >= 8 && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

} // namespace

void showOpenDialog()
{
    buildFileDialog(DialogKind::Open);
}

void showSaveAsDialog()
{
    buildFileDialog(DialogKind::SaveAs);
}

QString shownPath(const std::string &path)
{
    const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
    return shown.size() > shownPathLength ? shown.right(shownPathLength) : shown;
}

void fileListNotification(const std::string &name, FileListNotification kind, int row)
{
    if (!fileDialog || !fileList || fileList->rowType(row) != FileRowType::File)
        return;
    const bool saveAs = fileNameField != nullptr;
    if (saveAs)
        setFileNameFieldValue(name);
    document.fileName = name;
    if (kind != FileListNotification::DoubleClick)
        return;
    if (saveAs)
        saveDocumentAs();
    else if (isProjectFileName(name))
        openProjectFile();
    else
        openDocument();
}

void fileListDirectoryChange(const std::string &path)
{
    if (path == fileDirectory && !directoryChanged)
        return;
    directoryChanged = true;
    if (currentPathField)
        currentPathField->setText(shownPath(path));
    fileDirectory = path;
    if (fileList)
        fileList->setListWidth(movedListWidth);
}

void switchHiddenFiles(bool show)
{
    if (fileList)
        fileList->setShowHidden(show);
}

void cancelFileDialog()
{
    if (directoryChanged)
        typeChangeDirectory(fileDirectory);
    destroyFileDialog();
    refreshFileName();
}
