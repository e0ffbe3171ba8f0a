// What a captured compile keeps of two outputs, pinned by digests taken of the capture as it was
// before it read 64 KiB at a time: a 5 MB flood of coloured, gcc-like lines with every kind of
// sequence, tab, line end and character in it, and the output of a real coloured gcc run
// (tests/compiler/fixtures/gcc-coloured.txt: gcc 12 with -Wall -Wextra -fdiagnostics-color=always
// -fdiagnostics-urls=always on a file with a dozen faults). The text, the error list's entries and
// the colour of every byte must stay what they were, however the output is read and kept. The
// pipe cuts the flood wherever it likes, so the digests also say that the cuts change nothing.
#include "compilerfixture.h"

#include "toolkit/textstyles.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// FNV-1a, 64 bits.
class Digest {
public:
    void add(const void *bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            value_ ^= static_cast<const unsigned char *>(bytes)[i];
            value_ *= 0x100000001b3ULL;
        }
    }
    void add(std::int64_t number) { add(&number, sizeof number); }
    std::string hex() const
    {
        char text[17];
        std::snprintf(text, sizeof text, "%016" PRIx64, value_);
        return text;
    }

private:
    std::uint64_t value_ = 0xcbf29ce484222325ULL;
};

struct Kept {
    std::string text, entries, colours;
    long size = 0, entryCount = 0, colourChanges = 0;
};

// Digests of the output kept by the last compile: its text, its entries, and every place where
// the style changes with the style from there on.
Kept keptOutput()
{
    Kept kept;
    const OutputText &output = *compilerOutput;
    Digest text, entries, colours;
    text.add(output.data(), output.size());
    kept.text = text.hex();
    kept.size = static_cast<long>(output.size());
    for (const ErrorEntry &entry : errorList.entries()) {
        for (std::int64_t field : {std::int64_t(entry.lineStart), std::int64_t(lineEndOf(output.text(), entry)),
                                   std::int64_t(entry.lineNumber), std::int64_t(entry.projectSlot),
                                   std::int64_t(entry.details)})
            entries.add(field);
        ++kept.entryCount;
    }
    kept.entries = entries.hex();
    const StyleRuns &runs = output.styles();
    TextStyle current;
    for (long position = 0; position < kept.size; ++position) {
        const std::size_t run = runs.runAt(position);
        const TextStyle style = run == runs.runCount() ? TextStyle() : runs.runStyle(run);
        if (style == current)
            continue;
        current = style;
        for (std::int64_t field : {std::int64_t(position), std::int64_t(style.foreground),
                                   std::int64_t(style.background), std::int64_t(style.flags)})
            colours.add(field);
        ++kept.colourChanges;
    }
    kept.colours = colours.hex();
    return kept;
}

// About 5 MB of output made from a fixed seed: gcc's coloured message and source lines, plain
// lines, tabs, UTF-8, CR LF line ends, 256-colour and direct-colour sequences, hyperlinks, erase
// sequences and a long line.
std::string flood()
{
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    const std::string bold = "\x1b[01m\x1b[K", red = "\x1b[01;31m\x1b[K", magenta = "\x1b[01;35m\x1b[K",
                      reset = "\x1b[m\x1b[K";
    std::string out;
    out.reserve(5500000);
    while (out.size() < 5 * 1024 * 1024) {
        const std::string line = std::to_string(next(5000) + 1), column = std::to_string(next(80) + 1);
        switch (next(8)) {
        case 0:
        case 1:
        case 2:
            out += bold + "prog.c:" + line + ":" + column + ":" + reset + " " + red + "error: " + reset +
                   "\xE2\x80\x98" + bold + "value" + reset + "\xE2\x80\x99 undeclared (first use in this function)\n";
            out += "    " + line + " |     int x = " + red + "value" + reset + ";\n";
            break;
        case 3:
            out += bold + "prog.c:" + line + ":" + column + ":" + reset + " " + magenta + "warning: " + reset +
                   "unused variable [" + magenta + "\x1b]8;;https://gcc.gnu.org/onlinedocs/gcc/Warning-Options.html\x1b\\" +
                   "-Wunused-variable\x1b]8;;\x1b\\" + reset + "]\n";
            break;
        case 4:
            out += "prog.c:" + line + ": note:\tplain\ttabs and caf\xC3\xA9 na\xC3\xAFve \xE2\x9C\x93\r\n";
            break;
        case 5: {
            // The numbers are drawn one statement each: the order of calls within one expression
            // is the compiler's choice, and the flood must not depend on it.
            const std::uint32_t third = next(256), second = next(256), first = next(256);
            out += "\x1b[38;5;" + std::to_string(first) + "m" + "\x1b[48;2;" + std::to_string(second) + ";" +
                   std::to_string(third) + ";9mcolour" + "\x1b[0m and \x1b[4;3;9munderlined\x1b[24;23;29m\x1b[2K\n";
            break;
        }
        case 6:
            out += "make[2]: Entering directory '/nowhere/" + line + "'\n";
            break;
        default: {
            const std::uint32_t tabs = next(20), width = next(300);
            out += std::string(width, 'x') + "\x1b[7m" + std::string(tabs, '\t') + "\x1b[27m\n";
        }
        }
    }
    return out;
}

class CaptureFidelityTest : public CompilerWindowTest {
protected:
    Kept capture(const std::string &output)
    {
        writeFile(path("output.txt"), output);
        configure("cat output.txt");
        compile();
        return keptOutput();
    }
};

void expectKept(const Kept &kept, const Kept &expected)
{
    EXPECT_EQ(kept.size, expected.size);
    EXPECT_EQ(kept.entryCount, expected.entryCount);
    EXPECT_EQ(kept.colourChanges, expected.colourChanges);
    EXPECT_EQ(kept.text, expected.text);
    EXPECT_EQ(kept.entries, expected.entries);
    EXPECT_EQ(kept.colours, expected.colours);
}

} // namespace

TEST_F(CaptureFidelityTest, AFloodOfColouredOutputKeepsItsTextEntriesAndColours)
{
    openFile("prog.c", "int x;\n");
    const Kept expected{"1b8d781fadb68e5a", "6615ab172f25fda1", "21d4aa9c555ca61d", 3351766, 26267, 186354};
    const Kept kept = capture(flood());
    expectKept(kept, expected);
    EXPECT_EQ(resultsText().size(), static_cast<std::size_t>(kept.size));
}

TEST_F(CaptureFidelityTest, ARealColouredGccRunKeepsItsTextEntriesAndColours)
{
    openFile("prog.c", "int x;\n");
    std::ifstream in(TSL_SOURCE_DIR "/tests/compiler/fixtures/gcc-coloured.txt", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_GT(bytes.str().size(), 4000u);
    const Kept expected{"82812f02ad6867af", "fea61208943c15fe", "f6f11d8da4145110", 2243, 14, 180};
    expectKept(capture(bytes.str()), expected);
}
