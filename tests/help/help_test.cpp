#include "documents/document.h"
#include "documents/documentactions.h"
#include "help/help.h"
#include "support/mainwindowfixture.h"
#include "toolkit/imagebutton.h"
#include "toolkit/terminalpane.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QPlainTextEdit>

#include <cstring>

namespace {

// The real main window with help texts of its own, built for each test in a temporary directory.
class Help : public MainWindowFixture {
protected:
    void SetUp() override
    {
        enterDirectory(dir.path());
        useConfigurations({{0, "C", ".c"}, {plainFileConfiguration, "File", ".."}});
        strcpy(helpTexts.aboutText, "About text\nsecond line\n");
        strcpy(helpTexts.introductionText, "Introduction\n");
        strcpy(helpTexts.summaryText, "Summary text\n");
        generalSettings = {0, 0, 0, 0, 800, 600, 0, 0, nullptr, nullptr, 0, 0, 8, 40, 12, 0, 0, 1};
        buildWindow();
        fileDirectory = workingDirectory = dir.path();
    }
    void TearDown() override
    {
        closeHelpWindow();
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        leaveDirectory();
    }
    static QString helpTitle() { return helpWindow ? helpWindow->windowTitle() : QString(); }
    static QString helpText() { return helpTextField() ? helpTextField()->toPlainText() : QString(); }
    static ImageButton *closeButton() { return helpWindow->findChild<ImageButton *>("HelpCloseButton"); }

    TempDir dir;
    TerminalInputRecorder typed{false};
};

TEST_F(Help, OneHelpWindowAtATimeUntilItsCloseButton)
{
    showHelpText(aboutHelp);
    ASSERT_TRUE(helpWindow);
    EXPECT_EQ(helpTitle(), "Help: About this Lumbrel");
    EXPECT_EQ(helpText(), "About text\nsecond line\n");
    QWidget *about = helpWindow;

    showHelpText(summaryHelp);
    showHelpText(introductionHelp);
    EXPECT_EQ(helpWindow, about);
    EXPECT_EQ(helpTitle(), "Help: About this Lumbrel");

    ASSERT_TRUE(closeButton());
    EXPECT_TRUE(closeButton()->press());
    EXPECT_EQ(helpWindow, nullptr);
    showHelpText(summaryHelp);
    EXPECT_EQ(helpTitle(), "Help: Summary");
    EXPECT_EQ(helpText(), "Summary text\n");
}

TEST_F(Help, AWindowClosedByTheWindowManagerCountsAsClosed)
{
    showHelpText(introductionHelp);
    EXPECT_EQ(helpTitle(), "Help: Quick Introduction");
    EXPECT_EQ(helpText(), "Introduction\n");
    helpWindow->close();
    EXPECT_EQ(helpWindow, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    showHelpText(aboutHelp);
    EXPECT_EQ(helpTitle(), "Help: About this Lumbrel");
}

// The field shows helpTextRows rows of helpTextColumns characters, in a fixed-pitch font so that
// the texts' columns line up.
TEST_F(Help, TheTextFieldShowsTheConfiguredRowsAndColumns)
{
    showHelpText(aboutHelp);
    QPlainTextEdit *field = helpTextField();
    ASSERT_TRUE(field);
    const QFontMetrics metrics(field->font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    const QRect view = field->viewport()->rect();
    EXPECT_GE(view.width(), 40 * metrics.horizontalAdvance('n'));
    EXPECT_LT(view.width(), 42 * metrics.horizontalAdvance('n'));
    EXPECT_GE(view.height(), 12 * metrics.lineSpacing());
    EXPECT_LT(view.height(), 13 * metrics.lineSpacing());
}

TEST_F(Help, TheProductNoticeShowsItsEightLinesAndOneButton)
{
    showProductNotice();
    ASSERT_EQ(notices.shown().size(), 1u);
    const NoticeRecord &notice = notices.shown()[0];
    EXPECT_EQ(notice.lines, (std::vector<std::string>{"      --------------------------      ", "Vantrel",
                                                      "Tessa-Lumbrel", "Version 3.0", "-------------------------", "",
                                                      "See Help, About for more info", ""}));
    EXPECT_EQ(notice.buttons, (std::vector<std::string>{"   Ok   "}));
    EXPECT_EQ(notice.owner, mainFrame);
}

TEST_F(Help, HomePageOffersToSaveThenTypesTheBrowserCommand)
{
    writeFile(dir.file("prog.c"), "int x;\n");
    document.fileName = "prog.c";
    openDocument();
    type("y");
    size_t noticesWhenTyped = 0;
    typed.setCallback([&](TerminalPane *, const std::string &) {
        if (noticesWhenTyped == 0)
            noticesWhenTyped = notices.shown().size();
    });
    notices.press("Don't save");
    openHomePage();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines.back(), "Save this file ?");
    EXPECT_EQ(noticesWhenTyped, 1u);
    EXPECT_EQ(typed.inputs(),
              (std::vector<std::string>{std::string("netscape -remote 'openURL(") + homePageUrl + ")'", "\n"}));
}

} // namespace

TEST_F(Help, DamagedOrHugeFieldSizesStillGiveAReadableWindowOnTheScreen)
{
    const QRect screen = QApplication::primaryScreen()->geometry();
    for (auto [columns, rows] : {std::pair{0, 0}, std::pair{16777215, 16777215}}) {
        generalSettings.helpTextColumns = columns;
        generalSettings.helpTextRows = rows;
        showHelpText(aboutHelp);
        ASSERT_TRUE(helpTextField());
        const QSize size = helpTextField()->size();
        EXPECT_GT(size.width(), 200) << columns;
        EXPECT_GT(size.height(), 100) << columns;
        EXPECT_LE(size.width(), screen.width()) << columns;
        EXPECT_LE(size.height(), screen.height()) << columns;
        closeHelpWindow();
    }
}
