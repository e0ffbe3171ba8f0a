#pragma once
// The project file: text, one file name per line. Line 1 names the main window's file, each
// further line the file of one project window, in slot order. A line ends at a newline or a
// zero byte; a line that the file ends before terminating is not used. Names are taken exactly
// as written: no trimming, no comments. Reading is plain: bytes in, names out.
#include <cstddef>
#include <string>
#include <vector>

// Longest usable line. A longer line is never cut (that would name another file): it ends the
// list there, as a file that cannot be opened does.
constexpr std::size_t longestProjectLine = 255;
// A project opens at most this many windows, whatever the configuration asks.
constexpr int mostProjectWindows = 256;
// The bytes that can matter: line 1 and the window lines, each at its longest with its end.
constexpr std::size_t projectFileReadLimit = (1 + mostProjectWindows) * (longestProjectLine + 1);

struct ProjectFileList {
    // False when line 1 is missing, not terminated or too long: the project file then has no
    // effect at all.
    bool hasMainFile = false;
    std::string mainFile;
    // The names of the window lines that are usable, up to the first that is not and up to
    // the number of windows allowed.
    std::vector<std::string> windowFiles;
};

// Reads the names from the first `length` bytes; at most `maxWindows` window names (held to
// 0 ... mostProjectWindows).
ProjectFileList readProjectFile(const char *bytes, std::size_t length, int maxWindows);
