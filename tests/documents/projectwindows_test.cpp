#include "mainwindowfixture.h"
#include "windowmanagerclose.h"

#include "documents/clearundoquit.h"
#include "documents/filedialog.h"
#include "documents/projectwindows.h"
#include "texttools/find.h"
#include "texttools/texttoolstate.h"
#include "toolkit/frame.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QClipboard>
#include <QMenu>

#include <sys/stat.h>

namespace {

using Lines = std::vector<std::string>;

class ProjectWindowsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        generalSettings.maxProjectWindows = 16;
        generalSettings.projectFrameWidth = 420;
        generalSettings.projectFrameHeight = 300;
        generalSettings.projectTextMemoryLimit = 5000;
    }
    void TearDown() override
    {
        closeProjectWindows();
        MainWindowTest::TearDown();
    }
    // Writes the project file app.project and each named file (holding its own name), then
    // opens the project as the open dialog's "Project file" button does.
    void openProject(const std::string &project, const Lines &files)
    {
        writeFile(dir.file("app.project"), project);
        for (const std::string &name : files)
            writeFile(dir.file(name), name + "\n");
        document.fileName = "app.project";
        openProjectFile();
    }
    static ProjectWindow *window(int slot) { return projectWindowTable[slot]; }
    static std::string title(int slot) { return frame_label(window(slot)->frame).toStdString(); }
    static int windowCount()
    {
        int count = 0;
        for (const ProjectWindow *w : projectWindowTable)
            count += w != nullptr;
        return count;
    }
    static void typeInto(int slot, const std::string &text)
    {
        textsw_insert(window(slot)->pane, text.data(), static_cast<long>(text.size()));
        QCoreApplication::processEvents();
    }
};

TEST_F(ProjectWindowsTest, LineOneGoesIntoTheMainWindowAndFurtherLinesIntoWindows)
{
    openProject("main.c\n", {"main.c"});
    EXPECT_EQ(paneFile(), "main.c");
    EXPECT_EQ(mainTitle(), "C: <main.c>");
    EXPECT_EQ(windowCount(), 0);
    EXPECT_EQ(projectWindowCount, 0);

    // A last line without a newline opens nothing.
    openProject("main.c\nutil.c\nutil.h", {"main.c", "util.c", "util.h"});
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(title(0), "util.c");
    EXPECT_EQ(textsw_contents(window(0)->pane, 0, 100), "util.c\n");
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(ProjectWindowsTest, AtMostMaxProjectWindowsInSlotsFromZero)
{
    generalSettings.maxProjectWindows = 3;
    openProject("main.c\nf1.c\nf2.c\nf3.c\nf4.c\nf5.c\nf6.c\n", {"main.c", "f1.c", "f2.c", "f3.c", "f4.c", "f5.c", "f6.c"});
    EXPECT_EQ(projectWindowCount, 3);
    ASSERT_EQ(windowCount(), 3);
    for (int slot = 0; slot < 3; ++slot) {
        ASSERT_NE(window(slot), nullptr);
        EXPECT_EQ(title(slot), "f" + std::to_string(slot + 1) + ".c");
    }

    // Each window: its frame, the bar of seven buttons 34 pixels high, the pane below it.
    const ProjectWindow &w = *window(2);
    EXPECT_TRUE(w.frame->isWindow());
    EXPECT_EQ(w.frame->parentWidget(), nullptr);
    EXPECT_EQ(w.frame->size(), QSize(420, 300));
    EXPECT_EQ(w.buttonBar->geometry(), QRect(0, 0, 420, 34));
    EXPECT_EQ(w.pane->geometry(), QRect(0, 34, 420, 266));
    const QList<ImageButton *> buttons = w.buttonBar->findChildren<ImageButton *>();
    ASSERT_EQ(buttons.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(buttons[i]->clientValue(), i == 3 ? 0 : 2) << i; // all but Cut carry the slot
        if (i > 0) {
            EXPECT_GT(buttons[i]->x(), buttons[i - 1]->x());
        }
    }
    EXPECT_EQ(buttons[0], w.saveButton);
    EXPECT_TRUE(w.saveButton->isInactive());
    EXPECT_EQ(textsw_memory_limit(w.pane), 5000);
    EXPECT_TRUE(w.pane->autoIndenting());
    EXPECT_EQ(textsw_get_client_data(w.pane), 2);
    EXPECT_EQ(w.pane->popupMenu(), w.menu);
    EXPECT_EQ(w.menu->title(), "Text tools");
    EXPECT_EQ(menuValue(w.menu), 2);
    QStringList labels;
    for (QAction *item : menuItems(w.menu)) {
        labels << item->text();
        EXPECT_EQ(menuItemValue(item), 2);
    }
    EXPECT_EQ(labels, (QStringList{"Save", "Line number", "Find", "Cut", "Copy", "Insert"}));
}

TEST_F(ProjectWindowsTest, AFileThatCannotBeOpenedEndsTheList)
{
    openProject("main.c\na.c\nmissing.c\nb.c\n", {"main.c", "a.c", "b.c"});
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(title(0), "a.c");
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(ProjectWindowsTest, OpeningAProjectWhileAWindowIsOpenOnlyTakesTheDialogDown)
{
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    writeFile(dir.file("other.project"), "other.c\nother.h\n");
    writeFile(dir.file("other.c"), "");
    writeFile(dir.file("other.h"), "");
    showOpenDialog();
    ASSERT_NE(fileDialog, nullptr);
    typed.clear();
    document.fileName = "other.project";
    openProjectFile();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, Lines{"Close all project windows first"});
    EXPECT_EQ(notices.shown()[0].buttons, Lines{" I'll do that"});
    EXPECT_EQ(fileDialog, nullptr);
    EXPECT_EQ(paneFile(), "main.c");
    EXPECT_EQ(windowCount(), 1);
    EXPECT_EQ(title(0), "util.c");
    EXPECT_TRUE(typed.inputs().empty());
}

TEST_F(ProjectWindowsTest, AProjectChosenInAnotherDirectoryTypesCdTwice)
{
    mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/app.project"), "main.c\nutil.c\n");
    writeFile(dir.file("sub/main.c"), "");
    writeFile(dir.file("sub/util.c"), "");
    fileDirectory = dir.file("sub");
    directoryChanged = true;
    document.fileName = "app.project";
    openProjectFile();
    const std::string cd = "cd " + dir.file("sub") + "\n";
    EXPECT_EQ(typed.all(), cd + cd);
    EXPECT_EQ(cwd(), dir.file("sub"));
    EXPECT_EQ(workingDirectory, dir.file("sub"));
    EXPECT_EQ(paneFile(), "main.c");
    EXPECT_EQ(windowCount(), 1);
}

TEST_F(ProjectWindowsTest, EditedTitleOnceThenSaveBackToTheName)
{
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    typeInto(0, "a");
    EXPECT_EQ(title(0), "util.c - edited");
    EXPECT_TRUE(window(0)->edited);
    EXPECT_FALSE(window(0)->saveButton->isInactive());
    typeInto(0, "b");
    EXPECT_EQ(title(0), "util.c - edited");

    window(0)->saveButton->press();
    EXPECT_EQ(readFile(dir.file("util.c")), "abutil.c\n");
    EXPECT_EQ(title(0), "util.c");
    EXPECT_FALSE(window(0)->edited);
    EXPECT_TRUE(window(0)->saveButton->isInactive());

    // Save on a clean window stores nothing.
    writeFile(dir.file("util.c"), "changed elsewhere\n");
    saveProjectWindow(0);
    EXPECT_EQ(readFile(dir.file("util.c")), "changed elsewhere\n");
    EXPECT_TRUE(notices.shown().empty());
}

// The main window's next file moves the program into another directory: a project window still
// stores into the file that it shows, never into one of the same name there.
TEST_F(ProjectWindowsTest, AWindowStoresIntoItsOwnFileAfterTheProgramMoved)
{
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    mkdir(dir.file("other").c_str(), 0755);
    writeFile(dir.file("other/util.c"), "another project's util.c\n");
    writeFile(dir.file("other/x.c"), "");
    fileDirectory = dir.file("other");
    document.fileName = "x.c";
    openDocument();
    ASSERT_EQ(cwd(), dir.file("other"));

    typeInto(0, "a");
    saveProjectWindow(0);
    EXPECT_EQ(readFile(dir.file("util.c")), "autil.c\n");
    EXPECT_EQ(title(0), "util.c");
    typeInto(0, "b");
    notices.press("SAVE");
    EXPECT_TRUE(offerToSaveProject(0));
    EXPECT_EQ(readFile(dir.file("util.c")), "abutil.c\n");
    EXPECT_EQ(readFile(dir.file("other/util.c")), "another project's util.c\n");
    EXPECT_EQ(notices.shown().size(), 1u);
}

TEST_F(ProjectWindowsTest, ClosingAnEditedWindowAsksAndClosesWhateverTheAnswer)
{
    openProject("main.c\nutil.c\nutil.h\n", {"main.c", "util.c", "util.h"});
    typeInto(1, "x");
    notices.press("Don't save");
    QWidget *frame = window(1)->frame;
    QList<ImageButton *> buttons = window(1)->buttonBar->findChildren<ImageButton *>();
    buttons.back()->press(); // Close
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{"util.h - edited", "Save this file ?"}));
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"SAVE", "Don't save"}));
    EXPECT_EQ(notices.shown()[0].owner, frame);
    EXPECT_EQ(window(1), nullptr);
    EXPECT_EQ(readFile(dir.file("util.h")), "util.h\n");
    EXPECT_NE(window(0), nullptr);

    // "SAVE" stores, then closes; a clean window closes without a question.
    typeInto(0, "y");
    notices.press("SAVE");
    EXPECT_TRUE(closeProjectWindow(0));
    EXPECT_EQ(readFile(dir.file("util.c")), "yutil.c\n");
    EXPECT_EQ(windowCount(), 0);
    EXPECT_EQ(notices.shown().size(), 2u);
}

TEST_F(ProjectWindowsTest, AFailedStoreIsReportedAndKeepsTheWindowAndItsText)
{
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    typeInto(0, "precious ");
    ASSERT_EQ(unlink(dir.file("util.c").c_str()), 0);
    ASSERT_EQ(mkdir(dir.file("util.c").c_str(), 0755), 0); // the name cannot take a file now

    saveProjectWindow(0);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines.front(), "Could not save the file");
    EXPECT_EQ(notices.shown()[0].owner, window(0)->frame);
    EXPECT_EQ(title(0), "util.c - edited");

    notices.press("SAVE");
    EXPECT_FALSE(offerToSaveProject(0));
    notices.press("SAVE");
    EXPECT_FALSE(closeProjectWindow(0));
    ASSERT_NE(window(0), nullptr);
    EXPECT_EQ(textsw_contents(window(0)->pane, 0, 100), "precious util.c\n");
    EXPECT_EQ(notices.shown().size(), 5u);
    rmdir(dir.file("util.c").c_str());
}

TEST_F(ProjectWindowsTest, AWindowClosedByTheWindowManagerFreesItsSlot)
{
    openProject("main.c\nutil.c\nutil.h\n", {"main.c", "util.c", "util.h"});
    typeInto(0, "z");
    QApplication::clipboard()->clear(QClipboard::Selection);
    startProjectFind(0); // a prompt in the window's bar
    ASSERT_NE(toolPrompt, nullptr);
    notices.press("Don't save");

    closeAsWindowManager(window(0)->frame);
    EXPECT_TRUE(waitUntil([] { return projectWindowTable[0] == nullptr; }));
    EXPECT_EQ(toolPrompt, nullptr);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines.front(), "util.c - edited");
    EXPECT_EQ(readFile(dir.file("util.c")), "util.c\n");
    EXPECT_EQ(title(1), "util.h");

    // The slot is free for the next project.
    closeProjectWindow(1);
    openProject("main.c\nutil.h\n", {});
    EXPECT_EQ(title(0), "util.h");
}

TEST_F(ProjectWindowsTest, QuitAsksAModifiedWindowFirstThenTheMainFileThenTheWindowAgain)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    openProject("main.c\nutil.c\nutil.h\n", {"main.c", "util.c", "util.h"});
    type("x");
    typeInto(1, "y");
    QCoreApplication::processEvents();
    notices.setResponder([](const NoticeRecord &notice) {
        fprintf(stderr, "[%s]", notice.lines.front().c_str());
        return notice.lines.back() == "REALLY QUIT?" ? "Quit" : "Don't save";
    });
    EXPECT_EXIT(quitProgram(), testing::ExitedWithCode(0),
                "\\[REALLY QUIT\\?\\]\\[util.h - edited\\]\\[C: <main.c> - edited\\]\\[util.h - edited\\]$");
}

} // namespace

TEST_F(ProjectWindowsTest, ProjectPanesHaveLineNumbersHighlightingAndTheMarksMargin)
{
    openProject("main.c\nutil.c\nnotes.txt\n", {"main.c", "util.c", "notes.txt"});
    for (int slot : {0, 1}) {
        EXPECT_TRUE(window(slot)->pane->showsLineNumbers()) << slot;
        EXPECT_GT(window(slot)->pane->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1UL), 0) << slot;
    }
    EXPECT_NE(window(0)->pane->lexer(), nullptr);  // util.c
    EXPECT_EQ(window(1)->pane->lexer(), nullptr);  // notes.txt
}

TEST_F(ProjectWindowsTest, DamagedOrHugeFrameSizesStillGiveAWindowOnTheScreen)
{
    const QRect screen = QApplication::primaryScreen()->geometry();
    generalSettings.projectFrameWidth = 0;
    generalSettings.projectFrameHeight = 0;
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    EXPECT_EQ(window(0)->frame->size(), QSize(700, 560)); // the default file's size
    closeProjectWindows();

    generalSettings.projectFrameWidth = 16777215;
    generalSettings.projectFrameHeight = 16777215;
    openProject("main.c\nutil.c\n", {"main.c", "util.c"});
    EXPECT_LE(window(0)->frame->width(), screen.width());
    EXPECT_LE(window(0)->frame->height(), screen.height());
    EXPECT_GT(window(0)->pane->height(), 100);
    closeProjectWindows();
    generalSettings.projectFrameWidth = 420;
    generalSettings.projectFrameHeight = 300;
}

TEST_F(ProjectWindowsTest, ANamedPipeNeverHoldsTheWindow)
{
    // Opening either pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(mkfifo(dir.file("app.project").c_str(), 0600), 0);
    document.fileName = "app.project";
    openProjectFile();
    EXPECT_EQ(windowCount(), 0);

    ASSERT_EQ(mkfifo(dir.file("pipe.c").c_str(), 0600), 0);
    notices.press("Ok");
    document.fileName = "pipe.c";
    openDocument();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, std::vector<std::string>{"File couldn't be opened"});
}
