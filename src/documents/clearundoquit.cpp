// Clear window, Undo, Undo all and QUIT.
#include "config/configuration.h"
#include "documents/clearundoquit.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/projectwindows.h"
#include "documents/recoveryjournal.h"
#include "frame/mainframe.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool confirmed(const char *question, const char *yes)
{
    return notice_prompt(mainFrame, {question}, {noticeYes(yes), noticeNo("cancel")}) == 1;
}

} // namespace

void clearWindow()
{
    const Textsw_index length = textsw_length(textPane);
    if (!confirmed("REALLY CLEAR TEXT WINDOW?", "Do it"))
        return;
    if (!offerToSave())
        return; // the text that could not be stored stays
    {
        // One notification for the erase and the emptying together: the pane ends unmodified,
        // so the edited flag and the Save button stay as they were.
        TextPane::EditScope scope(textPane);
        textsw_erase(textPane, 0, length);
        currentConfiguration = plainFileConfiguration;
        textsw_set_contents(textPane, "", 0);
    }
    setMainTitle(noFileTitle);
    document.fileName.clear();
}

void undoLast()
{
    if (document.readOnly)
        return;
    // A file read again because another program changed it is also taken back.
    if (textsw_modified(textPane) || textsw_reload_undoable(textPane))
        textsw_undo(textPane);
    if (textsw_modified(textPane))
        return;
    markDocumentUnchanged();
}

void undoAll()
{
    if (!refreshFileName())
        return;
    if (document.readOnly || !textsw_modified(textPane))
        return;
    if (!confirmed("Undo all changes ?", "Ok"))
        return;
    if (textsw_reset(textPane) != 0)
        return;
    markDocumentUnchanged();
}

void quitProgram()
{
    if (!confirmed("REALLY QUIT?", "Quit"))
        return;
    // A text whose store failed is not lost by ending: the program stays at the first failure, so
    // that the user can store it elsewhere or quit again.
    for (int slot = 0; slot < projectWindowSlots; ++slot)
        if (projectWindowTable[slot] && !offerToSaveProject(slot))
            return;
    if (!offerToSave())
        return;
    // What is still unsaved now, the user chose not to keep.
    discardRecoveryJournals();
    fputs("\nThanks for using tsl.\n", stdout);
    fflush(stdout);
    exit(0);
}
