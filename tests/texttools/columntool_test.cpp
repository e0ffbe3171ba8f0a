#include "texttools/mainwindowfixture.h"

#include "texttools/columntool.h"
#include "texttools/find.h"
#include "toolkit/selection.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

class ColumnToolTest : public MainWindowTest {
protected:
    // Selects `part` of the main pane's text and runs Column add/del with `string` and the
    // notice's `answer`.
    void column(const std::string &part, const std::string &string, const std::string &answer)
    {
        const long first = static_cast<long>(paneText().find(part));
        ASSERT_GE(first, 0);
        textsw_set_selection(textPane, first, first + static_cast<long>(part.size()), TEXTSW_SEL_PRIMARY);
        notices.press(answer);
        startColumnTool();
        answerPrompt(string);
        EXPECT_EQ(notices.pendingPresses(), 0);
    }
};

const std::string lines = "zero\none\ntwo\nthree\nfour\n";

TEST_F(ColumnToolTest, AsksForTheStringAndTheOperation)
{
    setText(lines);
    textsw_set_selection(textPane, 5, 19, TEXTSW_SEL_PRIMARY);
    startColumnTool();
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->parentWidget(), menuBar);
    EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "String -> ");
    EXPECT_EQ(toolPrompt->lineEdit()->maxLength(), 256);
    EXPECT_EQ(searchString, "one\ntwo\nthree\n");
    notices.press("cancel");
    answerPrompt("//");
    EXPECT_EQ(toolPrompt, nullptr);
    ASSERT_EQ(notices.shown().size(), 1u);
    const NoticeRecord &asked = notices.shown()[0];
    EXPECT_EQ(asked.lines, (Lines{"Insert or remove string", " at the beginning / end", "of each selected line ?", ""}));
    EXPECT_EQ(asked.buttons,
              (Lines{"Insert at begin", "Insert at end", "Remove at begin", "Remove at end", "cancel"}));
    EXPECT_EQ(paneText(), lines); // cancel changes nothing

    // Find next then searches for the text that was selected.
    textsw_set_insertion_point(textPane, 0);
    findNext(0);
    EXPECT_EQ(selection(), std::make_pair(5L, 19L));

    // Choosing the tool again while its prompt is open only closes it.
    startColumnTool();
    ASSERT_NE(toolPrompt, nullptr);
    startColumnTool();
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(notices.shown().size(), 1u);
}

TEST_F(ColumnToolTest, TheStringIsTypedIntoThePromptAndTheKeyboardGoesBackToTheText)
{
    mainFrame->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == mainFrame; }));
    setText(lines);
    textPane->setFocus();
    textsw_set_selection(textPane, 5, 19, TEXTSW_SEL_PRIMARY);
    startColumnTool();
    ASSERT_NE(toolPrompt, nullptr);
    ASSERT_EQ(QApplication::focusWidget(), toolPrompt->lineEdit());
    QTest::keyClicks(QApplication::focusWidget(), "//");
    EXPECT_EQ(paneText(), lines); // not typed over the selected lines
    notices.press("Insert at begin");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(paneText(), "zero\n//one\n//two\n//three\nfour\n");
    EXPECT_EQ(QApplication::focusWidget(), textPane);

    // At most 99 characters of a longer string are put in.
    setText(lines);
    column("one\n", std::string(120, 'x'), "Insert at begin");
    EXPECT_EQ(paneText(), "zero\n" + std::string(99, 'x') + "one\ntwo\nthree\nfour\n");
    setText(lines);
    column("one\n", std::string(98, 'x') + "\xc3\xa9\xc3\xa9", "Insert at end"); // 100 characters, 102 bytes
    EXPECT_EQ(paneText(), "zero\none" + std::string(98, 'x') + "\xc3\xa9\ntwo\nthree\nfour\n");
}

TEST_F(ColumnToolTest, NothingSelectedAsksForLines)
{
    setText(lines);
    QApplication::clipboard()->clear(QClipboard::Selection);
    startColumnTool();
    EXPECT_EQ(toolPrompt, nullptr);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{"Please select some", "    lines first   "}));
    EXPECT_EQ(notices.shown()[0].buttons, Lines{"OK"});
}

TEST_F(ColumnToolTest, InsertsAndRemovesOnTheSelectedLinesAsOneUndoableChange)
{
    setText(lines);
    column("one\ntwo\nthree\n", "//", "Insert at begin");
    EXPECT_EQ(paneText(), "zero\n//one\n//two\n//three\nfour\n");
    EXPECT_EQ(caret(), 19); // after the last string put in
    EXPECT_TRUE(textsw_modified(textPane));
    textsw_undo(textPane);
    EXPECT_EQ(paneText(), lines);

    column("one\ntwo\nthree\n", "//", "Insert at end");
    EXPECT_EQ(paneText(), "zero\none//\ntwo//\nthree//\nfour\n");
    column("one//\ntwo//\nthree//\nfour\n", "//", "Remove at end");
    EXPECT_EQ(paneText(), lines);

    setText("zero\n//one\ntwo\n////three\nfour\n");
    column("//one\ntwo\n////three\n", "//", "Remove at begin");
    EXPECT_EQ(paneText(), "zero\none\ntwo\n//three\nfour\n");
    EXPECT_EQ(selection(), std::make_pair(5L, 21L)); // the same lines, without the strings

    // A selection that ends in the middle of a line.
    setText(lines);
    column("one\ntwo\nth", "#", "Insert at end");
    EXPECT_EQ(paneText(), "zero\none#\ntwo#\nthree\nfour\n");
    setText(lines);
    column("one\ntwo\nth", "#", "Insert at begin");
    EXPECT_EQ(paneText(), "zero\n#one\n#two\n#three\nfour\n");
}

TEST_F(ColumnToolTest, ASelectionFromTheTopOfTheTextHandlesTheFirstLine)
{
    setText("one\ntwo\nthree\nfour\n");
    column("one\ntwo\nthree\n", "//", "Insert at begin");
    EXPECT_EQ(paneText(), "//one\n//two\n//three\nfour\n");
    column("//one\n//two\n//three\n", "//", "Remove at begin");
    EXPECT_EQ(paneText(), "one\ntwo\nthree\nfour\n");
}

TEST_F(ColumnToolTest, AReadOnlyPaneIsLeftAlone)
{
    setText(lines);
    textsw_set_selection(textPane, 5, 19, TEXTSW_SEL_PRIMARY);
    textsw_set_read_only(textPane, true);
    startColumnTool();
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_TRUE(notices.shown().empty());

    // Made read-only while the prompt was open.
    textsw_set_read_only(textPane, false);
    startColumnTool();
    textsw_set_read_only(textPane, true);
    notices.press("Insert at begin");
    answerPrompt("//");
    EXPECT_EQ(paneText(), lines);
}

} // namespace
