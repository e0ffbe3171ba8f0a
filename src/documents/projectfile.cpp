#include "documents/projectfile.h"

#include <algorithm>

namespace {

enum class LineEnd { Terminated, Unterminated, TooLong };

// The line from `at`: its name goes into `line` and `at` past its end.
LineEnd nextLine(const char *bytes, std::size_t length, std::size_t &at, std::string &line)
{
    const std::size_t limit = std::min(length, at + longestProjectLine + 1);
    std::size_t end = at;
    while (end < limit && bytes[end] != '\n' && bytes[end] != '\0')
        ++end;
    if (end == limit)
        return end - at > longestProjectLine ? LineEnd::TooLong : LineEnd::Unterminated;
    line.assign(bytes + at, end - at);
    at = end + 1;
    return LineEnd::Terminated;
}

} // namespace

ProjectFileList readProjectFile(const char *bytes, std::size_t length, int maxWindows)
{
    ProjectFileList list;
    if (!bytes)
        return list;
    std::size_t at = 0;
    if (nextLine(bytes, length, at, list.mainFile) != LineEnd::Terminated) {
        list.mainFile.clear();
        return list;
    }
    list.hasMainFile = true;
    const std::size_t windows = static_cast<std::size_t>(std::clamp(maxWindows, 0, mostProjectWindows));
    std::string name;
    while (list.windowFiles.size() < windows && nextLine(bytes, length, at, name) == LineEnd::Terminated)
        list.windowFiles.push_back(name);
    return list;
}
