// The table of project windows and what can be read from it without any window.
#include "documents/projectfile.h"
#include "documents/projectwindows.h"

static_assert(projectWindowSlots == mostProjectWindows, "a project opens at most one window per slot");

ProjectWindow *projectWindowTable[projectWindowSlots];
int projectWindowCount;

ProjectWindow *projectWindow(int slot)
{
    return slot >= 0 && slot < projectWindowSlots ? projectWindowTable[slot] : nullptr;
}

TextPane *projectPane(int slot)
{
    const ProjectWindow *window = projectWindow(slot);
    return window ? window->pane : nullptr;
}

bool anyProjectWindowOpen()
{
    for (const ProjectWindow *window : projectWindowTable)
        if (window)
            return true;
    return false;
}

std::string projectWindowTitle(const ProjectWindow &window)
{
    return window.edited ? window.fileName + " - edited" : window.fileName;
}
