// A prompt that closes hands the keyboard focus to the pane its tool acts on, in the main window
// and in a project window.
#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/find.h"
#include "texttools/prompt.h"
#include "toolkit/terminalpane.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

using PromptFocusTest = MainWindowTest;

TEST_F(PromptFocusTest, ProjectPromptHandsTheFocusToThatWindowsPane)
{
    QWidget frame;
    auto *column = new QVBoxLayout(&frame);
    ProjectWindow window{&frame, new TextPane, new QWidget, "p.c", false};
    window.buttonBar->setMinimumHeight(40);
    column->addWidget(window.buttonBar);
    column->addWidget(window.pane);
    projectWindowTable[3] = &window;
    frame.resize(500, 300);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == &frame; }));
    textsw_set_contents(window.pane, "ab ab", 5);
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

    // A prompt whose window goes takes nothing with it.
    startProjectFind(3);
    ASSERT_NE(toolPrompt, nullptr);
    projectWindowTable[3] = nullptr;
    delete window.buttonBar;
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(toolPromptPane(), nullptr);
    EXPECT_TRUE(notices.shown().empty());
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
