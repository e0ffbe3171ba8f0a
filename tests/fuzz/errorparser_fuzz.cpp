// The error list parser on any compiler output: the output fed in random pieces, as it arrives
// from the compiler, must give exactly the entries of the whole output parsed at once, and every
// entry must lie inside the output.
//
// An input is a compiler output, parsed with each of a few error forms and file names taken
// from the shipped configuration. An input that begins with the byte 1 brings its own: 1, the
// form, 1, the file name, 1, a project window's title, 1, then the output.
#include "compiler/errorparser.h"
#include "fuzzcheck.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

struct Case {
    std::string form, fileName;
    std::vector<ProjectFileTitle> projects;
};

const std::vector<Case> &shippedCases()
{
    static const std::vector<Case> cases = {
        {"*#:%:", "hello.c", {{2, "util.h", false}}},
        {"*#:%", "twoerr.c", {{0, "util.h - edited", true}, {7, "hello.c", false}}},
        {"*#:%", "prog.f90", {}},
        {"*#:%", "Main.java", {{5, "Makefile", false}}},
        {"  File \"*#\", line %", "script.py", {}},
        {"*#: %", "script.sh", {{1, "a", false}}},
        {"*#(%)", "", {{3, "hello.c", false}}},
    };
    return cases;
}

// A small deterministic generator, so that a finding replays the same pieces.
struct Pieces {
    std::uint64_t state;
    std::size_t next(std::size_t most)
    {
        state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return 1 + static_cast<std::size_t>((z ^ (z >> 31)) % most);
    }
};

std::uint64_t hashOf(std::string_view bytes)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

void checkCase(const Case &c, std::string_view output, std::uint64_t seed)
{
    const std::vector<ErrorEntry> whole =
        parseErrorMessages(output, c.form.c_str(), c.fileName.c_str(), c.projects);
    long previousEnd = -1;
    for (const ErrorEntry &entry : whole) {
        const long lineEnd = lineEndOf(output, entry);
        FUZZ_CHECK(entry.lineStart > previousEnd && entry.lineStart <= lineEnd &&
                       lineEnd <= static_cast<long>(output.size()),
                   "an entry lies outside the output or out of order");
        FUZZ_CHECK(entry.lineNumber > 0, "an entry without a line number");
        bool known = entry.projectSlot == mainDocumentSlot;
        for (const ProjectFileTitle &project : c.projects)
            known = known || project.slot == entry.projectSlot;
        FUZZ_CHECK(known, "an entry names a window that does not exist");
        previousEnd = lineEnd;
    }

    // Pieces of 1 to 64 bytes, or up to 4096 for long outputs.
    IncrementalErrorParser parser(c.form.c_str(), c.fileName.c_str(), c.projects);
    Pieces pieces{seed};
    const std::size_t most = output.size() > 65536 ? 4096 : 64;
    for (std::size_t arrived = 0; arrived < output.size();) {
        arrived = std::min(output.size(), arrived + pieces.next(most));
        parser.parseArrived(output.substr(0, arrived));
    }
    const ErrorEntries pieced = parser.finish(output);
    FUZZ_CHECK(std::vector<ErrorEntry>(pieced.begin(), pieced.end()) == whole,
               "the pieces give other entries than the whole output");

    // Line by line as a terminal gives them: the entries of the complete lines are the same, when
    // no name holds a line end.
    bool namesOnOneLine = c.fileName.find('\n') == std::string::npos;
    for (const ProjectFileTitle &project : c.projects)
        namesOnOneLine = namesOnOneLine && project.title.find('\n') == std::string::npos;
    const std::size_t lastLineEnd = output.rfind('\n');
    if (namesOnOneLine && lastLineEnd != std::string_view::npos && output.size() <= 65536) {
        IncrementalErrorParser lines(c.form.c_str(), c.fileName.c_str(), c.projects);
        for (std::size_t end = output.find('\n'); end != std::string_view::npos; end = output.find('\n', end + 1))
            lines.parseCompleteLines(output.substr(0, end + 1));
        std::vector<ErrorEntry> complete;
        for (const ErrorEntry &entry : whole)
            if (lineEndOf(output, entry) <= static_cast<long>(lastLineEnd))
                complete.push_back(entry);
        FUZZ_CHECK(std::vector<ErrorEntry>(lines.entries().begin(), lines.entries().end()) == complete,
                   "complete lines give other entries than the whole output");
    }

    // Trying single lines, as the form's tester does: what it reads lies inside the line.
    const ErrorFormMatcher matcher(c.form.c_str(), c.fileName.c_str(), c.projects);
    const std::string_view first = output.substr(0, std::min(output.find('\n'), output.size()));
    const ErrorFormMatcher::Trial trial = matcher.tryLine(first);
    FUZZ_CHECK((trial.file.empty() || (trial.file.data() >= first.data() &&
                                       trial.file.data() + trial.file.size() <= first.data() + first.size())) &&
                   trial.stoppedAt <= c.form.size(),
               "the trial reads outside the line or the form");
    FUZZ_CHECK((trial.outcome == ErrorFormMatcher::Trial::Outcome::message) == (trial.entry.lineNumber > 0),
               "a message without a line number");
    matcher.fitsForm(first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char *>(data), size);
    const std::uint64_t seed = hashOf(input);
    if (!input.empty() && input[0] == '\1') {
        std::string_view fields[3];
        input.remove_prefix(1);
        for (std::string_view &field : fields) {
            const std::size_t end = input.find('\1');
            if (end == std::string_view::npos)
                return 0;
            field = input.substr(0, end);
            input.remove_prefix(end + 1);
        }
        Case own{std::string(fields[0]), std::string(fields[1]), {}};
        if (!fields[2].empty())
            own.projects.push_back({4, std::string(fields[2]), false});
        checkCase(own, input, seed);
        return 0;
    }
    for (std::size_t i = 0; i < shippedCases().size(); ++i)
        checkCase(shippedCases()[i], input, seed + i);
    return 0;
}
