// Telling files changed by another program: on the focus coming back, and before a store.
#include "documents/outsidechanges.h"

#include "documents/documentactions.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "toolkit/filestamp.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <map>

namespace {

constexpr int reloadAnswer = 101;
constexpr int overwriteAnswer = 101;

enum class OnDisk { AsKnown, Changed };

// The state of the file for which the user chose "Keep mine", per pane: not asked about again.
std::map<const TextPane *, FileStamp> keptMine;
bool checking = false;
bool checkQueued = false;

// Compares the pane's file on disk with the file as the pane loaded or last stored it. A file
// that is gone, or that has the bytes it had (touched, or written back unchanged), counts as
// known; the pane then takes the new stamp. `now` gets the file's stamp.
OnDisk compareWithDisk(TextPane *pane, FileStamp &now)
{
    const FileStamp &known = pane->fileStamp();
    if (!known.exists || pane->fileName().empty())
        return OnDisk::AsKnown;
    now = fileStampNow(pane->fileName(), false);
    if (!now.exists || now.sameStatus(known))
        return OnDisk::AsKnown;
    now = fileStampNow(pane->fileName(), true);
    if (!now.exists)
        return OnDisk::AsKnown;
    if (known.hashed && now.hash == known.hash && now.size == known.size) {
        pane->setFileStamp(now);
        return OnDisk::AsKnown;
    }
    return OnDisk::Changed;
}

bool askReload(QWidget *over, const std::string &name)
{
    const int first = notice_prompt(over, {"The file was changed by another program", name},
                                    {noticeButton("Reload", reloadAnswer), noticeEscape(noticeYes("Keep mine"))});
    if (first != reloadAnswer)
        return false;
    const int second = notice_prompt(over, {"Reload the file and lose the changes made here?", name},
                                     {noticeButton("Reload", reloadAnswer), noticeEscape(noticeYes("cancel"))});
    return second == reloadAnswer;
}

// One pane; `onReloaded` puts the window's title and Save button back after a reload of changes.
void checkPane(TextPane *pane, QWidget *over, const std::string &name, void (*onReloaded)(int), int slot)
{
    FileStamp now;
    if (!pane || compareWithDisk(pane, now) == OnDisk::AsKnown)
        return;
    if (!textsw_modified(pane)) {
        // Nothing of the user's is lost, and Undo takes the reload back.
        textsw_reload_file(pane);
        return;
    }
    const auto kept = keptMine.find(pane);
    if (kept != keptMine.end() && kept->second.sameStatus(now))
        return;
    if (!askReload(over, name)) {
        keptMine[pane] = now;
        return;
    }
    if (textsw_reload_file(pane) == TEXTSW_STATUS_OKAY) {
        keptMine.erase(pane);
        onReloaded(slot);
    }
}

void mainReloaded(int)
{
    markDocumentUnchanged();
}

class ActivationWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // After the activation is over: a notice shown from inside it would fight the window
        // manager for the focus.
        if (event->type() == QEvent::WindowActivate && !checkQueued) {
            checkQueued = true;
            QTimer::singleShot(0, this, [] {
                checkQueued = false;
                checkForOutsideChanges();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void watchForOutsideChanges(QWidget *frame)
{
    if (frame)
        frame->installEventFilter(new ActivationWatch(frame));
}

void checkForOutsideChanges()
{
    if (checking)
        return;
    checking = true;
    std::string name;
    if (textPane && textsw_append_file_name(textPane, name) == 0)
        checkPane(textPane, mainFrame, name, mainReloaded, 0);
    for (int slot = 0; slot < projectWindowSlots; ++slot)
        if (const ProjectWindow *window = projectWindow(slot))
            checkPane(window->pane, window->frame, window->fileName, markProjectWindowUnchanged, slot);
    checking = false;
}

void keepMineForNow(TextPane *pane)
{
    if (pane && !pane->fileName().empty())
        keptMine[pane] = fileStampNow(pane->fileName(), false);
}

bool mayStoreOver(TextPane *pane, QWidget *over)
{
    FileStamp now;
    if (!pane || compareWithDisk(pane, now) == OnDisk::AsKnown)
        return true;
    // The safe answer is the default: Return keeps the other program's file.
    return notice_prompt(over, {"The file was changed by another program", pane->fileName()},
                         {noticeButton("Overwrite", overwriteAnswer), noticeEscape(noticeYes("cancel"))}) ==
           overwriteAnswer;
}
