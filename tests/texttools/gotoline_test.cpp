#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/gotoline.h"
#include "support/xclip.h"

#include <QLabel>
#include <climits>

namespace {

using GoToLineTest = MainWindowTest;
using Range = std::pair<long, long>;
const Lines lineNotFound{" Line number"};

TEST_F(GoToLineTest, SelectsWholeLinesWithTheirNewline)
{
    setText("abc\ndef\n");
    goToLine(textPane, 0);
    EXPECT_EQ(selection(), Range(0, 4));
    goToLine(textPane, 1);
    EXPECT_EQ(selection(), Range(4, 8));
    goToLine(textPane, 2);
    EXPECT_EQ(selection(), Range(4, 8)); // left as it was
    ASSERT_EQ(firstLines(), lineNotFound);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{" Line number", "not found"}));
    EXPECT_EQ(notices.shown()[0].buttons, Lines{"   Ok   "});

    setText("abc\ndef"); // the last line has no newline
    goToLine(textPane, 1);
    setText("");
    goToLine(textPane, 0);
    goToLine(textPane, -1);
    EXPECT_EQ(firstLines(), Lines(4, " Line number"));
}

TEST_F(GoToLineTest, ANegativeLineSelectsTheFirstAndClosesThePrompt)
{
    setText("one\ntwo\nthree\n", 9);
    startGoToLine();
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "Select line number ");
    answerPrompt("9"); // beyond the last line: the prompt stays for another number
    EXPECT_EQ(firstLines(), lineNotFound);
    ASSERT_NE(toolPrompt, nullptr);
    answerPrompt("2");
    EXPECT_EQ(selection(), Range(4, 8));
    EXPECT_EQ(toolPrompt, nullptr);

    for (const char *value : {"0", "word", "-5"}) {
        startGoToLine();
        answerPrompt(value);
        EXPECT_EQ(selection(), Range(0, 4)) << value;
        EXPECT_EQ(toolPrompt, nullptr) << value;
    }
    startGoToLine();
    goToLine(textPane, -1);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(notices.shown().size(), 1u);
}

TEST_F(GoToLineTest, APositiveSelectedNumberGoesStraightToItsLine)
{
    std::string text;
    for (int i = 1; i <= 30; ++i)
        text += "line " + std::to_string(i) + "\n";
    setText(text);

    {
        Xclip other("  17: error here"); // another program's selection
        startGoToLine();
    }
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(textsw_contents(textPane, selection().first, selection().second), "line 17\n");

    // The pane's own selection of "0", or of a word, brings up the prompt.
    textsw_set_selection(textPane, text.find("10") + 1, text.find("10") + 2, TEXTSW_SEL_PRIMARY);
    startGoToLine();
    EXPECT_NE(toolPrompt, nullptr);
    startGoToLine(); // only closes it
    EXPECT_EQ(toolPrompt, nullptr);
    textsw_set_selection(textPane, 0, 4, TEXTSW_SEL_PRIMARY);
    startGoToLine();
    EXPECT_NE(toolPrompt, nullptr);
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(GoToLineTest, ProjectFormWorksOnThatWindowsPane)
{
    ProjectWindow window;
    QWidget frame;
    window.buttonBar = new QWidget(&frame);
    window.pane = new TextPane(&frame);
    projectWindowTable[2] = &window;
    textsw_set_contents(window.pane, "a\nb\nc\n", 6);
    goToLine(2, 2);
    EXPECT_EQ(selection(window.pane), Range(4, 6));
    QApplication::clipboard()->clear(QClipboard::Selection);
    startProjectGoToLine(2);
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->parentWidget(), window.buttonBar);
    answerPrompt("2");
    EXPECT_EQ(selection(window.pane), Range(2, 4));
    goToLine(99, 0); // an empty slot
    projectWindowTable[2] = nullptr;
}

TEST(DecimalValue, ReadsASignedNumberAtTheStart)
{
    EXPECT_EQ(decimalValue("  42:message"), 42);
    EXPECT_EQ(decimalValue("\t-7x"), -7);
    EXPECT_EQ(decimalValue("+3"), 3);
    EXPECT_EQ(decimalValue("word 5"), 0);
    EXPECT_EQ(decimalValue("- 5"), 0);
    EXPECT_EQ(decimalValue(""), 0);
    EXPECT_EQ(decimalValue("123456789012345678901234"), INT_MAX);
    EXPECT_EQ(decimalValue("-123456789012345678901234"), INT_MIN);
}

} // namespace
