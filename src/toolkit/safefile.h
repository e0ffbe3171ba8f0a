#pragma once
// Safe storing for the text panes, on plain POSIX calls, byte for byte, and their load status codes.

#include <cstddef>
#include <string>

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
//   file ends whole, old or new.
// A symbolic link is followed, also one whose file does not exist yet, which is then created;
// the link stays a link. An existing file that the process may not write is refused. Returns 0,
// or the errno value of the step that failed; no temporary file is left behind.
int storeFileSafely(const std::string &name, const char *bytes, std::size_t length);
