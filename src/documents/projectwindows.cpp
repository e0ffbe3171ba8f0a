// Opening a project file, and saving and closing project windows.
#include "documents/projectwindows.h"

#include "compiler/errornavigation.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialogstate.h"
#include "documents/outsidechanges.h"
#include "documents/projectfile.h"
#include "documents/recoveryjournal.h"
#include "documents/storefailure.h"
#include "frame/mainframe.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/frame.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setProjectTitle(const ProjectWindow &window)
{
    const std::string title = projectWindowTitle(window);
    frame_set_label(window.frame, QString::fromLocal8Bit(title.data(), static_cast<int>(title.size())));
}

std::string paneFileName(TextPane *pane)
{
    std::string name;
    textsw_append_file_name(pane, name);
    return name;
}

// The bytes of the project file that can matter; false when it cannot be opened or is no
// regular file (a named pipe or a device could hold the window forever).
bool readProjectBytes(const std::string &name, std::string &bytes)
{
    const int file = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return false;
    }
    bytes.resize(projectFileReadLimit);
    std::size_t used = 0;
    while (used < bytes.size()) {
        const ssize_t n = read(file, &bytes[used], bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    close(file);
    return true;
}

// Stores the window's text under the name of the file it edits; a failure is reported over the
// window. Returns whether it was stored (not when the user would not overwrite another program's
// change).
bool storeProjectWindow(const ProjectWindow &window)
{
    if (!mayStoreOver(window.pane, window.frame))
        return false;
    const std::string name = paneFileName(window.pane);
    const int error = textsw_store_file(window.pane, name);
    if (error != 0)
        reportStoreFailure(window.frame, name, error);
    return error == 0;
}

} // namespace

void openProjectFile()
{
    if (anyProjectWindowOpen()) {
        notice_prompt(mainFrame, {"Close all project windows first"}, {noticeYes(" I'll do that")});
        destroyFileDialog();
        return;
    }
    followListDirectory();
    projectWindowCount = 0;
    std::string bytes;
    if (!readProjectBytes(document.fileName, bytes))
        return;
    const ProjectFileList list = readProjectFile(bytes.data(), bytes.size(), generalSettings.maxProjectWindows);
    if (!list.hasMainFile)
        return;
    document.fileName = list.mainFile;
    openDocument();
    for (const std::string &name : list.windowFiles) {
        if (!canOpenFile(name, "r") || !createProjectWindow(projectWindowCount, name))
            break;
        ++projectWindowCount;
    }
    // Compiler messages may name the files that just got windows.
    if (projectWindowCount > 0)
        rebuildErrorList();
}

void noteProjectPaneChange(TextPane *pane)
{
    ProjectWindow *window = projectWindow(static_cast<int>(textsw_get_client_data(pane)));
    if (!window || window->pane != pane || window->edited)
        return;
    window->edited = textsw_modified(pane);
    if (!window->edited)
        return;
    setProjectTitle(*window);
    window->saveButton->setInactive(false);
}

void markProjectWindowUnchanged(int slot)
{
    ProjectWindow *window = projectWindow(slot);
    if (!window)
        return;
    window->edited = false;
    window->saveButton->setInactive(true);
    setProjectTitle(*window);
}

void saveProjectWindow(int slot)
{
    ProjectWindow *window = projectWindow(slot);
    if (!window || !window->edited) // the title is the plain name: nothing to store
        return;
    if (!storeProjectWindow(*window))
        return;
    window->saveButton->setInactive(true);
    window->edited = false;
    setProjectTitle(*window);
}

void undoProjectWindow(int slot)
{
    ProjectWindow *window = projectWindow(slot);
    if (!window)
        return;
    if (textsw_modified(window->pane))
        textsw_undo(window->pane);
    if (textsw_modified(window->pane) || !window->edited)
        return;
    window->edited = false;
    setProjectTitle(*window);
    window->saveButton->setInactive(true);
}

bool offerToSaveProject(int slot)
{
    ProjectWindow *window = projectWindow(slot);
    if (!window || !textsw_modified(window->pane))
        return true;
    const int answer = notice_prompt(window->frame, {projectWindowTitle(*window), "Save this file ?"},
                                     {noticeYes("SAVE"), noticeNo("Don't save")});
    window = projectWindow(slot);
    if (answer != 1 || !window)
        return true;
    if (!storeProjectWindow(*window))
        return false;
    window->edited = false;
    setProjectTitle(*window);
    return true;
}

bool closeProjectWindow(int slot)
{
    if (!projectWindow(slot) || !offerToSaveProject(slot))
        return false;
    ProjectWindow *window = projectWindow(slot);
    if (!window)
        return true;
    // A prompt in the window's bar goes with the window.
    if (toolPrompt && window->frame->isAncestorOf(toolPrompt))
        closeToolPrompt();
    textsw_set_notify_proc(window->pane, nullptr);
    textsw_set_contents(window->pane, "", 0);
    stopRecoveryJournal(window->pane);
    window->edited = false;
    projectWindowTable[slot] = nullptr;
    // The close may come from one of the window's own buttons or events: its widgets are
    // deleted once control is back in the event loop.
    window->frame->hide();
    window->frame->deleteLater();
    delete window;
    return true;
}
