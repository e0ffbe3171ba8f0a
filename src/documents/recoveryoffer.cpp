// The recovery notice, and putting recovered edits into a pane.
#include "documents/recoveryoffer.h"

#include "documents/outsidechanges.h"
#include "documents/recoveryjournal.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

namespace {

constexpr int discardAnswer = 101;

// Whether the copy holds the text the journal's edits apply to.
bool copyIsBase(const std::string &copy, const JournalHeader &header)
{
    if (copy.empty())
        return false;
    const FileStamp now = fileStampNow(copy, true);
    if (!now.exists || !now.hashed)
        return false;
    if (!header.stored.exists)
        return now.size == 0;
    return header.stored.hashed && now.hash == header.stored.hash && now.size == header.stored.size;
}

} // namespace

RecoveryChoice offerRecovery(const std::string &name, const std::string &shownName, QWidget *over)
{
    RecoveryChoice choice;
    std::vector<LeftJournal> left = journalsLeftFor(name);
    if (left.empty())
        return choice;
    const LeftJournal &journal = left.front();
    const JournalHeader &header = journal.header;
    const FileStamp now = fileStampNow(name, true);
    const bool unchanged = now.exists && header.stored.exists && header.stored.hashed &&
                           now.hash == header.stored.hash && now.size == header.stored.size;
    std::string copy;
    long baseLength = static_cast<long>(now.size);
    if (!unchanged && copyIsBase(baseCopyPath(journal), header)) {
        copy = baseCopyPath(journal);
        baseLength = static_cast<long>(header.stored.size);
    }
    const bool recoverable = (unchanged || !copy.empty()) && editsFit(journal.records, baseLength);

    std::vector<std::string> lines = {"This file has changes that were not saved", "when tsl ended without saving them.",
                                      shownName};
    if (!unchanged)
        lines.push_back(recoverable ? "The file was changed by another program since."
                                    : "The file was changed by another program since;");
    if (!recoverable)
        lines.push_back(unchanged ? "the changes cannot be read back." : "the changes can no longer be applied to it.");
    // Escape, or closing the notice, keeps the journal: nothing is lost by accident.
    const std::vector<NoticeButton> buttons =
        recoverable ? std::vector<NoticeButton>{noticeYes("Recover"), noticeButton("Discard", discardAnswer),
                                                noticeEscape(noticeNo("Open as saved"))}
                    : std::vector<NoticeButton>{noticeButton("Discard", discardAnswer),
                                                noticeEscape(noticeYes("Open as saved"))};
    const int answer = notice_prompt(over, lines, buttons);
    if (answer == discardAnswer) {
        for (const LeftJournal &each : left)
            removeLeftJournal(each);
        return choice;
    }
    if (!recoverable || answer != 1)
        return choice;
    choice.recover = true;
    choice.copy = copy;
    choice.journal = journal;
    choice.superseded.assign(left.begin() + 1, left.end());
    return choice;
}

bool recoverChanges(TextPane *pane, const RecoveryChoice &choice)
{
    if (!choice.recover || !pane)
        return false;
    const FileStamp &stored = choice.journal.header.stored;
    if (choice.copy.empty() && (pane->fileStamp().hash != stored.hash || pane->fileStamp().size != stored.size))
        return false; // the file changed again between the notice and the load: the journal stays
    if (!choice.copy.empty()) {
        // The edits apply to the file as it was: that text comes back as the saved text, and
        // the file's stamp is the one it had, so that a store asks before it overwrites the
        // other program's version.
        const std::string name = pane->fileName();
        if (textsw_load_file_as(pane, choice.copy, name, choice.journal.header.stored,
                                textsw_read_only(pane)) != TEXTSW_STATUS_OKAY)
            return false;
    }
    if (textsw_apply_edits(pane, choice.journal.records) != 0)
        return false;
    // The new journal is on disk before the old one goes.
    if (!choice.copy.empty()) {
        adoptRecoveryBaseCopy(pane, choice.copy);
        keepMineForNow(pane);
    }
    writeRecoveryJournal(pane);
    removeLeftJournal(choice.journal);
    for (const LeftJournal &each : choice.superseded)
        removeLeftJournal(each);
    return true;
}
