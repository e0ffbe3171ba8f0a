// Stepping through the messages of a real gcc run and of stand-in compilers: the results pane's
// highlight, the selected source lines, the buttons, and when the list is rebuilt.
#include "compilerfixture.h"

#include "documents/projectwindows.h"

namespace {

using NavigationTest = CompilerWindowTest;

// The shipped example: gcc reports a missing ';' at line 8 and a wrong initialisation at line 10.
const char *const twoErrors = "/* two mistakes */\n"
                              "#include <stdio.h>\n"
                              "\n"
                              "int main(void)\n"
                              "{\n"
                              "    int total = 0;\n"
                              "    for (int i = 0; i < 10; i++) {\n"
                              "        total += i\n"
                              "    }\n"
                              "    double *average = total / 10.0;\n"
                              "    printf(\"total %d, average %f\\n\", total, *average);\n"
                              "    return 0;\n"
                              "}\n";

std::string selectedSource(TextPane *pane)
{
    Textsw_index first = 0, last = 0;
    textsw_get_selection(pane, &first, &last, TEXTSW_SEL_PRIMARY);
    return textsw_contents(pane, first, last);
}

// The source line that gcc's message names, with its newline.
std::string sourceLine(const char *text, int number)
{
    std::string all = text;
    size_t pos = 0;
    for (int line = 1; line < number; ++line)
        pos = all.find('\n', pos) + 1;
    return all.substr(pos, all.find('\n', pos) + 1 - pos);
}

std::string highlighted()
{
    Textsw_index first = 0, last = 0;
    textsw_get_selection(resultsWindow->resultsPane, &first, &last, TEXTSW_SEL_SECONDARY);
    return textsw_contents(resultsWindow->resultsPane, first, last);
}

TEST_F(NavigationTest, StepsThroughGccMessagesSelectingTheNamedLines)
{
    openFile("prog.c", twoErrors);
    compile(); // the shipped "gcc -g -Wall -o * *#" with the form "*#:%"
    EXPECT_EQ(resultsMessageText(), "--- Error status 1 ---");
    const std::vector<ErrorEntry> entries = errorList.entries();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));

    for (size_t i = 0; i < entries.size(); ++i) {
        nextError();
        EXPECT_EQ(resultsMessageText(), errorLineMessage(entries[i].lineNumber));
        const std::string message = highlighted();
        EXPECT_EQ(message.rfind("prog.c:" + std::to_string(entries[i].lineNumber) + ":", 0), 0u) << message;
        EXPECT_EQ(selectedSource(textPane), sourceLine(twoErrors, entries[i].lineNumber));
        EXPECT_EQ(shownButtons(), (NavigationButtons{true, true, true, true}));
    }
    EXPECT_EQ(entries[0].lineNumber, 8);
    nextError();
    EXPECT_EQ(resultsMessageText(), "--- Last message ---");
    EXPECT_EQ(shownButtons(), (NavigationButtons{true, true, false, false}));
    EXPECT_EQ(selectedSource(textPane), sourceLine(twoErrors, entries.back().lineNumber));

    firstError();
    EXPECT_EQ(resultsMessageText(), "--- First message ---");
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));
    EXPECT_EQ(selectedSource(textPane), sourceLine(twoErrors, entries[0].lineNumber));
    lastError();
    EXPECT_EQ(resultsMessageText(), "--- Last message ---");
    previousError();
    EXPECT_EQ(resultsMessageText(), errorLineMessage(entries[entries.size() - 2].lineNumber));
}

TEST_F(NavigationTest, FindsMessagesAboutAProjectWindowByItsTitle)
{
    openFile("prog.c", "int x;\n");
    ProjectWindow project;
    project.pane = new TextPane;
    project.fileName = "util.h";
    project.edited = true;
    const std::string lines = "1\n2\n3\n4\n5\n6\nseventh\n8\n";
    textsw_set_contents(project.pane, lines.data(), static_cast<long>(lines.size()));
    projectWindowTable[2] = &project;

    writeFile(path("messages.txt"), "util.h:7: warning: unused\nprog.c:1: error: x\n");
    configure("sh prints.sh messages.txt");
    compile();
    ASSERT_EQ(errorList.entries().size(), 2u);
    EXPECT_EQ(errorList.entries()[0].projectSlot, 2);
    nextError();
    EXPECT_EQ(selectedSource(project.pane), "seventh\n");
    EXPECT_EQ(highlighted(), "util.h:7: warning: unused");
    nextError();
    EXPECT_EQ(selectedSource(textPane), "int x;\n");

    // A window that has gone since the list was made shows only the message.
    projectWindowTable[2] = nullptr;
    firstError();
    EXPECT_EQ(highlighted(), "util.h:7: warning: unused");
    delete project.pane;
}

TEST_F(NavigationTest, ChoosingAConfigurationRebuildsUntilTheWindowCloses)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("messages.txt"), "prog.c:1: error: x\nprog.c(40) : error\nprog.c(41\n");
    configure("sh prints.sh messages.txt");
    compile();
    ASSERT_EQ(errorList.entries().size(), 1u);
    nextError();

    snprintf(configurationTable[5].errorForm, sizeof configurationTable[5].errorForm, "*#(%%)");
    chooseConfiguration(5);
    ASSERT_EQ(errorList.entries().size(), 2u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 40);
    EXPECT_EQ(errorList.entries()[1].lineNumber, 41);
    EXPECT_EQ(errorList.errorCursor(), -1);
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));
    EXPECT_EQ(mainTitle(), std::string(configurationTable[5].description) + ": <prog.c>");

    closeResults();
    chooseConfiguration(0);
    EXPECT_EQ(errorList.entries().size(), 2u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 40);
}

TEST_F(NavigationTest, AnOutputWithoutMessagesLeavesTheButtonsInactive)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("messages.txt"), "In file included from prog.c:3:\nprog.c:0: no line\n");
    configure("sh prints.sh messages.txt");
    compile();
    EXPECT_TRUE(errorList.entries().empty());
    EXPECT_EQ(shownButtons(), NavigationButtons());
}

} // namespace
