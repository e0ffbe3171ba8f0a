#pragma once
// Offering the changes that a tsl which ended without saving them left for a file: asked before
// the file is shown ("Recover", "Discard", "Open as saved"), put into the pane after it is loaded.
#include "documents/leftjournals.h"

#include <string>

class QWidget;
class TextPane;

struct RecoveryChoice {
    bool recover = false;
    LeftJournal journal;
    std::string copy; // the text the edits apply to, when it is not the file as it is now
    std::vector<LeftJournal> superseded; // the other journals of the file, removed with it
};

// Before `name` is loaded: when a journal of it was left by a tsl that has ended, asks over
// `over` what to do with it. "Discard" removes the file's left journals; "Open as saved" keeps
// them for a later start; "Recover" returns the choice for recoverChanges.
RecoveryChoice offerRecovery(const std::string &name, const std::string &shownName, QWidget *over);
// After the file was loaded into `pane`: puts the recovered edits into it as changes not yet
// stored (the pane is modified, one undo step), journals them anew, and removes the old journal.
bool recoverChanges(TextPane *pane, const RecoveryChoice &choice);
