#include "toolkit/directorylisting.h"
#include "toolkit/filelist.h"

#include "support/testsupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Notice {
    std::string name;
    FileListNotification kind;
    int row;
};

// A shown file list over a directory tree with awkward names, recording what it reports.
class FileListTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"beta", "Alpha", ".hiddendir", "Alpha/inner"})
            mkdir(dir.file(name).c_str(), 0755);
        for (const std::string name : {"b.c", "A.txt", "with space", "$(touch pwned)", ".hidden",
                                       "caf\xe9", "two\nlines", "Alpha/inner.c"})
            writeFile(dir.file(name), "x");
        list.setRows(20);
        list.setDirectory(dir.path());
        list.setNotifyProc([this](const std::string &name, FileListNotification kind, int row) {
            notices.push_back({name, kind, row});
        });
        list.setChangeDirProc([this](const std::string &path) { changes.push_back(path); });
        list.show();
        QApplication::processEvents();
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (int row = 0; row < list.rowCount(); ++row)
            all.push_back(list.rowName(row));
        return all;
    }
    int rowOf(const std::string &name) const
    {
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.rowName(row) == name)
                return row;
        return -1;
    }

    QListWidget *view() const { return list.findChild<QListWidget *>(); }
    void mouse(QEvent::Type type, int row)
    {
        QWidget *viewport = view()->viewport();
        const QPoint at = view()->visualItemRect(view()->item(row)).center();
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    void click(int row)
    {
        mouse(QEvent::MouseButtonPress, row);
        mouse(QEvent::MouseButtonRelease, row);
    }
    void doubleClick(int row)
    {
        click(row);
        mouse(QEvent::MouseButtonDblClick, row);
        mouse(QEvent::MouseButtonRelease, row);
    }
    void pressReturn()
    {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(view(), &event);
    }

    TempDir dir;
    FileList list{"/"};
    std::vector<Notice> notices;
    std::vector<std::string> changes;
};

TEST_F(FileListTest, ListsParentThenDirectoriesThenFilesByNameAndTogglesDotFiles)
{
    const std::vector<std::string> shown = {"..", "Alpha", "beta", "$(touch pwned)", "A.txt", "b.c",
                                            "caf\xe9", "two\nlines", "with space"};
    EXPECT_EQ(names(), shown);
    EXPECT_EQ(list.rowType(0), FileRowType::ParentEntry);
    EXPECT_EQ(list.rowType(1), FileRowType::Directory);
    EXPECT_EQ(list.rowType(3), FileRowType::File);
    EXPECT_EQ(access(dir.file("pwned").c_str(), F_OK), -1);
    EXPECT_EQ(access("pwned", F_OK), -1);

    list.setShowHidden(true);
    EXPECT_EQ(names(), (std::vector<std::string>{"..", ".hiddendir", "Alpha", "beta", "$(touch pwned)", ".hidden",
                                                 "A.txt", "b.c", "caf\xe9", "two\nlines", "with space"}));
    list.setShowHidden(false);
    EXPECT_EQ(names(), shown);
    EXPECT_TRUE(changes.empty()); // showing a directory on request is not a move
}

TEST_F(FileListTest, MovesIntoDirectoriesAndBackReportingEachPath)
{
    doubleClick(rowOf("Alpha"));
    ASSERT_EQ(changes, std::vector<std::string>{dir.file("Alpha")});
    EXPECT_EQ(list.directory(), dir.file("Alpha"));
    EXPECT_EQ(names(), (std::vector<std::string>{"..", "inner", "inner.c"}));

    click(0);
    pressReturn();
    EXPECT_EQ(changes.back(), dir.path());
    EXPECT_EQ(names()[1], "Alpha");
    EXPECT_TRUE(notices.empty()); // directory rows are not reported

    // The root has no parent entry; the parent of a top-level directory is the root.
    list.setDirectory("/tmp/../tmp/.");
    EXPECT_EQ(list.directory(), "/tmp");
    doubleClick(0);
    EXPECT_EQ(changes.back(), "/");
    EXPECT_NE(list.rowType(0), FileRowType::ParentEntry);
}

TEST_F(FileListTest, ReportsFileRowsWithKindAndExactName)
{
    const int row = rowOf("caf\xe9");
    click(row);
    click(row); // the same row again is reported again
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].name, "caf\xe9");
    EXPECT_EQ(notices[0].kind, FileListNotification::Select);
    EXPECT_EQ(notices[1].row, row);
    EXPECT_EQ(list.selectedRow(), row);

    notices.clear();
    doubleClick(rowOf("two\nlines"));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].kind, FileListNotification::Select);
    EXPECT_EQ(notices[1].kind, FileListNotification::DoubleClick);
    EXPECT_EQ(notices[1].name, "two\nlines");

    notices.clear();
    click(rowOf("$(touch pwned)"));
    pressReturn();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1].kind, FileListNotification::DoubleClick);
    EXPECT_EQ(notices[1].name, "$(touch pwned)");
    EXPECT_TRUE(changes.empty());
}

TEST_F(FileListTest, DirectoryThatCannotBeReadShowsAMessageRow)
{
    EXPECT_FALSE(list.setDirectory(dir.file("missing")));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rowType(1), FileRowType::Message);
    click(1);
    doubleClick(1);
    EXPECT_TRUE(notices.empty());

    // A directory that goes away after it was listed (root can read any directory, but not
    // one that no longer exists): the list moves there, says so and can come back.
    list.setDirectory(dir.path());
    rmdir(dir.file("beta").c_str());
    doubleClick(rowOf("beta"));
    EXPECT_EQ(changes.back(), dir.file("beta"));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rowType(1), FileRowType::Message);
    doubleClick(0);
    EXPECT_EQ(changes.back(), dir.path());
}

TEST_F(FileListTest, RowsAndWidthAreSettable)
{
    list.setRows(4);
    const int small = list.height();
    list.setRows(8);
    EXPECT_GT(list.height(), small + 3 * view()->sizeHintForRow(0));
    list.setListWidth(300);
    QApplication::processEvents();
    EXPECT_EQ(list.listWidth(), 300);
    EXPECT_EQ(list.width(), 300);
}

TEST(DirectoryPaths, AreNormalisedLexically)
{
    EXPECT_EQ(normalPath("//a/./b/../c/"), "/a/c");
    EXPECT_EQ(normalPath("/.."), "/");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(normalPath("x y"), std::string(cwd) + "/x y");
    EXPECT_EQ(parentPath("/a/b"), "/a");
    EXPECT_EQ(parentPath("/a"), "/");
    EXPECT_EQ(childPath("/", "a"), "/a");
}

} // namespace
