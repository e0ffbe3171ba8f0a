#pragma once
// What a store keeps besides the new bytes: the version it replaces as `name%` beside the file,
// a record of a store that writes into the file itself (so that a store cut short by the death of
// the process is told at the next start, with where the previous text is kept), and the names of
// its temporary files, whose leftovers from a dead process the next store in the folder removes.
// Used by safefile.cpp; the interrupted stores are read through safefile.h.

#include <string>
#include <sys/stat.h>

// A mkostemp template for a hidden temporary file beside `path`, carrying this process's id, so
// that a leftover of a process that died can be told from a file that is being written.
std::string temporaryNameBeside(const std::string &path);
// Removes from `directory` the temporary files of stores whose process no longer runs.
void removeLeftoverTemporaries(const std::string &directory);

// Makes `copyName` hold what the file `target` (described by `st`) holds now, with its owner,
// group and mode. With `mayLink` (the store is about to put a new file under `target`'s name) the
// copy is a second name of the same file; otherwise, or when a link cannot be made, the bytes are
// copied to a new file, synced, and renamed over `copyName`. Returns 0 or an errno value;
// `copyName` is left as it was when that fails.
int keepPreviousVersion(const std::string &target, const struct stat &st, const std::string &copyName,
                        bool mayLink);

// Guards a store that writes into the file itself. Before the first byte is written, the file's
// previous text is kept whole and synced: in `copyName` (unless `copyError` is already 0: kept
// there earlier in the same store), else in a file of tsl's state folder; and a record naming
// the file and that copy is written there. The record goes when the object goes, with a copy
// made only for it; a record left by a process that died is an interrupted store.
class StoreInProgress {
public:
    // `copyError` becomes 0 when `copyName` holds the previous text, else the reason it does not.
    StoreInProgress(const std::string &target, const struct stat &st, const std::string &copyName,
                    int &copyError);
    ~StoreInProgress();
    StoreInProgress(const StoreInProgress &) = delete;
    StoreInProgress &operator=(const StoreInProgress &) = delete;

    // The file could not be put back after a failed write: the record stays, so that the next
    // start tells where the previous text is.
    void leaveRecord() { leaveRecord_ = true; }

private:
    std::string record_;
    std::string privateCopy_;
    int recordFd_ = -1;
    bool leaveRecord_ = false;
};

// Called at each named step of a store; runs the hook that tests set (see setStoreStepHook).
void storeStep(const char *step);
