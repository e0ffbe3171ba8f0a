// The keys of a project window act on that window: its Save, its pane's Find, Find next, Line
// number and Undo, and the main file's compile and run; never on the main window.
#include "mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/frame.h"
#include "toolkit/menus.h"
#include "toolkit/textfield.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>

namespace {

class ProjectKeysTest : public MainWindowTest {
protected:
    void TearDown() override
    {
        closeToolPrompt();
        closeProjectWindows();
        MainWindowTest::TearDown();
    }
    // A key pressed where the keyboard focus is, as the user presses it.
    static void press(const char *keys)
    {
        const QKeySequence sequence(QString::fromLatin1(keys));
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(sequence[0] & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(sequence[0] & Qt::KeyboardModifierMask));
        QApplication::processEvents();
    }
    static void activate(QWidget *window)
    {
        window->activateWindow();
        ASSERT_TRUE(waitUntil([window] { return QApplication::activeWindow() == window; }));
    }
    static void typeText(const char *text)
    {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QApplication::processEvents();
    }
    static std::pair<long, long> selected(TextPane *pane) { return selection(pane); }
    static QString promptLabel() { return toolPrompt ? toolPrompt->findChild<QLabel *>()->text() : QString(); }
};

TEST_F(ProjectKeysTest, KeysActOnTheFocusedProjectWindowOnly)
{
    load("main.c", "int b;\n");
    strcpy(configurationTable[0].targetCall, "./*");
    writeFile(dir.file("util.c"), "ab ab\nline 2\n");
    ASSERT_TRUE(createProjectWindow(0, "util.c"));
    ProjectWindow &window = *projectWindowTable[0];
    activate(window.frame);
    window.pane->setFocus();
    QApplication::clipboard()->clear(QClipboard::Selection);

    // Ctrl+F5: the main file's program runs in the terminal, as from the main window.
    press("Ctrl+F5");
    EXPECT_EQ(typed.all(), "./main\n");
    configurationTable[0].targetCall[0] = '\0';

    // Ctrl+F: the window's own Find prompt, in its bar; the hit is selected in its pane.
    textsw_set_insertion_point(window.pane, 0);
    press("Ctrl+F");
    EXPECT_EQ(promptLabel(), "Search for -> ");
    EXPECT_EQ(toolPromptPane(), window.pane);
    typeText("b");
    press("Return");
    EXPECT_EQ(selected(window.pane), std::make_pair(1L, 2L));
    // F3 and Shift+F3: Find next in that pane.
    press("F3");
    EXPECT_EQ(selected(window.pane), std::make_pair(4L, 5L));
    textsw_set_insertion_point(window.pane, 4);
    press("Shift+F3");
    EXPECT_EQ(selected(window.pane), std::make_pair(1L, 2L));
    EXPECT_EQ(selected(textPane).first, selected(textPane).second); // nothing found in the main pane

    // Ctrl+G: the window's Line number prompt.
    QApplication::clipboard()->clear(QClipboard::Selection);
    textsw_set_selection(window.pane, 0, 0, TEXTSW_SEL_PRIMARY);
    press("Ctrl+G");
    EXPECT_EQ(promptLabel(), "Select line number ");
    EXPECT_EQ(toolPromptPane(), window.pane);
    typeText("2");
    press("Return");
    EXPECT_EQ(selected(window.pane), std::make_pair(6L, 13L));

    // Ctrl+S stores this window's file and not the main one, which is modified too.
    type("x");
    QApplication::processEvents();
    ASSERT_TRUE(document.edited);
    window.pane->setFocus();
    textsw_set_insertion_point(window.pane, 0);
    typeText("Z");
    EXPECT_EQ(frame_label(window.frame).toStdString(), "util.c - edited");
    press("Ctrl+S");
    EXPECT_EQ(readFile(dir.file("util.c")), "Zab ab\nline 2\n");
    EXPECT_EQ(readFile(dir.file("main.c")), "int b;\n");
    EXPECT_EQ(frame_label(window.frame).toStdString(), "util.c");
    EXPECT_TRUE(window.saveButton->isInactive());
    EXPECT_TRUE(document.edited);

    // Ctrl+Z takes back this window's last edit; back at its stored text the window is clean.
    typeText("Y");
    press("Ctrl+Z");
    EXPECT_EQ(textsw_contents(window.pane, 0, 100), "Zab ab\nline 2\n");
    EXPECT_EQ(frame_label(window.frame).toStdString(), "util.c");
    EXPECT_TRUE(window.saveButton->isInactive());
    EXPECT_EQ(paneText(), "xint b;\n"); // the main pane keeps its change

    // The keys of the window's menu items show beside them.
    EXPECT_EQ(menuFindItem(window.menu, {"Save"})->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(menuFindItem(window.menu, {"Line number"})->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_EQ(menuFindItem(window.menu, {"Find"})->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
    EXPECT_TRUE(notices.shown().empty());

    // In the main window the same keys act on the main file.
    activate(mainFrame);
    textPane->setFocus();
    press("Ctrl+S");
    EXPECT_EQ(readFile(dir.file("main.c")), "xint b;\n");
    EXPECT_EQ(readFile(dir.file("util.c")), "Zab ab\nline 2\n");
}

} // namespace
