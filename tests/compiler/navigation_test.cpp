// Stepping through the messages of a real gcc run and of stand-in compilers.
#include "compilerfixture.h"

#include "config/configurationdialog.h"
#include "documents/projectwindows.h"

#include <QApplication>
#include <QTest>

namespace {

using NavigationTest = CompilerWindowTest;

template <typename Pane>
std::string selected(Pane *pane, unsigned type = TEXTSW_SEL_PRIMARY)
{
    Textsw_index first = 0, last = 0;
    textsw_get_selection(pane, &first, &last, type);
    return textsw_contents(pane, first, last);
}

// The line `number` of `text` (from 1), with its newline.
std::string lineOf(const std::string &text, int number)
{
    size_t pos = 0;
    while (--number > 0)
        pos = text.find('\n', pos) + 1;
    return text.substr(pos, text.find('\n', pos) + 1 - pos);
}

TEST_F(NavigationTest, StepsThroughGccMessagesSelectingTheNamedLines)
{
    const std::string source = readFile(TSL_SOURCE_DIR "/examples/twoerrors.c");
    openFile("prog.c", source);
    compile(); // the shipped "gcc -g -Wall -o * *#" and "*#:%"
    EXPECT_EQ(resultsMessageText(), "--- Error status 1 ---");
    const std::vector<ErrorEntry> entries(errorList.entries().begin(), errorList.entries().end());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));
    for (const ErrorEntry &entry : entries) {
        nextError();
        EXPECT_EQ(resultsMessageText(), errorLineMessage(entry.lineNumber));
        EXPECT_EQ(selected(resultsWindow->resultsPane, TEXTSW_SEL_SECONDARY).rfind("prog.c:" + std::to_string(entry.lineNumber) + ":", 0), 0u);
        EXPECT_EQ(selected(textPane), lineOf(source, entry.lineNumber));
    }
    EXPECT_EQ(shownButtons(), (NavigationButtons{true, true, true, true}));
    nextError();
    EXPECT_EQ(resultsMessageText(), "--- Last message ---");
    EXPECT_EQ(shownButtons(), (NavigationButtons{true, true, false, false}));
    firstError();
    EXPECT_EQ(resultsMessageText(), "--- First message ---");
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));
    EXPECT_EQ(selected(textPane), lineOf(source, entries[0].lineNumber));
}

TEST_F(NavigationTest, FindsProjectFilesAndRebuildsOnAConfigurationChoice)
{
    openFile("prog.c", "int x;\n");
    ProjectWindow project;
    project.pane = new TextPane;
    project.fileName = "util.h";
    project.edited = true; // titled "util.h - edited"
    const std::string lines = "1\n2\n3\n4\n5\n6\nseventh\n";
    textsw_set_contents(project.pane, lines.data(), static_cast<long>(lines.size()));
    projectWindowTable[2] = &project;
    writeFile(path("messages.txt"), "util.h:7: warning: unused\nprog.c:1: error: x\nprog.c(40) : error\n");
    compile("sh prints.sh messages.txt");
    ASSERT_EQ(errorList.entries().size(), 2u);
    EXPECT_EQ(errorList.entries()[0].projectSlot, 2);
    nextError();
    EXPECT_EQ(selected(project.pane), "seventh\n");
    EXPECT_EQ(selected(resultsWindow->resultsPane, TEXTSW_SEL_SECONDARY), "util.h:7: warning: unused");
    projectWindowTable[2] = nullptr;
    delete project.pane;

    snprintf(configurationTable[5].errorForm, sizeof configurationTable[5].errorForm, "*#(%%)");
    chooseConfiguration(5);
    ASSERT_EQ(errorList.entries().size(), 1u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 40);
    EXPECT_EQ(errorList.errorCursor(), -1);
    EXPECT_EQ(mainTitle(), std::string(configurationTable[5].description) + ": <prog.c>");
    closeResults();
    chooseConfiguration(0);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 40);
}

// After the next-message button in the results window, the user types on in the source line.
TEST_F(NavigationTest, AJumpLeavesTheKeyboardInTheSourceLine)
{
    openFile("prog.c", "int a;\nint b;\nint c;\n");
    writeFile(path("messages.txt"), "prog.c:2: error: b\n");
    compile("sh prints.sh messages.txt");
    ASSERT_EQ(errorList.entries().size(), 1u);
    resultsWindow->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == resultsWindow; }));
    QTest::mouseClick(resultsWindow->nextButton, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([] { return QApplication::focusWidget() == textPane; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    EXPECT_EQ(textsw_contents(textPane, 0, textsw_length(textPane)), "int a;\nxint c;\n");
}

// The list is made while the output arrives; a form changed during the compile still decides it.
TEST_F(NavigationTest, AFormChangedDuringTheCompileDecidesTheList)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("messages.sh"), "echo 'prog.c:3: colon'\necho 'prog.c(5) paren'\n"
                                   "while [ ! -e go ]; do sleep 0.02; done\nrm -f go\n");
    configure("sh messages.sh", "*#:%");
    startCompile();
    ASSERT_TRUE(waitUntil([] { return resultsText().find("paren") != std::string::npos; }));
    snprintf(configurationTable[0].errorForm, sizeof configurationTable[0].errorForm, "*#(%%)");
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    ASSERT_EQ(errorList.entries().size(), 1u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 5);

    // Unchanged, the lines matched on the way are the list.
    startCompile();
    ASSERT_TRUE(waitUntil([] { return resultsText().find("paren") != std::string::npos; }));
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    ASSERT_EQ(errorList.entries().size(), 1u);
    EXPECT_EQ(errorList.entries()[0].lineNumber, 5);
    EXPECT_EQ(shownButtons(), (NavigationButtons{false, false, true, true}));
}

} // namespace
