// A program's output taken into an output text: whole, a byte at a time (no escape sequence is
// ever whole in a piece, so none takes a shortcut) and in random pieces, it must give the same
// text, lines and colours, and the text must be the output without its sequences: never longer,
// and every line end of the output kept.
#include "fuzzcheck.h"
#include "toolkit/outputtext.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Where the style changes and to what, adjacent runs of one style counted as one.
std::vector<std::pair<long, TextStyle>> changesOf(const OutputText &text)
{
    std::vector<std::pair<long, TextStyle>> changes;
    const StyleRuns &runs = text.styles();
    for (std::size_t run = 0; run < runs.runCount(); ++run) {
        const long start = runs.runStart(run);
        if (start >= static_cast<long>(text.size()))
            break; // a style set after the last byte colours nothing
        if (!changes.empty() && changes.back().first == start)
            changes.pop_back();
        const TextStyle &style = runs.runStyle(run);
        const TextStyle before = changes.empty() ? TextStyle() : changes.back().second;
        if (style != before)
            changes.emplace_back(start, style);
    }
    return changes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view output(reinterpret_cast<const char *>(data), size);
    OutputText whole, bytewise, pieces;
    FUZZ_CHECK(whole.appendProgramOutput(output.data(), output.size()), "no memory for a small output");
    for (const char byte : output)
        bytewise.appendProgramOutput(&byte, 1);
    std::uint64_t state = size;
    for (std::size_t at = 0, piece; at < output.size(); at += piece) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        piece = std::min<std::size_t>(1 + (state >> 33) % 40, output.size() - at);
        // Read into the text's own room, as the compile does, half of the time.
        char *room = (state >> 20) % 2 ? pieces.roomForProgramOutput(piece) : nullptr;
        if (room) {
            std::copy(output.data() + at, output.data() + at + piece, room);
            pieces.appendProgramOutput(room, piece);
        } else {
            pieces.appendProgramOutput(output.data() + at, piece);
        }
    }
    FUZZ_CHECK(whole.text() == bytewise.text() && pieces.text() == bytewise.text(),
               "the text depends on the pieces it arrived in");
    FUZZ_CHECK(whole.size() <= output.size(), "the text is longer than the output");
    FUZZ_CHECK(std::count(output.begin(), output.end(), '\n') == std::count(whole.text().begin(), whole.text().end(), '\n') &&
                   whole.lineCount() == bytewise.lineCount() && pieces.lineCount() == bytewise.lineCount(),
               "a line end was lost or the lines were counted differently");
    const auto expected = changesOf(bytewise);
    FUZZ_CHECK(changesOf(whole) == expected && changesOf(pieces) == expected,
               "the colours depend on the pieces the output arrived in");
    return 0;
}
