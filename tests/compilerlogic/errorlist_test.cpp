#include "compiler/errorlist.h"
#include "compiler/errorparser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Projects = std::vector<ProjectFileTitle>;

// The line numbers and slots of the entries found in `output`.
std::vector<std::pair<int, int>> found(const std::string &output, const char *form,
                                       const Projects &projects = {},
                                       const char *fileName = "prog.c")
{
    std::vector<std::pair<int, int>> result;
    for (const ErrorEntry &entry : parseErrorMessages(output, form, fileName, projects))
        result.emplace_back(entry.lineNumber, entry.projectSlot);
    return result;
}

using Found = std::vector<std::pair<int, int>>;

TEST(ErrorParser, MatchesSingleLinesAgainstTheForm)
{
    const Projects util{{2, "util.h", false}};
    const Projects utilEdited{{2, "util.h - edited", true}};
    struct Case {
        const char *line;
        const char *form;
        const Projects *projects;
        Found expected;
    };
    const Case cases[] = {
        {"prog.c:12: parse error", "*#:%:", nullptr, {{12, -1}}},
        {"./prog.c:12: parse error", "*#:%:", nullptr, {{12, -1}}},
        {"In file included from prog.c:3:", "*#:%:", nullptr, {}},
        {"util.h:7: warning", "*#:%:", &util, {{7, 2}}},
        {"util.h:7: warning", "*#:%:", &utilEdited, {{7, 2}}},
        {"util.h:7: warning", "*#:%:", nullptr, {}},
        {"prog.c:0: zero", "*#:%:", nullptr, {}},
        {"prog.c:-4: negative", "*#:%:", nullptr, {}},
        {"prog.c: missing", "*#:%:", nullptr, {}},
        {"prog.c:: missing", "*#:%:", nullptr, {}},
        {"prog.c(40)", "*#(%)", nullptr, {{40, -1}}},
        {"prog.c(40", "*#(%)", nullptr, {{40, -1}}},
        {"prog.c: +9", "*#: %", nullptr, {{9, -1}}},
        {"prog.c:  9", "*#:%", nullptr, {{9, -1}}},
        {"prog.c:4:13: error: \xE2\x80\x98y\xE2\x80\x99 undeclared", "*#:%:", nullptr, {{4, -1}}},
        {"Prog.c:4: case matters", "*#:%:", nullptr, {}},
        {"prog.cpp:4: another file", "*#:%:", nullptr, {}},
        {"\"prog.c\", line 8: old style", "\"*#\", line %", nullptr, {{8, -1}}},
        // Forms without '*' or '%' recognise nothing; a newline ends the form.
        {"prog.c:12: x", ":%", nullptr, {}},
        {"prog.c:12: x", "*#:", nullptr, {}},
        {"prog.c:12: x", "*#:%\nignored", nullptr, {{12, -1}}},
        {"prog.c:12: x", "*#\n:%", nullptr, {}},
        // A file with a number on the next line: no number on this line, no entry.
        {"prog.c:\n12: x", "*#:%", nullptr, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(found(c.line, c.form, c.projects ? *c.projects : Projects()), c.expected)
            << c.line << " / " << c.form;
    }
}

TEST(ErrorParser, RecognisesOnlyTheFilesBeingEdited)
{
    // Real gcc output for prog.c including util.h.
    const std::string output =
        "In file included from prog.c:1:\n"
        "util.h: In function \xE2\x80\x98" "f\xE2\x80\x99:\n"
        "util.h:1:30: error: expected \xE2\x80\x98;\xE2\x80\x99 before \xE2\x80\x98}\xE2\x80\x99 token\n"
        "prog.c: In function \xE2\x80\x98main\xE2\x80\x99:\n"
        "prog.c:4:13: error: \xE2\x80\x98y\xE2\x80\x99 undeclared (first use in this function)\n"
        "prog.c:4:13: note: each undeclared identifier is reported only once\n"
        "prog.c:5:12: warning: returning \xE2\x80\x98" "char *\xE2\x80\x99 from a function\n";
    const Projects projects{{0, "other.h", false}, {2, "util.h - edited", true}};
    std::vector<ErrorEntry> entries =
        parseErrorMessages(output, "*#:%:", "prog.c", projects);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].lineNumber, 1);
    EXPECT_EQ(entries[0].projectSlot, 2);
    EXPECT_EQ(entries[3].lineNumber, 5);
    EXPECT_EQ(entries[3].projectSlot, mainDocumentSlot);
    // Positions delimit exactly the message's line.
    for (const ErrorEntry &entry : entries) {
        EXPECT_TRUE(entry.lineStart == 0 || output[static_cast<size_t>(entry.lineStart) - 1] == '\n');
        EXPECT_EQ(output[static_cast<size_t>(lineEndOf(output, entry))], '\n');
    }
    EXPECT_EQ(messageLine(output, entries[1]),
              "prog.c:4:13: error: \xE2\x80\x98y\xE2\x80\x99 undeclared (first use in this function)");

    // The last line needs no newline; a name cut short at the very end still agrees.
    std::vector<ErrorEntry> last = parseErrorMessages("x\nprog.c:9", "*#:%", "prog.c", {});
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0], (ErrorEntry{2, 9, -1}));
    EXPECT_TRUE(parseErrorMessages("x\npro", "*#:%", "prog.c", {}).empty());
}

TEST(ErrorParser, NeverTakesAnEmptyOrDifferentNameForAnEditedFile)
{
    // No file in the main pane, a project window without a name: nothing agrees by default.
    EXPECT_EQ(found(":5: x", "*#:%", {{1, "", false}}, ""), Found{});
    EXPECT_EQ(found("x.h:5: x", "*#:%", {{1, "x.h - edited", false}}), Found{});
    // The main file is prog.f while the extension stayed .c: prog.c is another file.
    EXPECT_EQ(found("prog.c:5: x", "*#:%", {}, "prog.f"), Found{});
    EXPECT_EQ(found("prog.f:5: x", "*#:%", {}, "prog.f"), (Found{{5, -1}}));
    // The first project slot that agrees wins.
    EXPECT_EQ(found("a.h:3: x", "*#:%", {{4, "a.h", false}, {7, "a.h", false}}), (Found{{3, 4}}));
}

std::vector<ErrorEntry> threeEntries()
{
    return {{0, 3, -1}, {11, 7, -1}, {21, 9, 2}};
}

// Parsing while the output arrives must find exactly what parsing the whole output finds,
// wherever the output is cut into pieces: lines and names split between pieces, names that
// reach the end of the output, a last line without a line end.
TEST(ErrorParser, ParsingAsTheOutputArrivesFindsWhatTheWholeOutputGives)
{
    // A file name may hold a line end. The first title agrees with the start of a util.h message
    // and the text after it as far as "f": only "fine" on the next line tells them apart.
    const Projects projects{{0, "util.h:9: warning\nfoo", false}, {1, "util.h", false},
                            {3, "a_much_longer_header_name.h - edited", true}};
    const char *pieces[] = {"prog.c:12: parse error\n", "./prog.c:7:3: note\n", "In file included from prog.c:3:\n",
                            "util.h:9: warning\n", "a_much_longer_header_name.h:44: x\n", "prog.c:0: none\n",
                            "prog.c:: none\n", "prog.c:", "util", "a_much", "\n", "prog.c(40)\n", "fine\n"};
    const char *forms[] = {"*#:%:", "*#:%", "*#(%)", "*#:%:%:"};
    std::mt19937 random(3);
    for (int round = 0; round < 400; ++round) {
        std::string output;
        const int lines = static_cast<int>(random() % 40);
        for (int i = 0; i < lines; ++i)
            output += pieces[random() % std::size(pieces)];
        const char *form = forms[random() % std::size(forms)];
        const std::vector<ErrorEntry> whole = parseErrorMessages(output, form, "prog.c", projects);

        IncrementalErrorParser parser(form, "prog.c", projects);
        std::size_t arrived = 0;
        while (arrived < output.size()) {
            arrived = std::min(output.size(), arrived + 1 + random() % 30);
            parser.parseArrived(std::string_view(output).substr(0, arrived));
        }
        const ErrorEntries incremental = parser.finish(output);
        ASSERT_EQ(std::vector<ErrorEntry>(incremental.begin(), incremental.end()), whole)
            << "form " << form << " output:\n" << output;
    }

    IncrementalErrorParser parser("*#:%", "prog.c", projects);
    EXPECT_TRUE(parser.madeFrom("*#:%", "prog.c", projects));
    EXPECT_FALSE(parser.madeFrom("*#:%:", "prog.c", projects));
    EXPECT_FALSE(parser.madeFrom("*#:%", "prog.f", projects));
    EXPECT_FALSE(parser.madeFrom("*#:%", "prog.c", {{0, "util.h", false}, {3, "a_much_longer_header_name.h", false}}));
}

TEST(ErrorNavigation, StepsThroughThreeEntries)
{
    ErrorList list;
    list.rebuild(threeEntries());
    EXPECT_EQ(list.errorCursor(), -1);
    EXPECT_EQ(list.buttons(), (NavigationButtons{false, false, true, true}));

    const int expectedLines[] = {3, 7, 9};
    for (int line : expectedLines) {
        ErrorStep step = list.next();
        EXPECT_EQ(step.message, errorLineMessage(line));
        ASSERT_NE(step.shown, nullptr);
        EXPECT_EQ(step.shown->lineNumber, line);
        EXPECT_EQ(list.buttons(), (NavigationButtons{true, true, true, true}));
    }
    EXPECT_EQ(errorLineMessage(9), "--- Error line 9 ---");

    ErrorStep past = list.next();
    EXPECT_EQ(past.message, "--- Last message ---");
    EXPECT_EQ(past.shown->lineNumber, 9);
    EXPECT_EQ(list.buttons(), (NavigationButtons{true, true, false, false}));

    ErrorStep back = list.previous();
    EXPECT_EQ(back.message, "--- Error line 7 ---");
    EXPECT_EQ(list.buttons(), (NavigationButtons{true, true, true, true}));

    ErrorStep first = list.first();
    EXPECT_EQ(first.message, "--- First message ---");
    EXPECT_EQ(first.shown->lineNumber, 3);
    EXPECT_EQ(list.errorCursor(), 0);
    EXPECT_EQ(list.buttons(), (NavigationButtons{false, false, true, true}));

    ErrorStep last = list.last();
    EXPECT_EQ(last.message, "--- Last message ---");
    EXPECT_EQ(last.shown->projectSlot, 2);
    EXPECT_EQ(list.buttons(), (NavigationButtons{true, true, false, false}));

    // A rebuild puts the cursor back before the first entry.
    list.rebuild(threeEntries());
    EXPECT_EQ(list.next().shown->lineNumber, 3);
}

TEST(ErrorNavigation, AnEmptyListShowsNothing)
{
    ErrorList list;
    list.rebuild(threeEntries());
    list.next();
    list.rebuild(std::vector<ErrorEntry>());
    EXPECT_EQ(list.buttons(), NavigationButtons{});
    EXPECT_EQ(list.next().shown, nullptr);
    EXPECT_EQ(list.previous().shown, nullptr);
    EXPECT_EQ(list.first().shown, nullptr);
    EXPECT_EQ(list.last().shown, nullptr);
    EXPECT_EQ(list.buttons(), NavigationButtons{});
}

} // namespace
