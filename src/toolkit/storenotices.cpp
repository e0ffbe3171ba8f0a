// The store's own notices (see storenotices.h).
#include "toolkit/storenotices.h"

#include "toolkit/notice.h"
#include "toolkit/safefile.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

bool previousVersionNoticeShown = false;

} // namespace

void tellPreviousVersionNotKept(QWidget *over, const std::string &name, int error)
{
    if (previousVersionNoticeShown)
        return;
    previousVersionNoticeShown = true;
    // Shown once the save has ended, so that the title and the Save button already tell that
    // the text is stored.
    const std::vector<std::string> lines = {"Saved. No copy of the previous version was kept as", name + "%",
                                            std::strerror(error)};
    QTimer::singleShot(0, [window = QPointer<QWidget>(over), lines] {
        notice_prompt(window.data(), lines, {noticeEscape(noticeYes("Ok"))});
    });
}

void resetPreviousVersionNotice()
{
    previousVersionNoticeShown = false;
}

void tellInterruptedStores(QWidget *over)
{
    for (const InterruptedStore &store : findInterruptedStores()) {
        notice_prompt(over, {"tsl stopped while it was saving", store.file, "The text the file had before is in",
                             store.previousText},
                      {noticeEscape(noticeYes("Ok"))});
        forgetInterruptedStore(store);
    }
}
