// A prompt that closes hands the keyboard focus to the pane its tool acts on, in the main window
// and in a project window.
#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/columntool.h"
#include "texttools/find.h"
#include "texttools/gotoline.h"
#include "texttools/grepdiff.h"
#include "texttools/prompt.h"
#include "texttools/replace.h"
#include "toolkit/terminalpane.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <functional>

namespace {

using PromptFocusTest = MainWindowTest;

TEST_F(PromptFocusTest, ProjectPromptHandsTheFocusToThatWindowsPane)
{
    TempDir dir;
    writeFile(dir.file("p.c"), "ab ab");
    ASSERT_TRUE(createProjectWindow(3, dir.file("p.c")));
    ProjectWindow &window = *projectWindowTable[3];
    window.frame->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == window.frame; }));
    textsw_set_insertion_point(window.pane, 0);

    startProjectFind(3);
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPromptPane(), window.pane);
    EXPECT_EQ(QApplication::focusWidget(), toolPrompt->lineEdit());
    QTest::keyClicks(toolPrompt->lineEdit(), "b");
    QTest::keyClick(toolPrompt->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), window.pane);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
    EXPECT_EQ(textsw_contents(window.pane, 0, 5), "ax ab");

    // A prompt whose window closes takes nothing with it.
    startProjectFind(3);
    ASSERT_NE(toolPrompt, nullptr);
    notices.press("Don't save");
    EXPECT_TRUE(closeProjectWindow(3));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(toolPromptPane(), nullptr);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines.back(), "Save this file ?");
}

TEST_F(PromptFocusTest, APromptThatNeverHadTheFocusLeavesItAlone)
{
    mainFrame->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == mainFrame; }));
    setText("one two", 0);
    startFind(0);
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPromptPane(), textPane);
    // The user clicks into the terminal, then closes the prompt by choosing Find again.
    QWidget *terminal = terminalPane->focusProxy() ? terminalPane->focusProxy() : terminalPane;
    terminal->setFocus();
    startFind(0);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), terminal);
}

// The notice of a failed search belongs to the main frame, which takes the keyboard when it
// closes; the project window's prompt gets it back, with the text to correct.
TEST_F(PromptFocusTest, AFailedSearchGivesTheKeyboardBackToThePromptWithItsText)
{
    TempDir dir;
    writeFile(dir.file("p.c"), "ab ab");
    ASSERT_TRUE(createProjectWindow(3, dir.file("p.c")));
    ProjectWindow &window = *projectWindowTable[3];
    window.frame->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == window.frame; }));
    notices.setResponder([](const NoticeRecord &) {
        mainFrame->activateWindow();
        waitUntil([] { return QApplication::activeWindow() == mainFrame; });
        textPane->setFocus();
        return std::string("OK");
    });
    startProjectFind(3);
    ASSERT_NE(toolPrompt, nullptr);
    QTest::keyClicks(toolPrompt->lineEdit(), "zzz");
    QTest::keyClick(toolPrompt->lineEdit(), Qt::Key_Return);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, std::vector<std::string>{"Search string not found"});
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->value(), "zzz");
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == window.frame; }));
    ASSERT_EQ(QApplication::focusWidget(), toolPrompt->lineEdit());
    // Corrected and searched again from the prompt.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), "b");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(selection(window.pane), std::make_pair(1L, 2L));
    notices.setResponder(nullptr);
    closeProjectWindow(3);
}

TEST_F(PromptFocusTest, EscapeClosesEveryPromptWithoutActingAndGivesTheKeyboardBack)
{
    TempDir dir;
    writeFile(dir.file("p.c"), "p two\n");
    ASSERT_TRUE(createProjectWindow(2, dir.file("p.c")));
    TextPane *projectPane = projectWindowTable[2]->pane;
    const std::string text = "one two\none two\n";
    setText(text, 0);
    TerminalInputRecorder typed(false);
    struct Row {
        const char *label;
        TextPane *pane;
        std::function<void()> open;
    };
    const Row rows[] = {
        {"Search for -> ", textPane, [] { startFind(0); }},
        {"Select line number ", textPane, startGoToLine},
        {"Replace this -> ", textPane, startReplace},
        {"Replace with -> ", textPane, [] { startReplace(); answerPrompt("two"); }},
        {"Grep string -> ", textPane, startGrep},
        {"String -> ", textPane, [] { textsw_set_selection(textPane, 0, 8, TEXTSW_SEL_PRIMARY); startColumnTool(); }},
        {"Search for -> ", projectPane, [] { startProjectFind(2); }},
        {"Select line number ", projectPane, [] { startProjectGoToLine(2); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        row.pane->window()->activateWindow();
        ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == row.pane->window(); }));
        row.pane->setFocus();
        textsw_set_selection(row.pane, 0, 0, TEXTSW_SEL_PRIMARY);
        QApplication::clipboard()->clear(QClipboard::Selection);
        row.open();
        ASSERT_NE(toolPrompt, nullptr);
        EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), row.label);
        ASSERT_EQ(QApplication::focusWidget(), toolPrompt->lineEdit());
        const std::string held = searchString;
        QTest::keyClicks(toolPrompt->lineEdit(), "one");
        QTest::keyClick(toolPrompt->lineEdit(), Qt::Key_Escape);
        EXPECT_EQ(toolPrompt, nullptr);
        EXPECT_EQ(QApplication::focusWidget(), row.pane);
        EXPECT_EQ(searchString, held);
        QApplication::processEvents();
    }
    EXPECT_EQ(paneText(), text);
    EXPECT_EQ(textsw_contents(projectPane, 0, 100), "p two\n");
    EXPECT_TRUE(typed.inputs().empty());
    EXPECT_TRUE(notices.shown().empty());
    closeProjectWindow(2);
}

} // namespace
