#pragma once
// The small file-system steps that storing a file is made of, on plain POSIX calls: names,
// whole writes, syncs, and giving a new file the owner, group and attributes of an old one.

#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace filesteps {

// The folder part of `path` ("." when it has none) and the part after the last slash.
std::string directoryOf(const std::string &path);
std::string baseNameOf(const std::string &path);
// `path` made absolute against the working directory (unchanged when it already is).
std::string absolutePathOf(const std::string &path);

// Writes all `length` bytes at `offset`; false with errno set when a write fails.
bool writeAllAt(int fd, const char *bytes, std::size_t length, off_t offset);
// Reads the file's first `length` bytes (fewer if it is shorter). False, with errno set, when a
// read fails or there is no memory for the bytes.
bool readAllAt(int fd, std::string &bytes, std::size_t length);
// Copies the first `length` bytes of `from` to the start of `to`; false with errno set.
bool copyFileBytes(int from, int to, off_t length);
// The errno value of the step that just failed (never 0).
int failedStepError();
// Syncs the folder that holds `path`, so that a rename or a new name in it lasts.
void syncDirectoryOf(const std::string &path);

// Gives the open new file the old one's owner and group. False when the process may not.
bool keepOwnerAndGroup(int fd, const struct stat &old);
// Gives the open new file `to` exactly the extended attributes (ACLs among them) of the file
// `from`: attributes it took on from its folder are removed again. False when one cannot be
// copied.
bool copyExtendedAttributes(const std::string &from, int to);

} // namespace filesteps
