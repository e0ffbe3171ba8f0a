// A prompt that closes hands the keyboard focus to the pane its tool acts on, in the main window
// and in a project window.
#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/find.h"
#include "texttools/prompt.h"
#include "toolkit/terminalpane.h"

#include <QLineEdit>
#include <QTest>

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

} // namespace
