#pragma once
// Safe storing for the text panes, on plain POSIX calls, byte for byte, and their load status codes.

#include <cstddef>
#include <string>
#include <vector>

// Load status codes of the text panes (0 success; the rest name why a load failed).
enum TextswStatus {
    TEXTSW_STATUS_OKAY = 0,
    TEXTSW_STATUS_OTHER_ERROR = 1,            // reading failed for another reason
    TEXTSW_STATUS_CANNOT_ALLOCATE = 2,        // no memory for the file's bytes
    TEXTSW_STATUS_CANNOT_OPEN_INPUT = 3,      // missing, unreadable, or not a regular file
    TEXTSW_STATUS_BAD_ATTR = 4,               // the request itself was malformed
    TEXTSW_STATUS_BAD_ATTR_VALUE = 5,         // empty file name
    TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE = 6, // a read error part way through the file
    TEXTSW_STATUS_OUT_OF_MEMORY = 7,          // the pane could not take the text
};

// Stores the bytes under `name` so that a failure never damages the old file, and the file stays
// what it was: its owner, group, permissions, other hard links, ACLs and extended attributes.
// - Usually the bytes go to a new file in the same folder, which is given all of that, synced
//   and renamed over the old one.
// - Where a rename cannot keep the file as it was (another owner the process cannot give the
//   new file, several hard links, an attribute that cannot be copied) or cannot be done (no new
//   file may be made in the folder, a file mounted on its own, a full disk), the bytes are
//   written into the old file itself: the space is reserved first, and the old bytes are kept
//   until the new ones are written and synced and written back when a step fails, so that the
//   file ends whole, old or new. Before the first byte is written, the old text is also kept
//   whole on disk (see below) with a record of the store, so that a process killed part way
//   leaves it for the next start to tell (findInterruptedStores).
// A stored file that existed keeps the version it replaces as `name` followed by '%' beside
// `name`, with the same owner, group and mode (a second name of the old file when the new one is
// renamed in, else a copy written before the file is touched). `copyError`, when given, is set to
// 0 when that copy was kept or the file is new, else to the errno value of why it was not; the
// store goes on without it (where the folder takes no new file, the old text of a store in
// place is kept in tsl's state folder until the store is done).
// A symbolic link is followed, also one whose file does not exist yet, which is then created;
// the link stays a link, and the '%' copy is made beside the link. An existing file that the
// process may not write is refused. Returns 0, or the errno value of the step that failed; no
// temporary file is left behind, and those left in the folder by a store whose process died are
// removed.
int storeFileSafely(const std::string &name, const char *bytes, std::size_t length, int *copyError = nullptr);

// A store into a file itself whose process died before it ended: the file may hold neither its
// old text nor the new one; `previousText` names the file that holds the old text whole.
struct InterruptedStore {
    std::string file;         // absolute name of the file that was being stored
    std::string previousText; // absolute name of the copy of its old text
    std::string record;       // the record that tells of it
};
// The interrupted stores left in tsl's state folder ($XDG_STATE_HOME/tsl, else
// ~/.local/state/tsl) by processes that no longer run, oldest record first.
std::vector<InterruptedStore> findInterruptedStores();
// Removes the record of an interrupted store (its copy stays).
void forgetInterruptedStore(const InterruptedStore &store);

// Tests only: `hook` is called with the name of each step that a store reaches ("temporary
// written", "previous version kept", "recorded", "half written", "written", "synced"), so that a
// test can stop the process there. Null removes it.
void setStoreStepHook(void (*hook)(const char *step));
