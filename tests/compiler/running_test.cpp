// Running the target and breaking it: what is typed into the terminal, and the refusals.
#include "compilerfixture.h"

#include "documents/filedialogstate.h"

namespace {

using RunTest = CompilerWindowTest;

TEST_F(RunTest, TypesTheTargetCallInTheBackgroundOrTheForeground)
{
    openFile("prog.c", "int x;\n");
    runInBackground();
    runInForeground();
    snprintf(configurationTable[0].targetExtension, 256, ".out");
    runInForeground();
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"./prog &", "\n", "./prog", "\n", "./prog.out", "\n"}));

    typed.clear();
    breakExecution();
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{std::string("\x03\n", 2)});

    typed.clear();
    currentConfiguration = plainFileConfiguration;
    runInForeground();
    startCompile();
    currentConfiguration = 0;
    configurationTable[0].targetCall[0] = '\0';
    runInForeground();
    EXPECT_TRUE(typed.inputs().empty());
    EXPECT_TRUE(notices.shown().empty());
}

// Whether the open dialog has been built into the program yet.
bool openDialogAvailable()
{
    showOpenDialog();
    const bool shown = fileDialog != nullptr;
    destroyFileDialog();
    return shown;
}

TEST_F(RunTest, WithoutAFileOrInAnotherDirectoryShowsTheNoticeThenTheOpenDialog)
{
    textsw_set_contents(textPane, "", 0);
    document.fileName.clear();
    bool dialogWhileNotice = false;
    notices.setResponder([&](const NoticeRecord &record) {
        dialogWhileNotice = dialogWhileNotice || fileDialog != nullptr;
        return record.buttons.front();
    });
    runInForeground();
    destroyFileDialog();
    startCompile();
    ASSERT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(notices.shown()[0].lines[0], " COULD NOT START TO EXECUTE BECAUSE: ");
    EXPECT_EQ(notices.shown()[0].lines[3], "             file edited             ");
    EXPECT_EQ(notices.shown()[1].lines[0], " COULD NOT START TO COMPILE BECAUSE: ");
    EXPECT_EQ(notices.shown()[1].buttons, std::vector<std::string>{" Open file "});
    EXPECT_FALSE(dialogWhileNotice);
    destroyFileDialog();

    notices.clear();
    openFile("prog.c", "int x;\n");
    workingDirectory = "/";
    runInBackground();
    startCompile();
    ASSERT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{" Change path  "});
    EXPECT_EQ(notices.shown()[1].buttons, std::vector<std::string>{" Change path "});
    EXPECT_EQ(notices.shown()[1].lines[3], "          is different from          ");
    EXPECT_TRUE(typed.inputs().empty());
    EXPECT_EQ(resultsWindow, nullptr);
    const bool dialogShown = fileDialog != nullptr;
    destroyFileDialog();
    if (!dialogShown && !openDialogAvailable())
        GTEST_SKIP() << "the open dialog is not part of this build yet";
    EXPECT_TRUE(dialogShown);
}

} // namespace
