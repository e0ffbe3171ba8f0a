// The project-file reader on any bytes. The first byte of an input is the most windows the
// configuration allows (255 stands for 300, more than the table holds); the rest is the project
// file. The names must be those of a plain line-by-line reading: every line ended by a newline or
// a zero byte, none longer than the longest usable line, taken whole and in order, and never more
// than allowed.
#include "documents/projectfile.h"
#include "fuzzcheck.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The lines of `bytes` that are terminated, each with whether it is short enough, in order; a
// line the bytes end before terminating is left out.
struct Line {
    std::string name;
    bool usable;
};
std::vector<Line> terminatedLines(const std::string &bytes)
{
    std::vector<Line> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n' || c == '\0') {
            lines.push_back({line, line.size() <= longestProjectLine});
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int allowed = data[0] == 255 ? 300 : data[0];
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const ProjectFileList list = readProjectFile(bytes.data(), bytes.size(), allowed);

    const std::vector<Line> lines = terminatedLines(bytes);
    const bool mainUsable = !lines.empty() && lines[0].usable;
    FUZZ_CHECK(list.hasMainFile == mainUsable, "line 1 taken or dropped wrongly");
    if (!mainUsable) {
        FUZZ_CHECK(list.mainFile.empty() && list.windowFiles.empty(), "names read without a usable line 1");
        return 0;
    }
    FUZZ_CHECK(list.mainFile == lines[0].name, "line 1 is not the main file's name");

    std::vector<std::string> expected;
    const std::size_t most = static_cast<std::size_t>(std::min(allowed, mostProjectWindows));
    for (std::size_t i = 1; i < lines.size() && expected.size() < most && lines[i].usable; ++i)
        expected.push_back(lines[i].name);
    FUZZ_CHECK(list.windowFiles == expected, "the window names differ from a plain reading of the lines");
    return 0;
}
