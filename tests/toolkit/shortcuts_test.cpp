// Menu labels shown as written, keys bound to menu items, and which pane gives keys up.
#include "support/testsupport.h"
#include "support/waiting.h"
#include "toolkit/frame.h"
#include "toolkit/menus.h"
#include "toolkit/shortcuts.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

int chosen = 0;

void countChoice(QMenu *, QAction *)
{
    ++chosen;
}

bool activate(QWidget *window)
{
    window->activateWindow();
    return waitUntil([&] { return QApplication::activeWindow() == window; });
}

// A window that holds a text pane and whose active state the test waits for.
struct ActiveWindow {
    ActiveWindow()
    {
        auto *column = new QVBoxLayout(&window);
        pane = new TextPane;
        column->addWidget(pane);
        window.resize(400, 300);
        window.show();
        EXPECT_TRUE(activate(&window));
        pane->setFocus();
    }
    QWidget window;
    TextPane *pane;
};

} // namespace

TEST(MenuLabels, AmpersandsAreShownAsWritten)
{
    QMenu *menu = menuCreate(QStringLiteral("Options"));
    QAction *item = menuAddItem(menu, QStringLiteral("C & C++"), nullptr);
    // Qt draws an action's text with its mnemonic marks taken out, as its icon text holds it.
    EXPECT_EQ(item->iconText(), QStringLiteral("C & C++"));
    EXPECT_EQ(menuItemLabel(item), QStringLiteral("C & C++"));
    menuSetItemLabel(item, QStringLiteral("R&D && more"));
    EXPECT_EQ(item->iconText(), QStringLiteral("R&D && more"));
    EXPECT_EQ(menuItemLabel(item), QStringLiteral("R&D && more"));

    QMenu *sub = menuCreate(QString());
    menuAddItem(sub, QStringLiteral("searching forward"), nullptr, 0);
    QAction *opener = menuAddSubmenu(menu, QStringLiteral("Find & go"), sub);
    EXPECT_EQ(opener->iconText(), QStringLiteral("Find & go"));
    EXPECT_EQ(menuFindItem(menu, {"Find & go", "searching forward"}), menuItems(sub).at(0));
    EXPECT_EQ(menuFindItem(menu, {"R&D && more"}), item);
    EXPECT_EQ(menuFindItem(menu, {"Find & go", "searching backward"}), nullptr);
    EXPECT_EQ(menuFindItem(menu, {"R&D && more", "deeper"}), nullptr);
    delete menu;
}

TEST(FrameLabels, PlaceholderOfTheModifiedMarkIsShownAsWritten)
{
    QWidget frame;
    frame.show();
    for (const QString &title : {QStringLiteral("C: <a[*].c>"), QStringLiteral("[*][*] x [*]")}) {
        frame_set_label(&frame, title);
        EXPECT_EQ(frame.windowHandle()->title(), title); // what the window manager is given
        EXPECT_EQ(frame_label(&frame), title);
    }
}

TEST(Shortcuts, KeysChooseTheirItemInTheirWindowAndShowBesideIt)
{
    ActiveWindow active;
    QMenu *menu = menuCreate(QStringLiteral("Tools"));
    QAction *undo = menuAddItem(menu, QStringLiteral("Undo"), countChoice);
    QAction *next = menuAddItem(menu, QStringLiteral("Find next"), countChoice);
    shortcut_bind_item(&active.window, undo, QKeySequence(QStringLiteral("Ctrl+Z")));
    shortcut_bind_item(&active.window, next, QKeySequence(QStringLiteral("Shift+F3")));
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(menuItemLabel(undo), QStringLiteral("Undo")); // the label stays as it is

    // The text pane would take Ctrl-Z as its own undo; a bound key goes to the item.
    chosen = 0;
    textsw_set_contents(active.pane, "text", 4);
    textsw_insert(active.pane, "more ", 5);
    QTest::keyClick(active.pane, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(textsw_contents(active.pane, 0, 9), "more text");
    QTest::keyClick(active.pane, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(chosen, 2);
    QTest::keyClick(active.pane, Qt::Key_F3); // F3 alone is not bound
    EXPECT_EQ(chosen, 2);

    int commands = 0;
    shortcut_bind(&active.window, QKeySequence(QStringLiteral("F8")), [&] { ++commands; });
    QTest::keyClick(active.pane, Qt::Key_F8);
    EXPECT_EQ(commands, 1);
    delete menu;
}

TEST(Shortcuts, TheTerminalKeepsEveryKeyButTheFunctionKeys)
{
    TempDir dir;
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    char previous[4096];
    ASSERT_TRUE(getcwd(previous, sizeof previous));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    auto *terminal = new TerminalPane;
    ASSERT_EQ(chdir(previous), 0);
    column->addWidget(terminal);
    window.resize(500, 300);
    window.show();
    ASSERT_TRUE(activate(&window));
    QWidget *display = terminal->focusProxy() ? terminal->focusProxy() : terminal;
    display->setFocus();

    int saves = 0, finds = 0;
    shortcut_bind(&window, QKeySequence(QStringLiteral("Ctrl+S")), [&] { ++saves; });
    shortcut_bind(&window, QKeySequence(QStringLiteral("F3")), [&] { ++finds; });

    // A program that reads the terminal's keys raw, as they come, into a file.
    const std::string reader = "stty raw -echo; touch ready; dd bs=1 count=4 of=keys 2>/dev/null; stty sane\n";
    ttysw_input(terminal, reader.data(), static_cast<int>(reader.size()));
    ASSERT_TRUE(waitUntil([&] { return access(dir.file("ready").c_str(), F_OK) == 0; }));
    QTest::keyClick(display, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(display, Qt::Key_F3);
    QTest::keyClick(display, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(display, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(display, Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return readFile(dir.file("keys")).size() >= 4; }));
    EXPECT_EQ(readFile(dir.file("keys")), "\x03\x1A\x13\x12");
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(finds, 1);
}
