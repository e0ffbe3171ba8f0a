#pragma once
// Reading one directory for the file list, and the path arithmetic it moves with. Names and
// paths are byte strings exactly as the file system holds them.

#include <string>
#include <vector>

struct DirectoryListing {
    int error = 0;                        // errno of a directory that could not be read, else 0
    std::vector<std::string> directories; // each sorted case-insensitively by the shown name,
    std::vector<std::string> files;       // ties by bytes
};

// Entries other than "." and ".."; names beginning with a dot only when showHidden is set. A
// symbolic link counts as what it points to; a dangling one counts as a file.
DirectoryListing readDirectory(const std::string &path, bool showHidden);

// An absolute path without empty, "." or ".." components ("/" for the root). ".." is taken
// lexically, as a shell's "cd" does; a relative path counts from the working directory.
std::string normalPath(const std::string &path);
std::string parentPath(const std::string &path); // of a normal path; "/" stays "/"
std::string childPath(const std::string &directory, const std::string &name);
