#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/find.h"
#include "texttools/gotoline.h"
#include "toolkit/selection.h"
#include "toolkit/terminalpane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const char *const notFound = "Search string not found";

using FindTest = MainWindowTest;

TEST_F(FindTest, EveryFindInAnEmptyPaneEndsWithNotFound)
{
    setText("");
    searchString = "x";
    EXPECT_EQ(findOccurrence(textPane, 0), 0);
    EXPECT_EQ(findOccurrence(textPane, 1), 0);
    findNext(0);
    startFind(1);
    answerPrompt("x");
    EXPECT_EQ(firstLines(), Lines(4, notFound));
    EXPECT_EQ(notices.shown().back().buttons, Lines{"OK"});
    EXPECT_NE(toolPrompt, nullptr); // a failed find from the prompt keeps it open
}

TEST_F(FindTest, ForwardFindWrapsToAnOccurrenceBeforeTheStart)
{
    setText("abc and abc, then nothing", 20);
    startFind(0);
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->parentWidget(), menuBar);
    EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "Search for -> ");
    EXPECT_EQ(toolPrompt->lineEdit()->maxLength(), 256);
    EXPECT_EQ(mainFrame->focusWidget(), toolPrompt->lineEdit());
    toolPrompt->setValue("abc");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(toolPrompt->lineEdit(), &enter);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(selection(), std::make_pair(0L, 3L));
    EXPECT_EQ(caret(), 3);
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(FindTest, FindNextStepsInTheDirectionOfTheFind)
{
    const std::string text = "xy..xy..xy..xy";
    setText(text, 5);
    searchString = "xy";
    searchStart = 5;
    ASSERT_EQ(findOccurrence(textPane, 0), 1);
    EXPECT_EQ(selection(), std::make_pair(8L, 10L));
    findNext(0);
    EXPECT_EQ(selection(), std::make_pair(12L, 14L));
    EXPECT_EQ(caret(), 14);

    // Backward: the caret stands at the hit's start, so the next step goes further back.
    startFind(1); // the selection is the hit found forward: "xy" at 12
    EXPECT_EQ(selection(), std::make_pair(8L, 10L));
    EXPECT_EQ(caret(), 8);
    findNext(1);
    EXPECT_EQ(selection(), std::make_pair(4L, 6L));
    findNext(1);
    EXPECT_EQ(selection(), std::make_pair(0L, 2L));
    findNext(1); // wraps to the end
    EXPECT_EQ(selection(), std::make_pair(12L, 14L));
    EXPECT_EQ(caret(), 12);

    // Repeated Find forward takes the hit as the string and steps on.
    startFind(0);
    EXPECT_EQ(selection(), std::make_pair(0L, 2L));
    startFind(0);
    EXPECT_EQ(selection(), std::make_pair(4L, 6L));
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(FindTest, FindFromASelectionMovesToTheNextOccurrence)
{
    // A one-character selection, and one that overlaps the next occurrence if taken a byte late.
    setText("a; b; c", 0);
    textsw_set_selection(textPane, 1, 2, TEXTSW_SEL_PRIMARY);
    startFind(0);
    EXPECT_EQ(selection(), std::make_pair(4L, 5L));
    startFind(0);
    EXPECT_EQ(selection(), std::make_pair(1L, 2L)); // round to the first
    startFind(1);
    EXPECT_EQ(selection(), std::make_pair(4L, 5L)); // backward from the first: round to the last

    setText("aaaa", 0);
    textsw_set_selection(textPane, 0, 2, TEXTSW_SEL_PRIMARY);
    startFind(0);
    EXPECT_EQ(selection(), std::make_pair(2L, 4L));
    startFind(1);
    EXPECT_EQ(selection(), std::make_pair(1L, 3L));
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(FindTest, FindNextBeforeAnySearchShowsTheNotice)
{
    setText("some text", 0);
    findNext(0);
    EXPECT_EQ(firstLines(), Lines{notFound});
    EXPECT_EQ(selection(), std::make_pair(0L, 0L));
}

TEST_F(FindTest, TerminalSelectionIsSearchedFromTheTerminalsPositions)
{
    const std::string marker = "needle";
    ttysw_output(terminalPane, "\r\nneedle\r\n", 10);
    ASSERT_TRUE(waitUntil([&] { return terminalPane->wholeText().find(marker) != std::string::npos; }));
    const std::string whole = terminalPane->wholeText();
    const int row = static_cast<int>(std::count(whole.begin(), whole.begin() + whole.find(marker), '\n'));
    terminalPane->setSelectionStart(row, 0);
    terminalPane->setSelectionEnd(row, static_cast<int>(marker.size()) - 1);
    selection_claim_primary(terminalPane);
    const SelectionReply reply = selection_ask(selection_inquire());
    ASSERT_EQ(reply.text, marker);
    ASSERT_GE(reply.first, 0);

    // Occurrences on both sides of where the terminal's selection ends.
    std::string text(static_cast<size_t>(reply.last) + 40, '.');
    text.replace(0, marker.size(), marker);
    text.replace(static_cast<size_t>(reply.last) + 10, marker.size(), marker);
    setText(text, 0);
    startFind(0);
    EXPECT_EQ(selection().first, reply.last + 10);
    EXPECT_EQ(searchString, marker);
}

TEST_F(FindTest, FindWhileAPromptIsOpenOnlyClosesIt)
{
    setText("abc abc", 0);
    startGoToLine();
    ASSERT_NE(toolPrompt, nullptr);
    textsw_set_selection(textPane, 4, 7, TEXTSW_SEL_PRIMARY);
    startFind(0);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(selection(), std::make_pair(4L, 7L));
    findNext(0); // Find next leaves prompts alone and searches for the held string ("")
    textsw_set_insertion_point(textPane, 0); // nothing selected: Find prompts
    startFind(0);
    EXPECT_NE(toolPrompt, nullptr);
    findNext(0);
    EXPECT_NE(toolPrompt, nullptr);
}

TEST_F(FindTest, ProjectFindStartsAtThatPanesCaretAndPromptsInItsButtonBar)
{
    QWidget frame;
    ProjectWindow window{&frame, new TextPane(&frame), new QWidget(&frame), "p.c", false};
    QWidget *button = new QWidget(window.buttonBar);
    button->setGeometry(4, 4, 30, 22);
    projectWindowTable[7] = &window;
    textsw_set_contents(window.pane, "ab ab ab", 8);
    textsw_set_selection(window.pane, 3, 5, TEXTSW_SEL_PRIMARY);
    textsw_set_insertion_point(window.pane, 3);
    startProjectFind(7); // from the caret, not after the selection
    EXPECT_EQ(selection(window.pane), std::make_pair(3L, 5L));
    startProjectFind(7);
    EXPECT_EQ(selection(window.pane), std::make_pair(6L, 8L));

    QApplication::clipboard()->clear(QClipboard::Selection);
    textsw_set_insertion_point(window.pane, 0);
    startProjectFind(7);
    EXPECT_EQ(searchString, "");
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->parentWidget(), window.buttonBar);
    EXPECT_EQ(toolPrompt->y(), 8);
    EXPECT_GT(toolPrompt->x(), button->geometry().right());
    answerPrompt("b a");
    EXPECT_EQ(selection(window.pane), std::make_pair(1L, 4L));
    EXPECT_EQ(toolPrompt, nullptr);

    textsw_set_insertion_point(window.pane, 0);
    startProjectFind(7);
    delete window.buttonBar; // a prompt goes with its window
    EXPECT_EQ(toolPrompt, nullptr);
    projectWindowTable[7] = nullptr;
    EXPECT_TRUE(notices.shown().empty());
}

} // namespace
