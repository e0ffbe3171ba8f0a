// Running the target and breaking it.
#include "compilerfixture.h"

#include "compiler/running.h"
#include "documents/filedialog.h"
#include "documents/filedialogstate.h"

namespace {

using RunTest = CompilerWindowTest;

TEST_F(RunTest, TypesTheTargetCallAndBreaksIt)
{
    openFile("prog.c", "int x;\n");
    runInBackground();
    runInForeground();
    snprintf(configurationTable[0].targetExtension, 256, ".out");
    runInForeground();
    breakExecution();
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"./prog &", "\n", "./prog", "\n", "./prog.out", "\n",
                                                        std::string("\x03\n", 2)}));
}

TEST_F(RunTest, WithoutAFileOrInAnotherDirectoryShowsTheNoticeThenTheOpenDialog)
{
    textsw_set_contents(textPane, "", 0);
    document.fileName.clear();
    int dialogs = 0; // open dialogs: none while a notice shows, one after it
    notices.setResponder([&](const NoticeRecord &record) {
        dialogs += fileDialog != nullptr;
        return record.buttons.front();
    });
    auto refuse = [&] {
        for (void (*action)() : {runInBackground, startCompile}) {
            action();
            dialogs -= fileDialog != nullptr;
            destroyFileDialog();
        }
    };
    refuse();
    openFile("prog.c", "int x;\n");
    workingDirectory = "/";
    refuse();
    ASSERT_EQ(notices.shown().size(), 4u);
    EXPECT_EQ(notices.shown()[0].lines[0], " COULD NOT START TO EXECUTE BECAUSE: ");
    EXPECT_EQ(notices.shown()[1].lines[3], "             file edited             ");
    EXPECT_EQ(notices.shown()[1].buttons, std::vector<std::string>{" Open file "});
    EXPECT_EQ(notices.shown()[2].buttons, std::vector<std::string>{" Change path  "});
    EXPECT_EQ(notices.shown()[3].lines[0], " COULD NOT START TO COMPILE BECAUSE: ");
    EXPECT_EQ(notices.shown()[3].buttons, std::vector<std::string>{" Change path "});
    EXPECT_TRUE(typed.inputs().empty() && resultsWindow == nullptr);
    showOpenDialog();
    if (!fileDialog)
        GTEST_SKIP() << "the open dialog is not part of this build yet";
    destroyFileDialog();
    EXPECT_EQ(dialogs, -4);
}

} // namespace
