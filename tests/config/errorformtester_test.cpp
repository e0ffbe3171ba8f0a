// What the error-form tester says of a sample line, and which line it offers as the sample.
#include "config/errorformtester.h"

#include <gtest/gtest.h>

#include <string>

TEST(ErrorFormTester, SaysWhatTheFormMakesOfTheSample)
{
    struct Case {
        const char *form;
        const char *sample;
        const char *said;
    };
    const std::vector<ProjectFileTitle> projects = {{2, "util.h - edited", true}};
    const Case cases[] = {
        {"*#:%", "prog.c:12:5: error: expected ';'", "prog.c, line 12"},
        {"*#:%", "./prog.c:7: warning: unused", "prog.c, line 7"},
        {"*#:%", "util.h:3: note: here", "util.h, line 3"},
        {"\"*#\", line %", "\"prog.c\", line 40: syntax error", "prog.c, line 40"},
        // Where the comparison stops, counted in characters of the form from 1.
        {"*#(%)", "prog.c:12: error", "no message: the form stops at character 3"},
        {"*#(%)", "prog.c:13:20: error: 'totl' undeclared (first use in this function)",
         "no message: the form stops at character 3"},
        {"*#:%", "prog.c: In function 'main':", "no message: the form stops at character 4"},
        {"Error: *#:%", "error: prog.c:3: x", "no message: the form stops at character 1"},
        {"\xC3\xA9*#:%", "\xC3\xA9prog.c 3", "no message: the form stops at character 4"},
        {"*#:%", "prog.c:0: error", "no message: the form stops at character 4"},
        // A message that fits the form, about a file that is not edited.
        {"*#:%", "other.c:12:5: error: expected ';'", "no message for the edited file"},
        {"*#:%", "src/lib/other.c:3: warning: x", "no message for the edited file"},
        // Forms that can recognise nothing.
        {"*#:", "prog.c:12: error", "no message: the form needs * for the file and % for the line"},
        {"file:%", "file:12", "no message: the form needs * for the file and % for the line"},
        {"*#:%", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(errorFormTrial(c.form, c.sample, "prog.c", projects), c.said) << c.form << " | " << c.sample;

    // Another path to the edited file, found on disk by the resolver.
    const FileResolver resolver = [](std::string_view, std::string_view part) {
        return part == "../src/prog.c" ? mainDocumentSlot : noEditedFile;
    };
    EXPECT_EQ(errorFormTrial("*#:%", "../src/prog.c:9: error: x", "prog.c", {}, resolver), "../src/prog.c, line 9");
    EXPECT_EQ(errorFormTrial("*#:%", "../src/main.c:9: error: x", "prog.c", {}, resolver),
              "no message for the edited file");
}

TEST(ErrorFormTester, CountsAndOffersTheFirstLineAboutTheFile)
{
    EXPECT_EQ(messageCountText(14), "14 messages in the last output");
    EXPECT_EQ(messageCountText(1), "1 message in the last output");
    EXPECT_EQ(messageCountText(0), "no messages in the last output");

    const std::string output = "gcc\n"
                               "gcc -Wall -o prog prog.c\n"
                               "prog.c: In function 'main':\n"
                               "util.h:2: warning: in a project file\n"
                               "prog.c(12) : error: the form's own\n"
                               "prog.c:40: error: later\n";
    // The list's first entry for the main file, when the form finds one.
    ErrorEntries entries;
    const std::vector<ErrorEntry> parsed = parseErrorMessages(output, "*#:%", "prog.c", {{0, "util.h", false}});
    entries.append(parsed.data(), parsed.size());
    EXPECT_EQ(firstSampleLine(output, entries, "prog.c"), "prog.c:40: error: later");
    // Without one: the first line that names the file with a number after it.
    EXPECT_EQ(firstSampleLine(output, ErrorEntries(), "prog.c"), "prog.c(12) : error: the form's own");
    EXPECT_EQ(firstSampleLine(output, ErrorEntries(), "src/prog.c"), "prog.c(12) : error: the form's own");
    EXPECT_EQ(firstSampleLine(output, ErrorEntries(), "main.c"), "");
    EXPECT_EQ(firstSampleLine(output, ErrorEntries(), ""), "");
}
