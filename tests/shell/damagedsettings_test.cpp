// The real program started with damaged or absurd window sizes: it must still show a usable
// window that QUIT ends.
#include "support/realprogram.h"

#include <regex>

namespace {

std::string shippedWithFrameSize(const std::string &size)
{
    std::string text = readFile(TSL_SOURCE_DIR "/share/tsl/tslrc");
    const std::size_t at = text.find("#1000x760");
    EXPECT_NE(at, std::string::npos);
    return text.replace(at, 9, "#" + size);
}

// Starts tsl with `configuration`, checks its window's size, then quits through the menu.
void startShowAndQuit(const std::string &configuration, int expectedWidth, int expectedHeight)
{
    TempDir home;
    writeFile(home.file(".tslrc"), configuration);
    RunningTsl tsl(home);
    const std::string window = xdotool("search --sync --onlyvisible --name '^Vantrel Tessa Lumbrel$'");
    ASSERT_NE(window, "") << "no window shown";
    std::smatch size;
    const std::string geometry = xdotool("getwindowgeometry " + window);
    ASSERT_TRUE(std::regex_search(geometry, size, std::regex("Geometry: ([0-9]+)x([0-9]+)"))) << geometry;
    EXPECT_EQ(std::stoi(size[1]), expectedWidth);
    EXPECT_EQ(std::stoi(size[2]), expectedHeight);

    EXPECT_NE(chooseQuit(), "");
    const int status = tsl.waitForEnd();
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "QUIT did not end tsl: " << status;
    EXPECT_NE(tsl.printed().find("Thanks for using tsl."), std::string::npos);
}

// The virtual display is 1280 x 1024.
TEST(DamagedSettings, ZeroFrameSizeTakesTheDefault)
{
    startShowAndQuit(shippedWithFrameSize("0x0"), 1000, 760);
}

TEST(DamagedSettings, FileWithoutHeaderStillShowsAWindow)
{
    startShowAndQuit("no settings at all\n", 1000, 760);
}

TEST(DamagedSettings, HugeFrameSizeIsBoundedByTheScreen)
{
    startShowAndQuit(shippedWithFrameSize("16777215x16777215"), 1280, 1024);
}

} // namespace
