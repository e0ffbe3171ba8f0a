#include "documents/filedialog.h"
#include "mainwindowfixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <sys/stat.h>

namespace {

class FileDialogTest : public MainWindowTest {
protected:
    QListWidgetItem *row(const std::string &name)
    {
        for (int row = 0; row < fileList->rowCount(); ++row)
            if (fileList->rowName(row) == name)
                return fileList->findChild<QListWidget *>()->item(row);
        throw std::runtime_error("no row " + name);
    }
    void doubleClick(const std::string &name) { emit fileList->findChild<QListWidget *>()->itemDoubleClicked(row(name)); }
    void press(const char *label)
    {
        for (QPushButton *button : fileDialog->findChildren<QPushButton *>())
            if (button->text() == label)
                return button->click();
        FAIL() << "no button " << label;
    }
    std::vector<std::string> labels()
    {
        std::vector<std::string> all;
        for (QPushButton *b : fileDialog->findChildren<QPushButton *>())
            all.push_back(b->text().toStdString());
        all.push_back(fileDialog->findChild<QCheckBox *>()->text().toStdString());
        return all;
    }
    std::string subdir(const std::string &name)
    {
        mkdir(dir.file(name).c_str(), 0755);
        return dir.file(name);
    }
};

TEST_F(FileDialogTest, OneDialogAtATimeWithItsTitleButtonsAndPlace)
{
    load("a.c", "one\n");
    type("x");
    notices.press("Don't save");
    showOpenDialog(); // offers to save first
    EXPECT_EQ(questions(), std::vector<std::string>{"Save this file ?"});
    QWidget *open = fileDialog;
    EXPECT_EQ(open->windowTitle(), "Select a file to open");
    EXPECT_EQ(open->pos(), mainFrame->pos() + QPoint(16, 13));
    EXPECT_EQ(labels(), (std::vector<std::string>{"  OPEN FILE  ", "  cancel  ", "Project file", "Show hidden files"}));
    showSaveAsDialog();
    EXPECT_EQ(fileDialog, open);
    press("  cancel  ");
    EXPECT_FALSE(fileDialog);

    showSaveAsDialog(); // asks nothing
    EXPECT_EQ(notices.shown().size(), 1u);
    QWidget *saveAs = fileDialog;
    EXPECT_EQ(saveAs->windowTitle(), "Choose a filename to save");
    EXPECT_EQ(labels(), (std::vector<std::string>{"      Ok      ", "  cancel  ", "Hidden files"}));
    showOpenDialog();
    EXPECT_EQ(fileDialog, saveAs);
    saveAs->close(); // through the window manager: the same as cancel
    showOpenDialog();
    EXPECT_TRUE(fileDialog && fileDialog != saveAs);
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
    fileList->setListWidth(200);
    doubleClick("..");
    EXPECT_EQ(fileList->listWidth(), 300);
    doubleClick("a directory with a long name");
    press("  cancel  ");
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"cd ", shellWord(deep), "\n"}));
    EXPECT_EQ(workingDirectory, dir.path());
    EXPECT_EQ(cwd(), dir.path());
    EXPECT_EQ(paneFile(), "a.c");

    showSaveAsDialog(); // opens where the list was, away from the terminal
    EXPECT_EQ(fileNameField->text(), "");
    EXPECT_EQ(fileList->directory(), deep);
}

TEST_F(FileDialogTest, ChoosingRowsAndOpening)
{
    const std::string sub = subdir("sub");
    writeFile(dir.file(".project"), "b.c\n");
    writeFile(dir.file("b.c"), "the project's main file\n");
    writeFile(dir.file("a.project1"), "not a project\n");
    writeFile(sub + "/a.c", "in sub\n");
    load("a.c", "one\n");
    showOpenDialog();
    fileList->findChild<QListWidget *>()->setCurrentItem(row("a.project1")); // a single click
    EXPECT_EQ(document.fileName, "a.project1");
    press("  cancel  ");
    EXPECT_EQ(document.fileName, "a.c");

    writeFile(dir.file("a.c"), "changed\n");
    showOpenDialog();
    press("  OPEN FILE  "); // no row chosen: the current name again
    EXPECT_EQ(paneText(), "changed\n");
    EXPECT_FALSE(fileDialog);

    showOpenDialog(); // the same name in another directory
    doubleClick("sub");
    press("  OPEN FILE  ");
    EXPECT_EQ(paneText(), "in sub\n");
    EXPECT_EQ(cwd(), sub);
    EXPECT_EQ(workingDirectory, sub);
    EXPECT_EQ(typed.all(), "cd " + sub + "\n");

    // After a cancelled move the next dialog's names are those of its list.
    showOpenDialog();
    doubleClick("..");
    press("  cancel  ");
    showOpenDialog();
    doubleClick("a.c");
    EXPECT_EQ(paneText(), "changed\n");
    EXPECT_EQ(cwd(), dir.path());

    showOpenDialog();
    fileDialog->findChild<QCheckBox *>()->click(); // shows .project
    doubleClick(".project"); // opened as a project file: its first line is loaded
    EXPECT_EQ(paneFile(), "b.c");
    EXPECT_EQ(paneText(), "the project's main file\n");
    EXPECT_FALSE(fileDialog);
    showOpenDialog();
    doubleClick("a.project1");
    EXPECT_EQ(paneText(), "not a project\n");
    EXPECT_FALSE(fileDialog);
}

TEST_F(FileDialogTest, SaveAs)
{
    const std::string sub = subdir("sub");
    load("a.txt", "text\n");
    EXPECT_EQ(currentConfiguration, 1);
    showSaveAsDialog();
    fileNameField->clear();
    press("      Ok      "); // an empty name stores nothing
    EXPECT_FALSE(fileDialog);

    type("more ");
    showSaveAsDialog();
    doubleClick("sub");
    fileNameField->setText("missing/x.c");
    notices.press("Ok");
    press("      Ok      "); // fails: told, the dialog stays, nothing moves
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines[1], sub + "/missing/x.c");
    EXPECT_TRUE(fileDialog);
    EXPECT_EQ(cwd(), dir.path());
    EXPECT_TRUE(typed.all().empty());

    fileNameField->setText("new.c");
    emit fileNameField->returnPressed();
    EXPECT_FALSE(fileDialog);
    EXPECT_EQ(readFile(sub + "/new.c"), "more text\n");
    EXPECT_EQ(readFile(dir.file("a.txt")), "text\n");
    EXPECT_EQ(typed.all(), "cd " + sub + "\n");
    EXPECT_EQ(cwd(), sub);
    EXPECT_EQ(workingDirectory, sub);
    EXPECT_EQ(mainTitle(), "C: <new.c>");
    EXPECT_EQ(currentConfiguration, 0);
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_EQ(paneFile(), "new.c");
}

} // namespace
