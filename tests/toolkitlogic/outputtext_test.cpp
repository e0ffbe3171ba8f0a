// The output text: bytes, lines and colours as a program's output arrives, its escape sequences
// taken out.
#include "addressspace.h"
#include "toolkit/outputtext.h"
#include "toolkit/textstyles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

const std::uint32_t red = paletteColour(1);
const std::uint32_t magenta = paletteColour(5);

// What gcc -fdiagnostics-color=always writes for one message.
const std::string colouredMessage =
    "\x1b[01m\x1b[Kprog.c:6:17:\x1b[m\x1b[K \x1b[01;31m\x1b[Kerror: \x1b[m\x1b[K\xE2\x80\x98\x1b[01m\x1b[Kvalue"
    "\x1b[m\x1b[K\xE2\x80\x99 undeclared\n";
const std::string plainMessage = "prog.c:6:17: error: \xE2\x80\x98value\xE2\x80\x99 undeclared\n";

// The style of each byte of the text.
std::vector<TextStyle> stylesOf(const OutputText &text)
{
    std::vector<TextStyle> styles;
    const StyleRuns &runs = text.styles();
    for (long position = 0; position < static_cast<long>(text.size()); ++position) {
        const std::size_t run = runs.runAt(position);
        styles.push_back(run == runs.runCount() ? TextStyle() : runs.runStyle(run));
    }
    return styles;
}

TextStyle style(std::uint32_t foreground, std::uint8_t flags = 0, std::uint32_t background = 0)
{
    TextStyle s;
    s.foreground = foreground;
    s.background = background;
    s.flags = flags;
    return s;
}

} // namespace

TEST(OutputText, TakesColourSequencesOutAndKeepsTheirStyles)
{
    OutputText text;
    ASSERT_TRUE(text.appendProgramOutput(colouredMessage.data(), colouredMessage.size()));
    EXPECT_EQ(text.text(), plainMessage);
    const std::vector<TextStyle> styles = stylesOf(text);
    EXPECT_EQ(styles[0], style(0, TextStyle::bold));                 // the locus
    EXPECT_EQ(styles[12], TextStyle());                             // the blank after it
    EXPECT_EQ(styles[13], style(red, TextStyle::bold));              // "error: "
    EXPECT_EQ(styles[20], TextStyle());                             // the opening quote
    EXPECT_EQ(styles[23], style(0, TextStyle::bold));                // "value"
    EXPECT_EQ(styles.back(), TextStyle());

    // Split anywhere, even inside a sequence or a character, the text and styles are the same.
    for (std::size_t cut = 0; cut <= colouredMessage.size(); ++cut) {
        OutputText pieces;
        pieces.appendProgramOutput(colouredMessage.data(), cut);
        pieces.appendProgramOutput(colouredMessage.data() + cut, colouredMessage.size() - cut);
        ASSERT_EQ(pieces.text(), plainMessage) << cut;
        ASSERT_EQ(stylesOf(pieces), styles) << cut;
    }
}

TEST(OutputText, DropsOtherSequencesWithoutSwallowingText)
{
    struct Case {
        const char *output;
        const char *text;
    };
    const Case cases[] = {
        {"a\x1b[Kb\x1b[2J\x1b[?25lc\n", "abc\n"},                                 // erase, clear, private
        {"\x1b]8;;file:///tmp/prog.c\x07prog.c\x1b]8;;\x1b\\:1\n", "prog.c:1\n"}, // hyperlinks
        {"\x1b(Bx\x1b=y\x1b" "7z\n", "xyz\n"},                                     // charsets, keypad, save
        {"broken \x1b[12\nnext line\n", "broken \nnext line\n"},                   // a line end ends it
        {"\x1b]unterminated title\nkept\n", "\nkept\n"},
        {"\x1b\x1b[31mred\n", "red\n"},                                           // escape twice
        {"\x1b[>4;2mkeys\n", "keys\n"},                                           // not a colour
        {"tab\there\r\n", "tab\there\r\n"},                                       // other controls stay
    };
    for (const Case &c : cases) {
        OutputText text;
        text.appendProgramOutput(c.output, std::string(c.output).size());
        EXPECT_EQ(text.text(), c.text) << c.output;
    }
    OutputText text;
    const std::string output = "\x1b[>4;2mkeys\n";
    text.appendProgramOutput(output.data(), output.size());
    EXPECT_EQ(text.styles().runCount(), 0u);

    // A sequence that never ends stops being one: the text after it is kept.
    OutputText endless;
    const std::string longString = "\x1b]" + std::string(5000, 'x') + "after";
    endless.appendProgramOutput(longString.data(), longString.size());
    EXPECT_EQ(endless.text().substr(endless.size() - 5), "after");
    EXPECT_LT(endless.size(), 1000u);
}

TEST(OutputText, FindsEveryLineThroughItsSampledIndex)
{
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        OutputText text;
        std::string expected;
        const int pieces = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < pieces; ++i) {
            std::string piece(random() % 120, 'a');
            for (char &c : piece)
                c = random() % 4 == 0 ? '\n' : 'a';
            ASSERT_TRUE(text.append(piece));
            expected += piece;
        }
        ASSERT_EQ(text.text(), expected);
        long line = 0, start = 0;
        for (long position = 0; position <= static_cast<long>(expected.size()); ++position) {
            ASSERT_EQ(text.lineOf(position), line) << position;
            if (position == static_cast<long>(expected.size()) || expected[static_cast<std::size_t>(position)] == '\n') {
                ASSERT_EQ(text.lineStart(line), start) << line;
                ASSERT_EQ(text.lineEndFrom(start), position) << line;
                ++line;
                start = position + 1;
            }
        }
        EXPECT_EQ(text.lineCount(), line);
    }
    OutputText wide;
    wide.append("\tab\n12345678901\nx");
    EXPECT_EQ(wide.widestColumns(), 11);
}

// Runs far apart and close together, over many blocks of runs: every byte has the style last set
// before it, and walking the runs from the first gives the same changes.
TEST(TextStyles, GivesEveryByteTheStyleLastSetBeforeIt)
{
    std::mt19937 random(11);
    const TextStyle palette[] = {TextStyle(), style(red, TextStyle::bold), style(magenta), style(0, TextStyle::bold)};
    StyleRuns runs;
    std::vector<std::pair<long, int>> changes; // where the style changed, and to which
    long position = 0;
    int current = 0;
    for (int i = 0; i < 3000; ++i) {
        const long step = random() % 10 == 0 ? static_cast<long>(random() % 300000) : static_cast<long>(random() % 40);
        position += step;
        const int next = static_cast<int>(random() % 4);
        ASSERT_TRUE(runs.setStyle(position, palette[next]));
        if (next == current)
            continue;
        if (!changes.empty() && changes.back().first == position)
            changes.back().second = next;
        else
            changes.emplace_back(position, next);
        current = next;
    }
    const auto expectedAt = [&](long at) {
        const auto after = std::upper_bound(changes.begin(), changes.end(), std::make_pair(at, 99));
        return after == changes.begin() ? TextStyle() : palette[std::prev(after)->second];
    };
    const auto styleAt = [&](long at) {
        const std::size_t run = runs.runAt(at);
        return run == runs.runCount() ? TextStyle() : runs.runStyle(run);
    };
    for (const auto &change : changes) {
        for (const long at : {change.first - 1, change.first, change.first + 1}) {
            if (at >= 0) {
                ASSERT_EQ(styleAt(at), expectedAt(at)) << at;
            }
        }
    }
    for (long at = 0; at <= position + 1; at += 997)
        ASSERT_EQ(styleAt(at), expectedAt(at)) << at;

    // The runs, walked in order, start where the style changes (runs in between keep it).
    std::size_t change = 0;
    long lastStart = -1;
    for (std::size_t run = 0; run < runs.runCount(); ++run) {
        const long start = runs.runStart(run);
        ASSERT_GT(start, lastStart) << run;
        lastStart = start;
        if (change < changes.size() && changes[change].first == start)
            ++change;
        ASSERT_EQ(runs.runStyle(run), expectedAt(start)) << run;
    }
    EXPECT_EQ(change, changes.size());
}

TEST(TextStyles, ReadsSgrParametersAsTerminalsDo)
{
    struct Case {
        const char *parameters;
        TextStyle expected;
    };
    const Case cases[] = {
        {"", TextStyle()},
        {"0", TextStyle()},
        {"01;31", style(red, TextStyle::bold)},
        {"1;35;22", style(magenta)},
        {"31;39", TextStyle()},
        {"38;5;196", style(paletteColour(196))},
        {"38;5;9;4", style(paletteColour(9), TextStyle::underline)},
        {"38;2;10;20;30", style(0xFF0A141E)},
        {"38:2::10:20:30", style(0xFF0A141E)},
        {"38:5:196", style(paletteColour(196))},
        {"48;5;21;7", style(0, TextStyle::inverse, paletteColour(21))},
        {"41;49", TextStyle()},
        {"92;103", style(paletteColour(10), 0, paletteColour(11))},
        {"38;5", TextStyle()}, // broken: nothing
        {"3;23;9;29;2;22", TextStyle()},
    };
    for (const Case &c : cases) {
        // A reset starts from a style that is not plain; the others from a plain one.
        const std::string parameters = c.parameters;
        TextStyle s = parameters == "0" || parameters.empty() ? style(0xFF123456, TextStyle::italic) : TextStyle();
        applySgr(s, c.parameters);
        EXPECT_EQ(s, c.expected) << c.parameters;
    }
    EXPECT_EQ(paletteColour(16), 0xFF000000u);
    EXPECT_EQ(paletteColour(231), 0xFFFFFFFFu);
    EXPECT_EQ(paletteColour(244), 0xFF808080u);
}

// Run in a child process whose address space is limited: appending fails, and what was kept stays.
TEST(OutputText, RunningOutOfMemoryKeepsWhatWasAppended)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        limitAddressSpace(64 << 20);
        std::string piece(1 << 20, 'x');
        piece[10] = '\n';
        piece[20] = '\x1b'; // with the 'x' after it, a two-byte sequence that is taken out
        OutputText text;
        std::size_t kept = 0, pieces = 0;
        for (; pieces < 1000 && text.appendProgramOutput(piece.data(), piece.size()); ++pieces)
            kept = text.size();
        const bool failed = pieces < 1000;
        const long lastPiece = static_cast<long>(kept) - static_cast<long>(piece.size() - 2);
        const bool intact = pieces > 0 && text.size() == kept && kept == pieces * (piece.size() - 2) &&
                            text.lineCount() == static_cast<long>(pieces) + 1 &&
                            text.lineStart(static_cast<long>(pieces)) == lastPiece + 11;
        if (!(failed && intact))
            fprintf(stderr, "pieces %zu kept %zu lines %ld\n", pieces, kept, text.lineCount());
        _exit(failed && intact ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
