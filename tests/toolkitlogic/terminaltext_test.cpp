// The lines of a terminal's output as the terminal shows them, escape sequences taken out.
#include "toolkit/terminaltext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(const std::string &output, std::size_t piece)
{
    TerminalLineSplitter splitter;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < output.size(); at += piece)
        splitter.take(output.data() + at, std::min(piece, output.size() - at),
                      [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

} // namespace

TEST(TerminalText, LinesAreWhatTheTerminalShows)
{
    struct Case {
        const char *name;
        std::string output;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"gcc -fdiagnostics-color=always, through a pty",
         "\x1b[01m\x1b[Kprog.c:6:17:\x1b[m\x1b[K \x1b[01;31m\x1b[Kerror: \x1b[m\x1b[K\xE2\x80\x98\x1b[01m\x1b[Kvalue"
         "\x1b[m\x1b[K\xE2\x80\x99 undeclared\r\n",
         {"prog.c:6:17: error: \xE2\x80\x98value\xE2\x80\x99 undeclared"}},
        {"ls --color", "\x1b[0m\x1b[01;34mdir\x1b[0m  \x1b[01;32mrun.sh\x1b[0m  prog.c\r\n", {"dir  run.sh  prog.c"}},
        {"a title and a charset", "\x1b]0;me@host: ~\x07\x1b(Bprog.c:3: x\r\n\x1b]2;t\x1b\\ok\n", {"prog.c:3: x", "ok"}},
        {"a progress line overwritten", "10%\r50%\r100% done\r\n", {"100% done"}},
        {"a shorter text over a longer one", "abcdef\rXY\r\n", {"XYcdef"}},
        {"erased to the line's end", "abcdef\rXY\x1b[K\r\n", {"XY"}},
        {"a backspace", "prog.d\b\bc:4: y\n", {"progc:4: y"}},
        {"tabs to the next eighth column", "a\tb\xC3\xA9\tc\r\n", {"a       b\xC3\xA9      c"}},
        {"bells and trailing blanks", "prog.c:5: z\x07   \r\n\r\n", {"prog.c:5: z", ""}},
        {"a line without its end is not yet a line", "one\r\ntwo", {"one"}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(linesOf(c.output, c.output.size()), c.lines) << c.name;
        // Sequences and characters split between two reads give the same lines.
        EXPECT_EQ(linesOf(c.output, 1), c.lines) << c.name;
        EXPECT_EQ(linesOf(c.output, 3), c.lines) << c.name;
    }
}

TEST(TerminalText, AVeryLongLineKeepsItsBeginning)
{
    const std::string line = "prog.c:1: " + std::string(TerminalLineSplitter::longestLine * 2, 'x');
    const std::vector<std::string> lines = linesOf(line + "\nprog.c:2: y\n", 4096);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], line.substr(0, TerminalLineSplitter::longestLine));
    EXPECT_EQ(lines[1], "prog.c:2: y");
}
