#include "documents/filedialog.h"
#include "mainwindowfixture.h"
#include "shell/operations.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <sys/stat.h>

namespace {

class FileDialogTest : public MainWindowTest {
protected:
    QListWidget *view() { return fileList->findChild<QListWidget *>(); }
    int rowOf(const std::string &name)
    {
        for (int row = 0; row < fileList->rowCount(); ++row)
            if (fileList->rowName(row) == name)
                return row;
        ADD_FAILURE() << "no row " << name;
        return 0;
    }
    void select(const std::string &name) { view()->setCurrentRow(rowOf(name)); }
    void doubleClick(const std::string &name) { emit view()->itemDoubleClicked(view()->item(rowOf(name))); }
    QPushButton *button(const char *label)
    {
        for (QPushButton *b : fileDialog->findChildren<QPushButton *>())
            if (b->text() == label)
                return b;
        ADD_FAILURE() << "no button " << label;
        return nullptr;
    }
    std::vector<std::string> labels()
    {
        std::vector<std::string> all;
        for (QPushButton *b : fileDialog->findChildren<QPushButton *>())
            all.push_back(b->text().toStdString());
        for (QCheckBox *b : fileDialog->findChildren<QCheckBox *>())
            all.push_back(b->text().toStdString());
        return all;
    }
    std::string subdir(const std::string &name)
    {
        mkdir(dir.file(name).c_str(), 0755);
        return dir.file(name);
    }
    std::string cdLine(const std::string &path) { return "cd " + shellWord(path) + "\n"; }
};

TEST_F(FileDialogTest, OneDialogAtATimeWithItsTitleButtonsAndPlace)
{
    load("a.c", "one\n");
    type("x");
    notices.press("Don't save");
    showOpenDialog();
    EXPECT_EQ(questions(), std::vector<std::string>{"Save this file ?"});
    QWidget *open = fileDialog;
    ASSERT_TRUE(open);
    EXPECT_EQ(open->windowTitle(), "Select a file to open");
    EXPECT_EQ(open->pos(), mainFrame->pos() + QPoint(16, 13));
    EXPECT_EQ(labels(), (std::vector<std::string>{"  OPEN FILE  ", "  cancel  ", "Project file", "Show hidden files"}));
    EXPECT_FALSE(fileNameField);
    showSaveAsDialog();
    EXPECT_EQ(fileDialog, open);
    button("  cancel  ")->click();
    EXPECT_FALSE(fileDialog);

    showSaveAsDialog(); // asks nothing
    EXPECT_EQ(notices.shown().size(), 1u);
    ASSERT_TRUE(fileDialog && fileNameField);
    QWidget *saveAs = fileDialog;
    EXPECT_EQ(saveAs->windowTitle(), "Choose a filename to save");
    EXPECT_EQ(labels(), (std::vector<std::string>{"      Ok      ", "  cancel  ", "Hidden files"}));
    showOpenDialog();
    EXPECT_EQ(fileDialog, saveAs);
    saveAs->close(); // through the window manager: counts as cancel
    EXPECT_FALSE(fileDialog);
    showOpenDialog();
    EXPECT_TRUE(fileDialog);
}

TEST_F(FileDialogTest, MovingShowsThePathWidensTheListAndCancelTypesCd)
{
    const std::string deep = subdir("a directory with a long name");
    load("a.c", "one\n");
    showSaveAsDialog();
    EXPECT_EQ(fileNameField->text(), "a.c"); // the terminal is in the file's directory
    EXPECT_EQ(fileList->listWidth(), 200);
    doubleClick("a directory with a long name");
    EXPECT_EQ(currentPathField->text().toStdString(), deep.substr(deep.size() - 30));
    EXPECT_EQ(fileList->listWidth(), 300);
    doubleClick("..");
    EXPECT_EQ(fileList->listWidth(), 300);
    doubleClick("a directory with a long name");
    button("  cancel  ")->click();
    EXPECT_EQ(typed.all(), cdLine(deep));
    EXPECT_EQ(typed.inputs().size(), 3u);
    EXPECT_EQ(workingDirectory, dir.path());
    EXPECT_EQ(cwd(), dir.path());
    EXPECT_EQ(paneFile(), "a.c");
    EXPECT_EQ(fileDirectory, deep);

    showSaveAsDialog(); // the list is no longer where the terminal and the program are
    EXPECT_EQ(fileNameField->text(), "");
    EXPECT_EQ(currentPathField->text().toStdString(), deep.substr(deep.size() - 30));
}

TEST_F(FileDialogTest, ChoosingARowAndOpening)
{
    writeFile(dir.file("b.c"), "bee\n");
    writeFile(dir.file(".project"), "a.c\n");
    writeFile(dir.file("a.project1"), "not a project\n");
    load("a.c", "one\n");
    showOpenDialog();
    select("b.c");
    EXPECT_EQ(document.fileName, "b.c");
    button("  cancel  ")->click();
    EXPECT_EQ(document.fileName, "a.c");
    EXPECT_TRUE(typed.all().empty());

    writeFile(dir.file("a.c"), "changed on disk\n");
    showOpenDialog();
    button("  OPEN FILE  ")->click(); // no row chosen: the current name again
    EXPECT_EQ(paneText(), "changed on disk\n");
    EXPECT_FALSE(fileDialog);

    showOpenDialog();
    EXPECT_EQ(fileList->rowCount(), 4); // "..", a.c, a.project1, b.c
    fileDialog->findChild<QCheckBox *>()->click();
    doubleClick(".project");
    EXPECT_EQ(document.fileName, ".project"); // handed to the project file, not loaded
    EXPECT_EQ(paneFile(), "a.c");
    doubleClick("a.project1");
    EXPECT_EQ(paneFile(), "a.project1");
    EXPECT_EQ(paneText(), "not a project\n");
    EXPECT_FALSE(fileDialog);
}

TEST_F(FileDialogTest, OpeningFromAnotherDirectoryMovesProgramAndTerminal)
{
    const std::string sub = subdir("sub");
    writeFile(sub + "/a.c", "in sub\n");
    load("a.c", "one\n");
    showOpenDialog();
    doubleClick("sub");
    button("  OPEN FILE  ")->click(); // the same name, now in the list's directory
    EXPECT_EQ(paneText(), "in sub\n");
    EXPECT_EQ(cwd(), sub);
    EXPECT_EQ(workingDirectory, sub);
    EXPECT_EQ(typed.all(), cdLine(sub));

    // After a cancelled move the next dialog's name is relative to its list, not to the program.
    typed.clear();
    const std::string other = subdir("other");
    writeFile(other + "/o.c", "other\n");
    showOpenDialog();
    doubleClick("..");
    doubleClick("other");
    button("  cancel  ")->click();
    EXPECT_EQ(cwd(), sub);
    showOpenDialog();
    doubleClick("o.c");
    EXPECT_EQ(paneText(), "other\n");
    EXPECT_EQ(cwd(), other);
    EXPECT_EQ(workingDirectory, other);
}

TEST_F(FileDialogTest, SaveAs)
{
    const std::string sub = subdir("sub");
    load("a.txt", "text\n");
    EXPECT_EQ(currentConfiguration, 1);

    showSaveAsDialog();
    fileNameField->clear();
    button("      Ok      ")->click(); // an empty name stores nothing
    EXPECT_FALSE(fileDialog);
    EXPECT_EQ(paneFile(), "a.txt");

    type("more ");
    showSaveAsDialog();
    doubleClick("sub");
    fileNameField->setText("missing/x.c");
    button("      Ok      ")->click(); // fails: the dialog stays, nothing moves
    EXPECT_TRUE(fileDialog);
    EXPECT_EQ(readFile(dir.file("a.txt")), "text\n");
    EXPECT_EQ(cwd(), dir.path());
    EXPECT_TRUE(typed.all().empty());

    fileNameField->setText("new.c");
    emit fileNameField->returnPressed();
    EXPECT_FALSE(fileDialog);
    EXPECT_EQ(readFile(sub + "/new.c"), "more text\n");
    EXPECT_EQ(readFile(dir.file("a.txt")), "text\n");
    EXPECT_EQ(typed.all(), cdLine(sub));
    EXPECT_EQ(cwd(), sub);
    EXPECT_EQ(workingDirectory, sub);
    EXPECT_EQ(currentConfiguration, 0);
    EXPECT_EQ(mainTitle(), "C: <new.c>");
    EXPECT_TRUE(saveButton->isInactive());

    showSaveAsDialog();
    select("new.c");
    EXPECT_EQ(fileNameField->text(), "new.c");
}

} // namespace
