#include "toolkit/terminalpane.h"
#include "support/testsupport.h"
#include "support/waiting.h"

#include <QApplication>
#include <QMenu>
#include <QContextMenuEvent>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

bool exists(const std::string &path)
{
    return access(path.c_str(), F_OK) == 0;
}

void type(TerminalPane *pane, const std::string &text)
{
    ttysw_input(pane, text.data(), static_cast<int>(text.size()));
}

// One shell for the whole suite, started in a temporary directory (shells take a while to start).
class TerminalPaneTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        directory = new TempDir;
        char previous[4096];
        ASSERT_TRUE(getcwd(previous, sizeof previous));
        ASSERT_EQ(chdir(directory->path().c_str()), 0);
        pane = new TerminalPane;
        ASSERT_EQ(chdir(previous), 0);
        pane->resize(500, 300);
        pane->show();
    }
    static void TearDownTestSuite()
    {
        delete pane;
        delete directory;
    }
    static TempDir *directory;
    static TerminalPane *pane;
};
TempDir *TerminalPaneTest::directory = nullptr;
TerminalPane *TerminalPaneTest::pane = nullptr;

} // namespace

TEST_F(TerminalPaneTest, TypedCommandRunsInTheShellStartedInTheWorkingDirectory)
{
    ASSERT_GE(pane->masterFd(), 0);
    type(pane, "touch typed-here\n");
    EXPECT_TRUE(waitUntil([] { return exists(directory->file("typed-here")); }));
}

TEST_F(TerminalPaneTest, OutputIsShownButNotExecuted)
{
    const std::string text = "touch shown-only\n";
    ttysw_output(pane, text.data(), static_cast<int>(text.size()));
    type(pane, "touch after-output\n");
    ASSERT_TRUE(waitUntil([] { return exists(directory->file("after-output")); }));
    // The shell may run the typed command before the emulator has drawn what was shown.
    EXPECT_TRUE(waitUntil([] { return pane->wholeText().find("touch shown-only\n") != std::string::npos; }));
    EXPECT_FALSE(exists(directory->file("shown-only")));
}

TEST_F(TerminalPaneTest, ControlCInterruptsTheForegroundJob)
{
    type(pane, "sleep 60\n");
    waitUntil([] { return false; }, 500);
    type(pane, "\x03\n");
    type(pane, "touch interrupted\n");
    // Without the interrupt the file would only appear after a minute.
    EXPECT_TRUE(waitUntil([] { return exists(directory->file("interrupted")); }, 10000));
}

TEST_F(TerminalPaneTest, HiddenPaneKeepsItsShell)
{
    pane->hide();
    type(pane, "touch while-hidden\n");
    EXPECT_TRUE(waitUntil([] { return exists(directory->file("while-hidden")); }));
    pane->show();
}

TEST_F(TerminalPaneTest, RecorderSeesEveryInputAndCanKeepItFromTheShell)
{
    {
        TerminalInputRecorder recorder(false);
        int calls = 0;
        recorder.setCallback([&](TerminalPane *target, const std::string &) { calls += target == pane; });
        type(pane, "touch never-typed\n");
        type(pane, std::string("\x03\n", 2));
        EXPECT_EQ(recorder.inputs(), (std::vector<std::string>{"touch never-typed\n", "\x03\n"}));
        EXPECT_EQ(recorder.all(), "touch never-typed\n\x03\n");
        EXPECT_EQ(calls, 2);
    }
    type(pane, "touch sentinel\n");
    ASSERT_TRUE(waitUntil([] { return exists(directory->file("sentinel")); }));
    EXPECT_FALSE(exists(directory->file("never-typed")));
}

TEST_F(TerminalPaneTest, SelectionPositionsCountThroughTheWholeText)
{
    std::string lines;
    for (int i = 0; i < 40; ++i) // scrolls lines into the history
        lines += "line " + std::to_string(i) + "\n";
    lines += std::string(pane->screenColumnsCount() + 7, 'w') + "\n"; // wraps
    lines += "the SELECTED word\n";
    ttysw_output(pane, lines.data(), static_cast<int>(lines.size()));
    ASSERT_TRUE(waitUntil([] { return pane->wholeText().find("the SELECTED word") != std::string::npos; }));
    int rows = pane->historyLinesCount() + pane->screenLinesCount();
    int row = -1;
    for (int r = 0; r < rows && row < 0; ++r) { // find the row by selecting each in turn
        pane->setSelectionStart(r, 0);
        pane->setSelectionEnd(r, 16);
        if (pane->selectedText(true).startsWith(QStringLiteral("the SELECTED word")))
            row = r;
    }
    ASSERT_GE(row, 0);
    pane->setSelectionStart(row, 4);
    pane->setSelectionEnd(row, 11);
    std::string text;
    int first = 0, last = 0;
    ASSERT_TRUE(pane->selection(&text, &first, &last));
    EXPECT_EQ(text, "SELECTED");
    std::string whole = pane->wholeText();
    EXPECT_EQ(static_cast<size_t>(first), whole.rfind("the SELECTED word") + 4);
    EXPECT_EQ(whole.substr(static_cast<size_t>(first), static_cast<size_t>(last - first + 1)), "SELECTED");
    EXPECT_NE(whole.find("line 0\n"), std::string::npos); // the history is part of it
}

TEST_F(TerminalPaneTest, RightButtonShowsThePopUpMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Grep"));
    pane->setPopupMenu(&menu);
    QWidget *display = nullptr;
    for (QWidget *child : pane->findChildren<QWidget *>())
        if (QString::fromLatin1(child->metaObject()->className()).contains(QStringLiteral("TerminalDisplay")))
            display = child;
    ASSERT_TRUE(display);
    QPoint where(20, 20);
    QContextMenuEvent request(QContextMenuEvent::Mouse, where, display->mapToGlobal(where));
    QApplication::sendEvent(display, &request);
    EXPECT_TRUE(waitUntil([&] { return menu.isVisible(); }, 2000));
    menu.hide();
    pane->setPopupMenu(nullptr);
}
