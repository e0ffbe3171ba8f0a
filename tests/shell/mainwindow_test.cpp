#include "compiler/compilestate.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "shell/logo.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "support/mainwindowfixture.h"
#include "toolkit/imagebutton.h"
#include "toolkit/menus.h"
#include "toolkit/notice.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "toolkit/xdrawing.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Builds the real main window in a temporary working directory, in each test.
class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        useDefaultConfiguration();
        generalSettings.mainFrameWidth = 800;
        generalSettings.mainFrameHeight = 600;
        chmod(dir.path().c_str(), 0755);
        enterDirectory(dir.path());
    }
    void TearDown() override
    {
        destroyMainWindow();
        compileLock = false;
        leaveDirectory();
    }
    void build(const char *argument)
    {
        testing::internal::CaptureStdout();
        buildWindow(argument);
        startupOutput = testing::internal::GetCapturedStdout();
        QApplication::processEvents();
    }
    static std::string title() { return mainTitle(); }

    TempDir dir;
    std::string startupOutput;
};

TEST_F(MainWindowTest, StartsWithoutAFile)
{
    build(nullptr);
    EXPECT_EQ(document.fileName, "");
    EXPECT_EQ(title(), "Vantrel Tessa Lumbrel");
    EXPECT_EQ(textsw_length(textPane), 0);
    EXPECT_FALSE(document.edited);
    EXPECT_EQ(startupOutput, "");
    EXPECT_EQ(workingDirectory, dir.path());
    EXPECT_EQ(fileDirectory, dir.path());
}

TEST_F(MainWindowTest, CommandLineNameLosesTheWorkingDirectoryPrefixOnly)
{
    ASSERT_EQ(mkdir(dir.file("src").c_str(), 0755), 0);
    writeFile(dir.file("src/a.c"), "int a;\n");
    build((dir.path() + "/src/a.c").c_str());
    EXPECT_EQ(document.fileName, "src/a.c");
    EXPECT_EQ(title(), "C (gcc): <src/a.c>");
    EXPECT_EQ(document.matchedExtension, ".c");
    destroyMainWindow();

    // A directory whose name merely begins like the working directory keeps the whole name.
    TempDir sibling;
    const std::string other = dir.path() + "ex";
    ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
    writeFile(other + "/a.c", "int b;\n");
    build((other + "/a.c").c_str());
    EXPECT_EQ(document.fileName, other + "/a.c");
    EXPECT_EQ(textsw_contents(textPane, 0, 100), "int b;\n");
    unlink((other + "/a.c").c_str());
    rmdir(other.c_str());
}

TEST_F(MainWindowTest, ReadOnlyAndMissingFiles)
{
    writeFile(dir.file("fixed.c"), "const int x = 1;\n");
    chmod(dir.file("fixed.c").c_str(), 0444);
    {
        OrdinaryUserFileAccess asUser;
        build("fixed.c");
    }
    EXPECT_EQ(title(), "C (gcc): <fixed.c> - readonly");
    EXPECT_FALSE(document.readOnly);
    EXPECT_TRUE(textsw_read_only(textPane));
    EXPECT_EQ(textsw_insert(textPane, "x", 1), 0);
    destroyMainWindow();

    // A name in a directory that does not exist: no file, no message.
    build("nowhere/missing.c");
    EXPECT_EQ(document.fileName, "");
    EXPECT_EQ(title(), "Vantrel Tessa Lumbrel");
    EXPECT_TRUE(notices.shown().empty());
    EXPECT_EQ(startupOutput, "");
}

TEST_F(MainWindowTest, ANewFileNamedAtStartIsCreatedBySave)
{
    build("new.c");
    EXPECT_EQ(document.fileName, "new.c");
    EXPECT_EQ(title(), "C (gcc): <new.c>");
    EXPECT_EQ(textsw_length(textPane), 0);
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_NE(access(dir.file("new.c").c_str(), F_OK), 0); // not made before it is saved
    mainFrame->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == mainFrame; }));
    textPane->setFocus();
    QTest::keyClicks(textPane, "int x;");
    QTest::keyClick(textPane, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(title(), "C (gcc): <new.c> - edited");
    QTest::keyClick(textPane, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readFile(dir.file("new.c")), "int x;\n");
    EXPECT_EQ(title(), "C (gcc): <new.c>");
    EXPECT_TRUE(notices.shown().empty());
}

TEST_F(MainWindowTest, MissingMainFontIsReportedOnce)
{
    free(generalSettings.mainFontName);
    generalSettings.mainFontName = strdup("-nobody-nofont-medium-r-normal--13-*");
    build(nullptr);
    EXPECT_EQ(startupOutput, "Configuration's font not found, using standard\n");
}

TEST_F(MainWindowTest, TitleAndSaveButtonFollowTheDocument)
{
    writeFile(dir.file("prog.c"), "int main;\n");
    build("prog.c");
    ASSERT_NE(saveButton, nullptr);
    EXPECT_TRUE(saveButton->isInactive());

    type("x");
    EXPECT_EQ(title(), "C (gcc): <prog.c> - edited");
    EXPECT_TRUE(document.edited);
    EXPECT_FALSE(saveButton->isInactive());

    saveDocument();
    EXPECT_EQ(readFile(dir.file("prog.c")), "xint main;\n");
    EXPECT_EQ(title(), "C (gcc): <prog.c>");
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_FALSE(document.edited);

    saveDocument(); // nothing modified
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines,
              (std::vector<std::string>{"Text has not been modified,  or", "no file name specified"}));
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{"Ok"});

    type("y");
    notices.press("Don't save");
    offerToSave();
    EXPECT_EQ(notices.shown().back().lines,
              (std::vector<std::string>{"C (gcc): <prog.c> - edited", "Save this file ?"}));
    EXPECT_EQ(title(), "C (gcc): <prog.c> - edited");
    EXPECT_EQ(readFile(dir.file("prog.c")), "xint main;\n");

    notices.press("SAVE");
    offerToSave();
    EXPECT_EQ(readFile(dir.file("prog.c")), "xyint main;\n");
    EXPECT_EQ(title(), "C (gcc): <prog.c>");
    EXPECT_TRUE(saveButton->isInactive());
}

TEST_F(MainWindowTest, SaveWithoutAFileAsksNothingButTheNotice)
{
    build(nullptr);
    type("text");
    saveDocument();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines[1], "no file name specified");
    offerToSave(); // no file: nothing asked
    EXPECT_EQ(notices.shown().size(), 1u);
}

TEST_F(MainWindowTest, RelayoutRebuildsPanelAndLogoByTheRules)
{
    build(nullptr);
    workArea->resize(800, 500);
    QApplication::processEvents();
    ASSERT_NE(buttonPanel, nullptr);
    EXPECT_EQ(buttonPanel->width(), 34);
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_EQ(textPane->geometry(), QRect(34, 0, 766, 400));
    ASSERT_NE(logoCanvas, nullptr);
    EXPECT_EQ(logoCanvas->geometry(), QRect(0, 400, 153, 100));
    // The divider strip above the terminal, beside the logo.
    EXPECT_EQ(terminalPane->geometry(), QRect(153, 405, 647, 95));

    toggleTerminal();
    EXPECT_EQ(logoCanvas, nullptr);
    EXPECT_TRUE(terminalPane->isHidden());
    EXPECT_EQ(textPane->height(), 500);
    EXPECT_EQ(buttonPanel->height(), 500);

    toggleButtonPanel();
    EXPECT_EQ(buttonPanel, nullptr);
    EXPECT_EQ(textPane->geometry(), QRect(0, 0, 800, 500));

    toggleTerminal();
    toggleButtonPanel();
    EXPECT_NE(logoCanvas, nullptr);
    EXPECT_FALSE(terminalPane->isHidden());
    EXPECT_EQ(textPane->height(), 400);
}

TEST_F(MainWindowTest, TheDividerMovesTheBorderAndEachPaneKeepsTwoLines)
{
    build(nullptr);
    workArea->resize(800, 500);
    QApplication::processEvents();
    QWidget *divider = workArea->findChild<QWidget *>("Divider");
    ASSERT_NE(divider, nullptr);
    EXPECT_EQ(divider->geometry(), QRect(153, 400, 647, 5)); // where the text pane ends
    // Takes the strip two pixels below its top and lets it go with its top at `top`.
    const auto dragTo = [divider](int top) {
        const auto send = [divider](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
            QMouseEvent event(type, divider->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(divider, &event);
        };
        send(QEvent::MouseButtonPress, divider->mapToGlobal(QPoint(100, 2)), Qt::LeftButton);
        send(QEvent::MouseMove, workArea->mapToGlobal(QPoint(300, (divider->y() + top) / 2 + 2)), Qt::LeftButton);
        send(QEvent::MouseMove, workArea->mapToGlobal(QPoint(300, top + 2)), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, workArea->mapToGlobal(QPoint(300, top + 2)), Qt::NoButton);
        QApplication::processEvents();
    };
    dragTo(300);
    // The panel beside the text pane follows its height: two columns below 400 pixels.
    EXPECT_EQ(textPane->geometry(), QRect(68, 0, 732, 300));
    EXPECT_EQ(buttonPanel->height(), 300);
    EXPECT_EQ(logoCanvas->geometry(), QRect(0, 300, 153, 200));
    EXPECT_EQ(divider->geometry(), QRect(153, 300, 647, 5));
    EXPECT_EQ(terminalPane->geometry(), QRect(153, 305, 647, 195));

    // The row below keeps its height when the frame grows, and when the terminal comes back.
    workArea->resize(800, 600);
    EXPECT_EQ(terminalPane->geometry(), QRect(184, 405, 616, 195));
    toggleTerminal();
    toggleTerminal();
    EXPECT_EQ(terminalPane->geometry(), QRect(184, 405, 616, 195));

    // Dragged to either end, each pane keeps two lines.
    dragTo(0);
    EXPECT_GE(textPane->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN), 2);
    EXPECT_LT(textPane->height(), 300);
    dragTo(600);
    EXPECT_GE(terminalPane->screenLinesCount(), 2);
    EXPECT_LT(terminalPane->height(), 100);
    EXPECT_EQ(divider->y(), textPane->height());
}

TEST_F(MainWindowTest, LockedCompileRebuildsButtonsBusyAndInactive)
{
    build(nullptr);
    type("edited");
    ASSERT_TRUE(configurationTable[currentConfiguration].disableSaveWhileCompiling());
    compileLock = true;
    layoutWorkArea();
    EXPECT_TRUE(compileButton->isBusy());
    EXPECT_TRUE(runButton->isInactive());
    EXPECT_TRUE(runForegroundButton->isInactive());
    EXPECT_TRUE(saveButton->isInactive());
    compileLock = false;
    layoutWorkArea();
    EXPECT_FALSE(compileButton->isBusy());
    EXPECT_FALSE(saveButton->isInactive());
}

TEST_F(MainWindowTest, NewFrameTypesIntoTheHiddenTerminal)
{
    build(nullptr);
    toggleTerminal();
    TerminalInputRecorder typed(false);
    QAction *item = menuItems(fileMenu).at(0);
    EXPECT_EQ(item->text(), "New frame");
    item->trigger();
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{"tsl &\n"});
}

TEST_F(MainWindowTest, MenusCarryTheirLabelsAndValues)
{
    strcpy(configurationTable[5].description, "Slot five");
    build(nullptr);
    auto labels = [](QMenu *menu) {
        std::vector<std::string> result;
        for (QAction *item : menuItems(menu))
            result.push_back(item->text().toStdString());
        return result;
    };
    EXPECT_EQ(labels(fileMenu), (std::vector<std::string>{"New frame", "Clear window", "Open", "Save", "Save as",
                                                           "Print", "Formatted print", "QUIT"}));
    EXPECT_EQ(labels(toolsMenu),
              (std::vector<std::string>{"Line number", "Undo all", "Undo", "Find", "Find next", "Replace", "Special",
                                        "Cut string", "Copy string", "Insert string"}));
    EXPECT_EQ(labels(executeMenu), (std::vector<std::string>{"Compile current file", "Run Xwin application",
                                                              "Run in foreground", "Break execution"}));
    EXPECT_EQ(labels(terminalToolsMenu), (std::vector<std::string>{"Grep", "Copy string", "Insert string"}));
    QMenu *choose = menuItems(optionsMenu).at(1)->menu();
    ASSERT_NE(choose, nullptr);
    const QList<QAction *> items = menuItems(choose);
    ASSERT_EQ(items.size(), 24);
    EXPECT_EQ(items.at(5)->text(), "Slot five");
    EXPECT_EQ(menuItemValue(items.at(5)), 5);
    EXPECT_EQ(items.at(23)->text(), "");
    EXPECT_EQ(menuItemValue(menuItems(menuItems(toolsMenu).at(3)->menu()).at(1)), 1); // searching backward
}

TEST_F(MainWindowTest, LogoIsDrawnInTheColourTable)
{
    build(nullptr);
    mainFrame->resize(800, 700 + menuBarHeight); // logo canvas 215 wide: the drawing at scale 1
    ASSERT_NE(logoCanvas, nullptr);
    // Wait (bounded) until the X server shows the canvas, then draw it and read the screen back.
    QImage image;
    for (int attempt = 0; attempt < 50; ++attempt) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        logoCanvas->repaint();
        image = QGuiApplication::primaryScreen()->grabWindow(logoCanvas->winId()).toImage();
        if (image.pixelColor(image.width() - 2, image.height() - 2) == QColor(255, 255, 255))
            break;
        usleep(20000);
    }
    // The dark panel (colour 15) behind the name, and white at the bottom right corner.
    EXPECT_EQ(image.pixelColor(100, 120), QColor(0, 0, 64));
    EXPECT_EQ(image.pixelColor(logoCanvas->width() - 2, logoCanvas->height() - 2), QColor(255, 255, 255));
}

} // namespace
