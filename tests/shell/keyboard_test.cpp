// Working at the keyboard in the real main window: where the focus goes after buttons, menus and
// prompts, the shortcuts, and texts shown as written.
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialogstate.h"
#include "shell/mainwindow.h"
#include "support/mainwindowfixture.h"
#include "texttools/prompt.h"
#include "texttools/texttoolstate.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textfield.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

const std::string source = "int a;\nint b;\n";

class KeyboardTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        useDefaultConfiguration();
        enterDirectory(dir.path());
        writeFile(dir.file("prog.c"), source);
    }
    void TearDown() override
    {
        closeToolPrompt();
        destroyFileDialog();
        destroyMainWindow();
        QApplication::processEvents();
        leaveDirectory();
    }
    void build(const char *file = "prog.c")
    {
        buildWindow(file);
        QApplication::clipboard()->clear(QClipboard::Selection);
        activateMain();
    }
    static void activateMain()
    {
        mainFrame->activateWindow();
        ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == mainFrame; }));
    }
    // A key pressed where the keyboard focus is, as the user presses it.
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    }
    static void typeIntoPrompt(const char *text)
    {
        ASSERT_NE(toolPrompt, nullptr);
        ASSERT_EQ(QApplication::focusWidget(), toolPrompt->lineEdit());
        QTest::keyClicks(toolPrompt->lineEdit(), text);
        press(Qt::Key_Return);
    }
    static QString promptLabel() { return toolPrompt ? toolPrompt->findChild<QLabel *>()->text() : QString(); }
    static QWidget *terminalDisplay() { return terminalPane->focusProxy() ? terminalPane->focusProxy() : terminalPane; }
    static std::vector<ImageButton *> panelButtons()
    {
        const QList<ImageButton *> buttons = buttonPanel->findChildren<ImageButton *>();
        return std::vector<ImageButton *>(buttons.begin(), buttons.end());
    }
    static QPushButton *menuButton(const char *label)
    {
        for (QPushButton *button : menuBar->findChildren<QPushButton *>())
            if (button->text() == QLatin1String(label))
                return button;
        return nullptr;
    }
    // Clicks a menu button; while its menu is open, `inMenu` runs (by default it closes it).
    static void useMenuButton(QPushButton *button, std::function<void()> inMenu = {})
    {
        QTimer poll; // the menu runs its own event loop until it closes
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *popup = QApplication::activePopupWidget();
            if (!popup)
                return;
            poll.stop();
            if (inMenu)
                inMenu();
            else
                popup->close();
        });
        poll.start();
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }

    TempDir dir;
};

TEST_F(KeyboardTest, ButtonsAndMenuButtonsLeaveTheFocusWhereItWas)
{
    build();
    for (QWidget *worker : {static_cast<QWidget *>(textPane), terminalDisplay()}) {
        worker->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), worker);
        for (ImageButton *button : panelButtons()) {
            // Pressed and let go outside, so that the button does nothing.
            QTest::mousePress(button, Qt::LeftButton);
            EXPECT_EQ(QApplication::focusWidget(), worker);
            QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
        }
        for (const char *label : {"File", "Tools", "Options", "Execute", "Help"}) {
            useMenuButton(menuButton(label));
            EXPECT_EQ(QApplication::focusWidget(), worker) << label;
        }
    }
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(KeyboardTest, TypingAfterFindNextReplacesTheFoundText)
{
    build();
    const std::string text = "one two one two\n";
    textsw_set_contents(textPane, text.data(), static_cast<long>(text.size()));
    searchString = "two";

    // The find-next-forward button (the seventh).
    textsw_set_insertion_point(textPane, 0);
    QTest::mouseClick(panelButtons().at(6), Qt::LeftButton);
    EXPECT_EQ(selection(), std::make_pair(4L, 7L));
    press(Qt::Key_X);
    EXPECT_EQ(paneText(), "one x one two\n");

    // Tools, Find next, searching forward, chosen with the keys in the open menu.
    useMenuButton(menuButton("Tools"), [] {
        QWidget *tools = QApplication::activePopupWidget();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(tools, Qt::Key_Down); // down to "Find next"
        QTest::keyClick(tools, Qt::Key_Right);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return); // "searching forward"
    });
    EXPECT_EQ(selection(), std::make_pair(10L, 13L));
    press(Qt::Key_Y);
    EXPECT_EQ(paneText(), "one x one y\n");
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(KeyboardTest, TypingAfterAPromptReplacesWhatItsToolSelected)
{
    build();
    // Find: the prompt takes the string, then the focus goes back to the pane.
    textsw_set_insertion_point(textPane, 0);
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(promptLabel(), "Search for -> ");
    typeIntoPrompt("b;");
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(selection(), std::make_pair(11L, 13L));
    press(Qt::Key_X);
    EXPECT_EQ(paneText(), "int a;\nint x\n");

    // Line number: the whole line goes.
    QApplication::clipboard()->clear(QClipboard::Selection);
    textsw_set_insertion_point(textPane, 0);
    press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(promptLabel(), "Select line number ");
    typeIntoPrompt("1");
    EXPECT_EQ(selection(), std::make_pair(0L, 7L));
    press(Qt::Key_Y);
    EXPECT_EQ(paneText(), "yint x\n");

    // A prompt closed by choosing its tool again also hands the focus back.
    press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(toolPrompt, nullptr);
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), textPane);
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(KeyboardTest, EveryShortcutStartsItsOperationAndShowsBesideItsItem)
{
    build();
    const auto firstNoticeLine = [&] {
        return notices.shown().empty() || notices.shown().back().lines.empty() ? std::string()
                                                                             : notices.shown().back().lines.front();
    };
    struct Row {
        const char *keys;
        QMenu *menu;
        QStringList path;
        std::function<void()> before;
        std::function<void()> check;
    };
    TerminalInputRecorder typed(false);
    const Row rows[] = {
        {"Ctrl+O", fileMenu, {"Open"}, {}, [] { EXPECT_NE(fileDialog, nullptr); EXPECT_EQ(fileNameField, nullptr); }},
        {"Ctrl+Shift+S", fileMenu, {"Save as"}, {}, [] { EXPECT_NE(fileNameField, nullptr); }},
        {"Ctrl+S", fileMenu, {"Save"}, {}, [&] { EXPECT_EQ(firstNoticeLine(), "Text has not been modified,  or"); }},
        {"Ctrl+Q", fileMenu, {"QUIT"}, [&] { notices.press("cancel"); }, [&] { EXPECT_EQ(firstNoticeLine(), "REALLY QUIT?"); }},
        {"Ctrl+F", toolsMenu, {"Find", "searching forward"}, {}, [] { EXPECT_EQ(promptLabel(), "Search for -> "); }},
        {"F3", toolsMenu, {"Find next", "searching forward"},
         [] { searchString = "int"; textsw_set_insertion_point(textPane, 1); },
         [] { EXPECT_EQ(selection(), std::make_pair(7L, 10L)); }},
        {"Shift+F3", toolsMenu, {"Find next", "searching backward"},
         [] { textsw_set_insertion_point(textPane, 5); },
         [] { EXPECT_EQ(selection(), std::make_pair(0L, 3L)); }},
        {"Ctrl+G", toolsMenu, {"Line number"}, [] { textsw_set_insertion_point(textPane, 0); },
         [] { EXPECT_EQ(promptLabel(), "Select line number "); }},
        {"Ctrl+H", toolsMenu, {"Replace"}, {}, [] { EXPECT_EQ(promptLabel(), "Replace this -> "); }},
        {"Ctrl+Z", toolsMenu, {"Undo"}, [] { press(Qt::Key_X); QApplication::processEvents(); EXPECT_TRUE(document.edited); },
         [] {
             // The program's Undo, not the editor's own: back at the stored text it marks the
             // document unchanged.
             EXPECT_EQ(paneText(), source);
             EXPECT_FALSE(document.edited);
             EXPECT_EQ(mainTitle(), documentTitle());
         }},
        {"Ctrl+F7", executeMenu, {"Compile current file"}, [] { fileDirectory = "/"; },
         [&] { EXPECT_EQ(firstNoticeLine(), " COULD NOT START TO COMPILE BECAUSE: "); }},
        {"Ctrl+F5", executeMenu, {"Run in foreground"}, [&] { fileDirectory = workingDirectory; typed.clear(); },
         [&] { EXPECT_NE(typed.all().find("prog"), std::string::npos) << typed.all(); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.keys);
        const QKeySequence keys(QString::fromLatin1(row.keys));
        QAction *item = menuFindItem(row.menu, row.path);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->shortcut(), keys); // shown in the menu's shortcut column
        EXPECT_EQ(menuItemLabel(item), row.path.back());
        textPane->setFocus();
        textsw_set_selection(textPane, 0, 0, TEXTSW_SEL_PRIMARY);
        QApplication::clipboard()->clear(QClipboard::Selection);
        if (row.before)
            row.before();
        press(keys[0] & ~Qt::KeyboardModifierMask, Qt::KeyboardModifiers(keys[0] & Qt::KeyboardModifierMask));
        row.check();
        closeToolPrompt();
        destroyFileDialog();
        QApplication::processEvents();
        activateMain();
    }
    // The pop-up menus show the keys of their items too.
    EXPECT_EQ(menuFindItem(textToolsMenu, {"Undo"})->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(menuFindItem(compilerToolsMenu, {"Compile current file"})->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+F7")));
    EXPECT_TRUE(notices.errors().empty());
}

TEST_F(KeyboardTest, WithTheTerminalFocusedOnlyFunctionKeysAreShortcuts)
{
    build();
    terminalDisplay()->setFocus();
    const std::string reader = "stty raw -echo; touch ready; dd bs=1 count=5 of=keys 2>/dev/null; stty sane\n";
    ttysw_input(terminalPane, reader.data(), static_cast<int>(reader.size()));
    ASSERT_TRUE(waitUntil([&] { return access(dir.file("ready").c_str(), F_OK) == 0; }));
    searchString = "b;";
    textsw_set_insertion_point(textPane, 0);
    press(Qt::Key_C, Qt::ControlModifier);
    press(Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_F3);
    press(Qt::Key_S, Qt::ControlModifier);
    press(Qt::Key_R, Qt::ControlModifier);
    press(Qt::Key_Q, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return readFile(dir.file("keys")).size() >= 5; }));
    EXPECT_EQ(readFile(dir.file("keys")), "\x03\x1A\x13\x12\x11");
    EXPECT_TRUE(notices.shown().empty()); // neither Save's nor QUIT's notice
    EXPECT_EQ(selection(), std::make_pair(11L, 13L)); // F3 found in the editor
    EXPECT_EQ(QApplication::focusWidget(), terminalDisplay());
}

TEST_F(KeyboardTest, FileNameWithTheModifiedMarkAndDescriptionWithAnAmpersandShowAsWritten)
{
    writeFile(dir.file("a[*].c"), source);
    strcpy(configurationTable[3].description, "C & C++");
    build("a[*].c");
    const std::string loaded = std::string(configurationTable[currentConfiguration].description) + ": <a[*].c>";
    EXPECT_EQ(mainFrame->windowHandle()->title().toStdString(), loaded);
    EXPECT_EQ(mainTitle(), loaded);

    QAction *item = menuFindItem(optionsMenu, {"Choose configuration", "C & C++"});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->iconText(), QStringLiteral("C & C++"));
    item->trigger();
    EXPECT_EQ(mainFrame->windowHandle()->title(), QStringLiteral("C & C++: <a[*].c>"));
    press(Qt::Key_X);
    QApplication::processEvents();
    EXPECT_EQ(mainFrame->windowHandle()->title(), QStringLiteral("C & C++: <a[*].c> - edited"));
}

} // namespace
