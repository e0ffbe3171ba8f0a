#include "documents/documentactions.h"

#include "compiler/compilestate.h"
#include "compiler/errornavigation.h"
#include "compiler/terminalcommands.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/filedialogstate.h"
#include "documents/outsidechanges.h"
#include "documents/projectwindows.h"
#include "documents/recoveryoffer.h"
#include "documents/storefailure.h"
#include "frame/mainframe.h"
#include "toolkit/frame.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <QString>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

void noticeOk(const std::vector<std::string> &lines)
{
    notice_prompt(mainFrame, lines, {noticeYes("Ok")});
}

void notModifiedNotice()
{
    noticeOk({"Text has not been modified,  or", "no file name specified"});
}


void changeProgramDirectory(const std::string &directory)
{
    if (chdir(directory.c_str()) != 0)
        perror(directory.c_str());
}

// The list moved in this dialog, or an earlier dialog left it (cancelled) in a directory where
// the program is not: in both cases the chosen name is relative to fileDirectory, so the program
// and the terminal must move there before the name is used.
bool listAwayFromWorkingDirectory()
{
    return directoryChanged || fileDirectory != workingDirectory;
}

// Stores the main pane's text under `name`; a failure is shown over the main frame, naming the
// file (within `directory` when the name is relative to it) and the reason.
bool storeDocument(const std::string &name, const std::string &directory = std::string())
{
    const int error = textsw_store_file(textPane, name);
    if (error == 0)
        return true;
    const bool relative = !directory.empty() && !name.empty() && name[0] != '/';
    reportStoreFailure(mainFrame, relative ? directory + "/" + name : name, error);
    return false;
}

} // namespace

void setMainTitle(const std::string &title)
{
    frame_set_label(mainFrame, QString::fromLocal8Bit(title.c_str()));
}

std::string mainTitle()
{
    return frame_label(mainFrame).toLocal8Bit().toStdString();
}

void markDocumentUnchanged()
{
    setMainTitle(documentTitle());
    document.edited = false;
    setSaveButtonActive(false);
}

bool canOpenFile(const std::string &name, const char *mode)
{
    // Without waiting: opening a named pipe would otherwise wait for a writer and hold the window.
    const int flags = std::strcmp(mode, "r+") == 0 ? O_RDWR : O_RDONLY;
    const int probe = open(name.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (probe < 0)
        return false;
    close(probe);
    return true;
}

void setSaveButtonActive(bool active)
{
    if (buttonPanel && saveButton)
        saveButton->setInactive(!active);
}

bool reportLoadStatus()
{
    const char *message = nullptr;
    switch (document.loadStatus) {
    case 0:
        return true;
    case 1:
        message = "File operation failed";
        break;
    case 2:
    case 7:
        message = "Out of memory error";
        break;
    case 3:
    case 6:
        message = "File couldn't be opened";
        break;
    case 4:
    case 5:
        message = "Internal attribute error";
        break;
    default:
        return false;
    }
    noticeOk({message});
    return false;
}

bool refreshFileName()
{
    std::string name;
    const bool editsFile = textsw_append_file_name(textPane, name) == 0;
    document.fileName = editsFile ? name : std::string();
    return editsFile;
}

bool adoptLoadedFile()
{
    if (!reportLoadStatus()) {
        setMainTitle(noFileTitle);
        document.fileName.clear();
        return false;
    }
    chooseConfigurationByExtension();
    setMainTitle(documentTitle());
    rebuildErrorList();
    return true;
}

void followListDirectory()
{
    if (listAwayFromWorkingDirectory()) {
        changeProgramDirectory(fileDirectory);
        typeChangeDirectory(fileDirectory);
        workingDirectory = fileDirectory;
    }
}

void openDocument()
{
    followListDirectory();
    const bool writable = canOpenFile(document.fileName, "r+");
    document.readOnly = !writable;
    const RecoveryChoice recovery = offerRecovery(document.fileName, document.fileName, mainFrame);
    document.loadStatus = textsw_load_file(textPane, document.fileName, !writable, 0);
    if (!adoptLoadedFile())
        return;
    if (!writable)
        setMainTitle(readOnlyTitle(mainTitle()));
    setSaveButtonActive(false);
    document.edited = false;
    destroyFileDialog();
    textsw_set_notify_proc(textPane, noteTextPaneChange);
    recoverChanges(textPane, recovery);
}

void noteTextPaneChange(TextPane *pane)
{
    if (document.edited)
        return;
    document.edited = textsw_modified(pane);
    if (!document.edited)
        return;
    setMainTitle(editedDocumentTitle());
    // During a locked compile the button stays inactive unless the configuration's flag says N.
    const char flag = configurationTable[currentConfiguration].flags[1];
    const bool flagIsNo = flag == 'n' || flag == 'N';
    if (!(compileLock && !flagIsNo))
        setSaveButtonActive(true);
}

bool offerToSave()
{
    if (!refreshFileName())
        return true;
    if (textsw_modified(textPane)) {
        const int answer =
            notice_prompt(mainFrame, {mainTitle(), "Save this file ?"}, {noticeYes("SAVE"), noticeNo("Don't save")});
        if (answer == 1) {
            if (!mayStoreOver(textPane, mainFrame) || !storeDocument(document.fileName))
                return false;
            markDocumentUnchanged();
        }
    }
    bool stored = true;
    for (int slot = 0; slot < projectWindowSlots; ++slot)
        if (projectWindowTable[slot] && !offerToSaveProject(slot))
            stored = false;
    return stored;
}

void saveDocument()
{
    if (compileLock && configurationTable[currentConfiguration].disableSaveWhileCompiling())
        return;
    if (!textsw_modified(textPane) || !refreshFileName()) {
        notModifiedNotice();
        return;
    }
    if (!mayStoreOver(textPane, mainFrame) || !storeDocument(document.fileName))
        return;
    markDocumentUnchanged();
}

void saveDocumentAs()
{
    const std::string name = fileNameFieldValue();
    if (name.empty()) {
        destroyFileDialog();
        return;
    }
    changeProgramDirectory(fileDirectory);
    if (!storeDocument(name, fileDirectory)) {
        changeProgramDirectory(workingDirectory);
        return;
    }
    setSaveButtonActive(false);
    if (listAwayFromWorkingDirectory()) {
        typeChangeDirectory(fileDirectory);
        workingDirectory = fileDirectory;
    }
    document.fileName = name;
    chooseConfigurationByExtension();
    setMainTitle(documentTitle());
    rebuildErrorList();
    textsw_set_read_only(textPane, false);
    document.readOnly = false;
    document.edited = false;
    destroyFileDialog();
}

void typeChangeDirectory(const std::string &directory)
{
    // cd would take a name that begins with "-" for an option.
    const std::string word = shellWord(!directory.empty() && directory[0] == '-' ? "./" + directory : directory);
    typeShellCommand({"cd ", word, "\n"});
}
