// The real program under the virtual display, driven through the X server as a user drives it.
#include "support/realprogram.h"

#include <sys/stat.h>

namespace {

TEST(QuitProcess, FarewellAndStatusZeroAfterDontSave)
{
    TempDir home;
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    writeFile(home.file("a.c"), "int main() { return 0; }\n");
    RunningTsl tsl(home, "a.c");
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c>$'"), "");
    xdotool("mousemove 400 300 click 1 type x");
    EXPECT_NE(xdotool("search --sync --onlyvisible --name '<a.c> - edited$'"), "");
    const std::string reallyQuit = chooseQuit();
    EXPECT_NE(noticeOtherThan(reallyQuit), "");
    xdotool("key Tab space"); // "Don't save"

    const int status = tsl.waitForEnd();
    EXPECT_NE(status, -1) << "tsl did not end";
    const std::string printed = tsl.printed(), farewell = "\nThanks for using tsl.\n";
    EXPECT_EQ(printed.substr(printed.size() - std::min(printed.size(), farewell.size())), farewell);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(home.file("a.c")), "int main() { return 0; }\n");
}

// The file's folder goes away while it is edited: "SAVE" fails, a notice says so, and QUIT
// leaves the program running with the text; a second QUIT whose save is declined ends it.
TEST(QuitProcess, FailedSaveKeepsTheProgramRunning)
{
    TempDir home;
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    mkdir(home.file("sub").c_str(), 0755);
    writeFile(home.file("sub/a.c"), "int main() { return 0; }\n");
    RunningTsl tsl(home, "sub/a.c");
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<sub/a.c>$'"), "");
    xdotool("mousemove 400 300 click 1 type x");
    EXPECT_NE(xdotool("search --sync --onlyvisible --name '<sub/a.c> - edited$'"), "");
    ASSERT_EQ(system(("rm -rf '" + home.file("sub") + "'").c_str()), 0);

    const std::string reallyQuit = chooseQuit();
    const std::string saveQuestion = noticeOtherThan(reallyQuit);
    ASSERT_NE(saveQuestion, "");
    xdotool("key Return"); // "SAVE", the default
    const std::string failure = noticeOtherThan(saveQuestion);
    ASSERT_NE(failure, "") << "no notice of the failed store";
    xdotool("key Return"); // "Ok"
    usleep(1000000);
    EXPECT_TRUE(tsl.running()) << "QUIT ended the program after a failed store";
    EXPECT_NE(xdotool("search --onlyvisible --name '<sub/a.c> - edited$'"), "");

    const std::string secondQuit = chooseQuit();
    EXPECT_NE(noticeOtherThan(secondQuit), "");
    xdotool("key Tab space"); // "Don't save"
    const int status = tsl.waitForEnd();
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

} // namespace
