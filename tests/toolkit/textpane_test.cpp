#include "support/testsupport.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

void type(TextPane *pane, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(pane, &press);
}

int countEntries(const std::string &directory)
{
    int count = 0;
    DIR *dir = opendir(directory.c_str());
    while (dirent *entry = readdir(dir))
        count += entry->d_name[0] != '.' || entry->d_name[1] > '.';
    closedir(dir);
    return count;
}

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// sizeof counts the literal's own NUL, which is not part of the bytes.
const char awkwardLiteral[] = "line one\r\nline two\rtab\there  \n\0nul\xE9\xFF end";
const std::string awkwardBytes(awkwardLiteral, sizeof awkwardLiteral - 1);

} // namespace

TEST(TextPaneFile, StoresLoadedBytesBackExactly)
{
    TempDir dir;
    writeFile(dir.file("in.c"), awkwardBytes);
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("in.c"), false), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(textsw_length(&pane), static_cast<long>(awkwardBytes.size()));
    EXPECT_FALSE(textsw_is_utf8(&pane));
    EXPECT_FALSE(textsw_modified(&pane));
    ASSERT_EQ(textsw_store_file(&pane, dir.file("out.c")), 0);
    EXPECT_EQ(readFile(dir.file("out.c")), awkwardBytes);
    std::string name;
    EXPECT_EQ(textsw_append_file_name(&pane, name), 0);
    EXPECT_EQ(name, dir.file("out.c"));

    writeFile(dir.file("u.txt"), "gr\xC3\xBC\xC3\x9F\n");
    ASSERT_EQ(textsw_load_file(&pane, dir.file("u.txt"), false), TEXTSW_STATUS_OKAY);
    EXPECT_TRUE(textsw_is_utf8(&pane));
    EXPECT_EQ(textsw_char_at(&pane, 2), 0xC3);
    EXPECT_EQ(textsw_char_at(&pane, 7), -1);
}

TEST(TextPaneFile, FailedLoadReportsWhyAndKeepsTheText)
{
    TempDir dir;
    writeFile(dir.file("a"), "kept");
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("a"), false), 0);
    EXPECT_EQ(textsw_load_file(&pane, dir.file("missing"), false),
              TEXTSW_STATUS_CANNOT_OPEN_INPUT);
    EXPECT_EQ(textsw_load_file(&pane, dir.path(), false), TEXTSW_STATUS_CANNOT_OPEN_INPUT);
    EXPECT_EQ(textsw_load_file(&pane, "", false), TEXTSW_STATUS_BAD_ATTR_VALUE);
    // A named pipe with no writer is refused at once; the load never waits for a writer. Tried
    // in a child process that an alarm ends should the load wait.
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0644), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(10);
        _exit(textsw_load_file(&pane, dir.file("pipe"), false));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the load waited for a writer";
    EXPECT_EQ(WEXITSTATUS(status), TEXTSW_STATUS_CANNOT_OPEN_INPUT);
    EXPECT_EQ(paneText(&pane), "kept");
    std::string name;
    textsw_append_file_name(&pane, name);
    EXPECT_EQ(name, dir.file("a"));

    ASSERT_EQ(textsw_load_file(&pane, dir.file("a"), true), 0);
    EXPECT_TRUE(textsw_read_only(&pane));
    EXPECT_EQ(textsw_insert(&pane, "x", 1), 0);
    EXPECT_EQ(textsw_replace_bytes(&pane, 0, 1, "x", 1), -1);
    EXPECT_EQ(paneText(&pane), "kept");
}

TEST(TextPaneFile, FailedStoreLeavesTheOldFileAlone)
{
    TempDir dir;
    const std::string old(5000, 'o');
    writeFile(dir.file("f"), old);
    chmod(dir.file("f").c_str(), 0640);
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("f"), false), 0);
    const std::string more(20000, 'n');
    ASSERT_EQ(textsw_insert(&pane, more.data(), static_cast<long>(more.size())), 20000);

    // A file size limit makes writing fail part way, even for root.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 8192;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const int result = textsw_store_file(&pane, dir.file("f"));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_NE(result, 0);
    EXPECT_EQ(readFile(dir.file("f")), old);
    EXPECT_EQ(countEntries(dir.path()), 1) << "temporary file left behind";
    EXPECT_TRUE(textsw_modified(&pane));

    writeFile(dir.file("plain"), "x");
    EXPECT_NE(textsw_store_file(&pane, dir.file("plain") + "/sub"), 0);
    EXPECT_NE(textsw_store_file(&pane, dir.path()), 0);

    // Success keeps the permissions and writes through a symbolic link.
    ASSERT_EQ(symlink(dir.file("f").c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(textsw_store_file(&pane, dir.file("link")), 0);
    EXPECT_EQ(readFile(dir.file("f")), more + old);
    struct stat st;
    lstat(dir.file("link").c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    stat(dir.file("f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(TextPaneFind, WrapsAroundInBothDirections)
{
    TextPane pane;
    textsw_set_contents(&pane, "ab\0x ab x ab", 12); // "ab" at 0, 5 and 10
    long first = 6, end = 0;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_FORWARD), 10);
    EXPECT_EQ(end, 12);
    first = 11;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_FORWARD), 0);
    first = 5;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_FORWARD), 5);
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_BACKWARD), 0);
    first = 10;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_BACKWARD), 5);
    first = 0;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "ab", 2, TEXTSW_BACKWARD), 10);
    first = 0;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "\0x", 2, TEXTSW_FORWARD), 2);
    first = 3;
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "zz", 2, TEXTSW_FORWARD), -1);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(textsw_find_bytes(&pane, &first, &end, "", 0, TEXTSW_FORWARD), -1);
}

TEST(TextPaneEdit, MemoryLimitRefusesWhatDoesNotFit)
{
    TempDir dir;
    writeFile(dir.file("big"), std::string(30, 'b'));
    TextPane pane;
    textsw_set_memory_limit(&pane, 10);
    textsw_set_contents(&pane, "12345678", 8);
    EXPECT_EQ(textsw_insert(&pane, "abc", 3), 0);
    EXPECT_EQ(textsw_append(&pane, "abc", 3), 0);
    EXPECT_EQ(textsw_replace_bytes(&pane, 0, 1, "abcd", 4), -1);
    int refusals = 0;
    textsw_set_refusal_proc(&pane, [&refusals](TextPane *) { ++refusals; });
    type(&pane, Qt::Key_X, "xyz");
    EXPECT_EQ(paneText(&pane), "12345678");
    // A refused key leaves the text unmodified, with nothing to undo, and is told once the event is over.
    EXPECT_FALSE(textsw_modified(&pane));
    EXPECT_EQ(refusals, 0);
    QApplication::processEvents();
    EXPECT_EQ(refusals, 1);
    EXPECT_FALSE(textsw_read_only(&pane));
    EXPECT_EQ(textsw_undo(&pane), 0);
    EXPECT_FALSE(textsw_modified(&pane));
    textsw_set_insertion_point(&pane, 8);
    EXPECT_EQ(textsw_insert(&pane, "ab", 2), 2);
    type(&pane, Qt::Key_X, "x");
    EXPECT_EQ(textsw_length(&pane), 10);
    EXPECT_EQ(textsw_replace_bytes(&pane, 0, 4, "z", 1), 1);
    EXPECT_EQ(paneText(&pane), "z5678ab");

    ASSERT_EQ(textsw_load_file(&pane, dir.file("big"), false), 0);
    EXPECT_EQ(textsw_length(&pane), 30);
    EXPECT_EQ(textsw_erase(&pane, 0, 25), 25);
    EXPECT_EQ(textsw_insert(&pane, "12345", 5), 5);
}

TEST(TextPaneEdit, UndoResetAndModifiedFlagAgree)
{
    TempDir dir;
    writeFile(dir.file("f"), "one\ntwo\n");
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("f"), false), 0);
    EXPECT_EQ(textsw_undo(&pane), 0);
    textsw_set_insertion_point(&pane, 4);
    EXPECT_EQ(textsw_insert(&pane, "new ", 4), 4);
    EXPECT_EQ(textsw_get_insertion_point(&pane), 8);
    EXPECT_TRUE(textsw_modified(&pane));
    EXPECT_EQ(textsw_undo(&pane), 1);
    EXPECT_FALSE(textsw_modified(&pane));
    EXPECT_EQ(paneText(&pane), "one\ntwo\n");

    textsw_erase(&pane, 0, 4);
    textsw_replace_bytes(&pane, 0, 3, "2", 1);
    EXPECT_EQ(paneText(&pane), "2\n");
    EXPECT_EQ(textsw_undo(&pane), 1); // the replace is one step
    EXPECT_EQ(paneText(&pane), "two\n");
    EXPECT_TRUE(textsw_modified(&pane));
    textsw_reset(&pane);
    EXPECT_EQ(paneText(&pane), "one\ntwo\n");
    EXPECT_FALSE(textsw_modified(&pane));

    textsw_erase(&pane, 0, 4);
    ASSERT_EQ(textsw_store_file(&pane, dir.file("f")), 0);
    EXPECT_FALSE(textsw_modified(&pane));
    textsw_append(&pane, "x", 1);
    textsw_reset(&pane);
    EXPECT_EQ(paneText(&pane), "two\n");
}

TEST(TextPaneEdit, AppendKeepsBytesAndLeavesTheCaret)
{
    TextPane pane;
    textsw_set_read_only(&pane, true);
    EXPECT_EQ(textsw_append(&pane, "x", 1), 0);
    textsw_set_read_only(&pane, false);
    EXPECT_EQ(textsw_append(&pane, "caf\xC3", 4), 4); // a character split between pieces
    EXPECT_EQ(textsw_append(&pane, "\xA9 ok\n", 5), 5);
    EXPECT_TRUE(textsw_is_utf8(&pane));
    EXPECT_EQ(textsw_append(&pane, "\xE9t\xE9", 3), 3);
    EXPECT_FALSE(textsw_is_utf8(&pane));
    EXPECT_EQ(paneText(&pane), "caf\xC3\xA9 ok\n\xE9t\xE9");
    EXPECT_EQ(textsw_get_insertion_point(&pane), 0);
}

TEST(TextPaneEdit, NotificationFollowsEveryChange)
{
    TextPane pane;
    int calls = 0;
    bool modifiedSeen = false;
    textsw_set_notify_proc(&pane, [&](TextPane *p) {
        ++calls;
        modifiedSeen = textsw_modified(p);
    });
    textsw_insert(&pane, "abc", 3);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(modifiedSeen);
    {
        TextswBatch batch(&pane);
        for (int i = 0; i < 50; ++i)
            textsw_replace_bytes(&pane, 0, 1, "xy", 2);
        EXPECT_EQ(calls, 1);
    }
    EXPECT_EQ(calls, 2);
    textsw_undo(&pane); // the whole batch
    EXPECT_EQ(paneText(&pane), "abc");

    type(&pane, Qt::Key_Q, "q");
    EXPECT_EQ(calls, 3); // the undo
    QApplication::processEvents();
    EXPECT_EQ(calls, 4);
    textsw_undo(&pane);
    textsw_undo(&pane);
    EXPECT_FALSE(modifiedSeen);
}

TEST(TextPaneView, SelectionsCaretAndAutoIndent)
{
    TextPane pane;
    textsw_set_contents(&pane, "\tabc\ndef\n", 9);
    textsw_set_selection(&pane, 1, 4, TEXTSW_SEL_PRIMARY);
    textsw_set_selection(&pane, 5, 8, TEXTSW_SEL_SECONDARY);
    long first = 0, last = 0;
    EXPECT_EQ(textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_PRIMARY), 1);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 4);
    textsw_set_insertion_point(&pane, 1);
    EXPECT_EQ(textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_PRIMARY), 1);
    EXPECT_EQ(textsw_get_insertion_point(&pane), 1);
    EXPECT_EQ(textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_SECONDARY), 1);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(last, 8);
    textsw_set_selection(&pane, 0, 0, TEXTSW_SEL_SECONDARY);
    EXPECT_EQ(textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_SECONDARY), 0);

    textsw_set_insertion_point(&pane, 3); // off the selection's ends: drops it
    EXPECT_EQ(textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_PRIMARY), 0);
    textsw_set_auto_indent(&pane, true);
    textsw_set_insertion_point(&pane, 4);
    type(&pane, Qt::Key_Return, "\r");
    EXPECT_EQ(paneText(&pane), "\tabc\n\t\ndef\n");

    type(&pane, 0, QString::fromUtf8("\xC3\xA9\xE2\x82\xAC")); // two characters in one key
    EXPECT_EQ(paneText(&pane), "\tabc\n\t\xC3\xA9\xE2\x82\xAC\ndef\n");
}

TEST(TextPaneView, FontGivenInPixelsSizesThePane)
{
    TextPane pane;
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(12);
    textsw_set_font(&pane, font);
    const QSize small = textsw_size_for_chars(&pane, 80, 24);
    font.setPixelSize(30);
    textsw_set_font(&pane, font);
    const QSize large = textsw_size_for_chars(&pane, 80, 24);
    EXPECT_GT(large.height() - small.height(), 24 * 15);
    EXPECT_GT(large.width(), small.width());
}

TEST(TextPaneView, PopupMenuAndScrollingIntoView)
{
    TextPane pane;
    QMenu menu;
    menu.addAction("Undo");
    textsw_set_menu(&pane, &menu);
    pane.resize(400, 200);
    pane.show();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                            pane.viewport()->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(pane.viewport(), &click);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    std::string lines;
    for (int i = 0; i < 1000; ++i)
        lines += "line\n";
    textsw_set_contents(&pane, lines.data(), static_cast<long>(lines.size()));
    textsw_possibly_normalize(&pane, 900 * 5);
    const long firstShown = pane.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = pane.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    EXPECT_LE(firstShown, 900);
    EXPECT_GT(firstShown + onScreen, 900);
    textsw_possibly_normalize(&pane, 901 * 5); // already visible: no scrolling
    EXPECT_EQ(pane.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), firstShown);
}

TEST(TextPaneView, OutputArrivingWithoutPauseIsShownAndFollowed)
{
    TextPane pane;
    pane.resize(400, 200);
    pane.show();
    QApplication::processEvents();
    PaintCounter counter;
    pane.viewport()->installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        textsw_append(&pane, "output line\n", 12);
        QApplication::processEvents();
    }
    EXPECT_GE(counter.paints, 2);
    while (clock.elapsed() < 400)
        QApplication::processEvents();
    const long lines = pane.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    EXPECT_GE(pane.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE) +
                  pane.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN),
              lines);
}
