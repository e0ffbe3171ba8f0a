// A store that fails is shown, keeps the text and its state, and stops what would discard it.
#include "documents/clearundoquit.h"
#include "documents/documentactions.h"
#include "documents/filedialog.h"
#include "mainwindowfixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// Set while an operation runs that must not end the program: ending then fails the test (an exit
// with status 0 in the middle of a test would otherwise pass unnoticed).
bool mustNotEnd = false;
void failIfEndedTooEarly()
{
    if (mustNotEnd) {
        fputs("the program ended after a store that failed\n", stderr);
        _exit(1);
    }
}

class StoreFailure : public MainWindowTest {
protected:
    // A file whose folder was removed after it was loaded: it cannot be stored.
    void loadAndLoseTheFolder()
    {
        mkdir(dir.file("gone").c_str(), 0755);
        load("gone/a.c", "one\n");
        type("x");
        ASSERT_EQ(system(("rm -rf '" + dir.file("gone") + "'").c_str()), 0);
    }
    std::vector<std::string> failureNotice(const std::string &name) const
    {
        return {"Could not save the file", name, "No such file or directory"};
    }
    // QUIT, answering "SAVE" to the one save question, whose store fails: the program goes on.
    void quitWithAFailingSave()
    {
        static const bool registered = std::atexit(failIfEndedTooEarly) == 0;
        ASSERT_TRUE(registered);
        for (const char *label : {"Quit", "SAVE", "Ok"})
            notices.press(label);
        mustNotEnd = true;
        quitProgram();
        mustNotEnd = false;
        EXPECT_EQ(questions(), (std::vector<std::string>{"REALLY QUIT?", "Save this file ?", "No such file or directory"}));
    }
};

TEST_F(StoreFailure, SaveShowsTheFileAndTheReasonAndKeepsTheState)
{
    loadAndLoseTheFolder();
    notices.press("Ok");
    saveDocument();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, failureNotice("gone/a.c"));
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(mainTitle(), "C: <gone/a.c> - edited");
    EXPECT_TRUE(document.edited);
    EXPECT_FALSE(saveButton->isInactive());
    EXPECT_EQ(paneText(), "xone\n");

    // offerToSave tells its caller; once the folder is back, SAVE stores.
    notices.press("SAVE");
    notices.press("Ok");
    EXPECT_FALSE(offerToSave());
    EXPECT_EQ(notices.shown().back().lines, failureNotice("gone/a.c"));
    mkdir(dir.file("gone").c_str(), 0755);
    notices.press("SAVE");
    EXPECT_TRUE(offerToSave());
    EXPECT_EQ(readFile(dir.file("gone/a.c")), "xone\n");
    EXPECT_EQ(mainTitle(), "C: <gone/a.c>");
    EXPECT_TRUE(notices.errors().empty());
}

TEST_F(StoreFailure, QuitAndClearStopAfterAFailedSave)
{
    loadAndLoseTheFolder();
    quitWithAFailingSave();

    for (const char *label : {"Do it", "SAVE", "Ok"})
        notices.press(label);
    clearWindow();
    EXPECT_EQ(paneText(), "xone\n");
    EXPECT_EQ(document.fileName, "gone/a.c");
    EXPECT_EQ(mainTitle(), "C: <gone/a.c> - edited");
    EXPECT_EQ(notices.pendingPresses(), 0);
}

TEST_F(StoreFailure, SaveAsNamesTheFileInTheDialogsFolder)
{
    load("a.c", "one\n");
    type("x");
    showSaveAsDialog();
    ASSERT_TRUE(fileNameField);
    fileNameField->setText("missing/b.c");
    notices.press("Ok");
    emit fileNameField->returnPressed();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, failureNotice(dir.file("missing/b.c")));
    EXPECT_TRUE(fileDialog); // stays open for another name
    EXPECT_EQ(document.fileName, "a.c");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");
}

TEST_F(StoreFailure, QuitStopsAfterAFailedSaveOfAProjectWindow)
{
    load("main.c", "main\n");
    mkdir(dir.file("lib").c_str(), 0755);
    writeFile(dir.file("lib/util.c"), "util\n");
    ASSERT_TRUE(createProjectWindow(0, "lib/util.c"));
    textsw_insert(projectWindowTable[0]->pane, "x", 1);
    ASSERT_EQ(system(("rm -rf '" + dir.file("lib") + "'").c_str()), 0);

    // The main file is not modified: only the project window is asked about, and its store fails.
    quitWithAFailingSave();
    ASSERT_NE(projectWindowTable[0], nullptr);
    EXPECT_EQ(textsw_contents(projectWindowTable[0]->pane, 0, 10), "xutil\n");
    closeProjectWindows();
}

} // namespace
