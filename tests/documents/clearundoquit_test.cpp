#include "mainwindowfixture.h"
#include "documents/clearundoquit.h"

#include <csignal>
#include <sys/wait.h>

namespace {

using ClearUndoQuit = MainWindowTest;

TEST_F(ClearUndoQuit, CancelInEachConfirmationChangesNothing)
{
    load("a.c", "one\n");
    type("x");
    const std::string title = mainTitle();
    notices.setResponder([](const NoticeRecord &) { return "cancel"; });
    clearWindow();
    undoAll();
    quitProgram(); // the test program goes on
    EXPECT_EQ(questions(), (std::vector<std::string>{"REALLY CLEAR TEXT WINDOW?", "Undo all changes ?", "REALLY QUIT?"}));
    EXPECT_EQ(paneText(), "xone\n");
    EXPECT_EQ(mainTitle(), title);
    EXPECT_EQ(document.fileName, "a.c");
    EXPECT_EQ(currentConfiguration, 0);
}

TEST_F(ClearUndoQuit, ClearAsksFirstThenOffersToSave)
{
    load("a.c", "one\n");
    type("x");
    notices.press("Do it");
    notices.press("Don't save");
    clearWindow();
    EXPECT_EQ(questions(), (std::vector<std::string>{"REALLY CLEAR TEXT WINDOW?", "Save this file ?"}));
    EXPECT_EQ(paneText(), "");
    EXPECT_EQ(paneFile(), "");
    EXPECT_EQ(document.fileName, "");
    EXPECT_EQ(mainTitle(), "No File");
    EXPECT_EQ(currentConfiguration, plainFileConfiguration);
    EXPECT_EQ(readFile(dir.file("a.c")), "one\n");

    load("b.c", "two\n"); // unmodified: the clear itself marks nothing edited
    notices.press("Do it");
    clearWindow();
    EXPECT_FALSE(document.edited);
    EXPECT_TRUE(saveButton->isInactive());
}

TEST_F(ClearUndoQuit, UndoTitles)
{
    currentConfiguration = 1;
    undoLast(); // nothing to undo, no file
    EXPECT_EQ(mainTitle(), "Text: <>");

    load("a.c", "one\n");
    type("x");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");
    EXPECT_FALSE(saveButton->isInactive());
    undoLast();
    EXPECT_EQ(paneText(), "one\n");
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    EXPECT_FALSE(document.edited);
    EXPECT_TRUE(saveButton->isInactive());

    type("x");
    textsw_set_insertion_point(textPane, 4);
    type("y");
    undoLast();
    EXPECT_EQ(paneText(), "xone\n");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");

    notices.press("Ok");
    undoAll();
    EXPECT_EQ(paneText(), "one\n");
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    undoAll(); // unmodified: asks nothing
    EXPECT_EQ(notices.shown().size(), 1u);
}

// A running program's file cannot be opened for update, not even by root.
TEST_F(ClearUndoQuit, UndoAndUndoAllLeaveAReadOnlyFileAlone)
{
    ASSERT_EQ(system(("cp /bin/sleep " + dir.file("busy")).c_str()), 0);
    const pid_t running = fork();
    if (running == 0) {
        execl(dir.file("busy").c_str(), "busy", "60", (char *)nullptr);
        _exit(127);
    }
    usleep(200000);
    document.fileName = "busy";
    openDocument();
    EXPECT_TRUE(document.readOnly);
    EXPECT_EQ(mainTitle(), "File: <busy> - readonly");
    undoLast();
    EXPECT_EQ(mainTitle(), "File: <busy> - readonly");
    textsw_set_read_only(textPane, false); // a change that Undo all would otherwise offer to drop
    type("x");
    textsw_set_read_only(textPane, true);
    undoAll();
    EXPECT_TRUE(notices.shown().empty());
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
}

} // namespace
