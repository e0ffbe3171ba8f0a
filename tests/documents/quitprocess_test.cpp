// The real program under the virtual display, driven through the X server as a user drives it.
#include "support/realprogram.h"

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

} // namespace
