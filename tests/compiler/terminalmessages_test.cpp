// Compiler messages in what the user runs in the terminal: make and gcc typed into the real shell,
// their messages underlined, a double click and F8 leading to the source line.
#include "compilerfixture.h"

#include "compiler/messagekeys.h"
#include "compiler/terminalmessages.h"
#include "support/mouse.h"
#include "texttools/gotoline.h"
#include "toolkit/terminallines.h"
#include "toolkit/textmarks.h"

#include <QApplication>
#include <QTest>

namespace {

const std::string faultySource = "#include <stdio.h>\n"
                                 "int main(void)\n"
                                 "{\n"
                                 "    int x = undeclared_name;\n"
                                 "    return x;\n"
                                 "}\n";

class TerminalMessagesTest : public CompilerWindowTest {
protected:
    void TearDown() override
    {
        CompilerWindowTest::TearDown();
        setTerminalMessagesOn(true); // the next test starts without the terminal's list
    }

    // Types a command line into the terminal's shell and waits for the shell's next prompt.
    void run(const std::string &command)
    {
        const std::string marker = "done-" + std::to_string(++commands);
        const std::string line = command + "; touch " + marker + "\n";
        ttysw_input(terminalPane, line.data(), static_cast<int>(line.size()));
        ASSERT_TRUE(waitUntil([&] { return access(path(marker).c_str(), F_OK) == 0; }, 20000)) << command;
        // The last output reaches the terminal after the shell has gone on.
        waitUntil([] { return false; }, 300);
    }
    static std::string selectedLine()
    {
        const auto [first, end] = selection(textPane);
        return textsw_contents(textPane, first, end);
    }
    static void doubleClickRow(int row)
    {
        QWidget *display = terminalDisplay(terminalPane);
        mouse(display, QEvent::MouseButtonDblClick, terminalCellCentre(terminalPane, row, 3), Qt::LeftButton);
    }
    static void pressF8(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(mainFrame);
        textPane->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : textPane, Qt::Key_F8, modifiers);
    }

    TerminalInputRecorder typing{true}; // commands reach the real shell
    static inline int commands = 0;
};

} // namespace

TEST_F(TerminalMessagesTest, MakeTypedInTheTerminalLeadsToTheLineByDoubleClickAndF8)
{
    openFile("prog.c", faultySource);
    writeFile(path("Makefile"), "prog: prog.c\n\tgcc -Wall -fdiagnostics-color=never -o prog prog.c\n");
    run("make");
    const ErrorList &list = terminalErrorList();
    ASSERT_FALSE(list.entries().empty());
    EXPECT_EQ(list.entries()[0].lineNumber, 4);
    EXPECT_EQ(list.entries()[0].column(), 13);
    EXPECT_EQ(list.entries()[0].kind(), MessageKind::error);
    EXPECT_TRUE(terminalMessagesLead()); // no results window

    // The error is underlined: it is the first underlined row, and its text is gcc's.
    std::vector<int> rows;
    ASSERT_TRUE(waitUntil([&] { return !(rows = terminalLinkRows(terminalPane)).empty(); }));
    doubleClickRow(rows.front());
    EXPECT_EQ(list.errorCursor(), 0);
    EXPECT_EQ(selectedLine(), "    int x = undeclared_name;\n");
    EXPECT_EQ(terminalHighlightedRow(terminalPane), rows.front());
    EXPECT_NE(textsw_marks_on(textPane, 3) & (1 << TEXTSW_MARK_ERROR), 0);

    // F8 from the start of the list reaches it too.
    goToLine(textPane, 0);
    ASSERT_EQ(selectedLine(), "#include <stdio.h>\n");
    pressF8(Qt::ShiftModifier); // at the first entry: "first message", shown again
    EXPECT_EQ(selectedLine(), "    int x = undeclared_name;\n");
    goToLine(textPane, 0);
    rebuildErrorList(); // as a configuration chosen anew: the cursor goes before the first entry
    pressF8();
    EXPECT_EQ(list.errorCursor(), 0);
    EXPECT_EQ(selectedLine(), "    int x = undeclared_name;\n");

    // A line that is no message is only clicked: the terminal selects its word.
    doubleClickRow(rows.front() - 1);
    EXPECT_EQ(list.errorCursor(), 0);
}

TEST_F(TerminalMessagesTest, ColouredMessagesOfOpenFilesOnlyAreLinksUntilTheNextCommand)
{
    openFile("prog.c", faultySource);
    writeFile(path("other.c"), "int f(void) { return missing; }\n");
    run("gcc -fdiagnostics-color=always -c other.c prog.c");
    const ErrorList &list = terminalErrorList();
    ASSERT_FALSE(list.entries().empty());
    for (const ErrorEntry &entry : list.entries()) {
        EXPECT_EQ(entry.projectSlot, mainDocumentSlot);
        EXPECT_EQ(entry.lineNumber, 4);
    }
    // Only prog.c's message lines are underlined, other.c's are not.
    const std::string whole = terminalPane->wholeText();
    ASSERT_NE(whole.find("other.c:1:22: error"), std::string::npos);
    std::vector<int> rows;
    ASSERT_TRUE(waitUntil([&] { return !(rows = terminalLinkRows(terminalPane)).empty(); }));
    doubleClickRow(rows.front());
    EXPECT_EQ(selectedLine(), "    int x = undeclared_name;\n");
    for (int row : rows) {
        goToLine(textPane, 0);
        doubleClickRow(row);
        EXPECT_EQ(selectedLine(), "    int x = undeclared_name;\n") << row;
    }
    run("gcc -fdiagnostics-color=never -c other.c");
    EXPECT_TRUE(waitUntil([] { return terminalLinkRows(terminalPane).empty(); }));

    // A second command starts a new list: other.c's messages are none, and F8 does nothing.
    EXPECT_TRUE(list.entries().empty());
    goToLine(textPane, 0);
    pressF8();
    EXPECT_EQ(selectedLine(), "#include <stdio.h>\n");
}

TEST_F(TerminalMessagesTest, F8FollowsTheNewestMessages)
{
    openFile("prog.c", faultySource);
    writeFile(path("messages.txt"), "prog.c:2: error: from the captured compile\n");
    configure("sh prints.sh messages.txt");
    compile();
    ASSERT_EQ(errorList.entries().size(), 1u);
    const std::string compileMessage = resultsMessageText();

    // Typed after the compile, the terminal's messages lead; the results window stays as it was.
    run("printf 'prog.c:5: error: from the terminal\\n'");
    ASSERT_EQ(terminalErrorList().entries().size(), 1u);
    EXPECT_TRUE(terminalMessagesLead());
    pressF8();
    EXPECT_EQ(selectedLine(), "    return x;\n");
    EXPECT_EQ(resultsMessageText(), compileMessage);
    EXPECT_EQ(errorList.errorCursor(), -1);

    // A compile after it leads again; a double click on a terminal message makes those lead.
    compile();
    EXPECT_FALSE(terminalMessagesLead());
    pressF8();
    EXPECT_EQ(selectedLine(), "int main(void)\n");
    EXPECT_EQ(resultsMessageText(), "--- Error line 2 ---");
    std::vector<int> rows;
    ASSERT_TRUE(waitUntil([&] { return !(rows = terminalLinkRows(terminalPane)).empty(); }));
    doubleClickRow(rows.back());
    EXPECT_TRUE(terminalMessagesLead());
    EXPECT_EQ(selectedLine(), "    return x;\n");

    // Recognition off: the terminal's output is not read.
    setTerminalMessagesOn(false);
    run("printf 'prog.c:6: error: not read\\n'");
    EXPECT_TRUE(terminalErrorList().entries().empty());
    EXPECT_FALSE(terminalMessagesLead());
}

TEST_F(TerminalMessagesTest, ANewCommandWhileTheLineIsNotFoundStartsANewListSafely)
{
    openFile("prog.c", faultySource);
    run("printf 'prog.c:99:5: error: past the end\\n'");
    ASSERT_EQ(terminalErrorList().entries().size(), 1u);
    // While "Line number not found" is up, the user's next command ends and its prompt empties the list
    // that F8 stepped into.
    notices.setResponder([this](const NoticeRecord &) {
        run("true");
        EXPECT_TRUE(terminalErrorList().entries().empty());
        return std::string("   Ok   ");
    });
    pressF8();
    notices.setResponder(nullptr);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines[1], "not found");
    EXPECT_EQ(QApplication::focusWidget(), textPane);
}
