// The results window stays in view: above the main frame under a real window manager while the
// user steps from message to message, and first shown where it hides neither the terminal nor
// the line selected in the editor.
#include "compilerfixture.h"
#include "windowmanager.h"

#include "support/realprogram.h"
#include "toolkit/terminalpane.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using ResultsPlacementTest = CompilerWindowTest;

TEST_F(ResultsPlacementTest, FirstShownWhereItHidesNeitherTheTerminalNorTheSelectedLine)
{
    mainFrame->move(0, 0);
    openFile("prog.c", "line 1\nline 2\nline 3\nline 4\n");
    textsw_set_selection(textPane, 7, 14, TEXTSW_SEL_PRIMARY); // line 2, as a step selects it
    writeFile(path("messages.txt"), "prog.c:2: error: one\n");
    compile("sh prints.sh messages.txt");
    ASSERT_NE(resultsWindow, nullptr);
    ASSERT_TRUE(waitUntil([] { return resultsWindow->isVisible(); }));
    const QRect results = resultsWindow->frameGeometry();
    EXPECT_FALSE(results.intersects(QRect(terminalPane->mapToGlobal(QPoint(0, 0)), terminalPane->size())));
    const QRect line = textsw_line_rect(textPane, 7);
    ASSERT_FALSE(line.isEmpty());
    EXPECT_FALSE(results.intersects(QRect(textPane->mapToGlobal(line.topLeft()), line.size())));
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(results));
}

// Waits up to ten seconds for `done`, without an event loop of its own: the program runs apart.
template <typename Condition>
bool waitFor(Condition done)
{
    for (int tries = 0; tries < 100; ++tries) {
        if (done())
            return true;
        usleep(100000);
    }
    return done();
}

// The real program under openbox: each F8 selects the message's line in the main frame, which
// takes the keyboard, and the results window stays above it.
TEST(ResultsStacking, StepsLeaveTheResultsWindowAboveTheMainFrame)
{
    WindowManager windowManager;
    ASSERT_TRUE(WindowManager::runs()) << "openbox is needed: run scripts/install-deps";
    TempDir home;
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    writeFile(home.file("prog.c"), "int main(void)\n{\n    int a = undefined_one;\n    int b = undefined_two;\n"
                                   "    int c = undefined_three;\n    return a + b + c;\n}\n");
    RunningTsl tsl(home, "prog.c");
    const std::string mainId = xdotool("search --sync --onlyvisible --name '^C [(]gcc[)]: <prog.c>$'");
    ASSERT_FALSE(mainId.empty());
    const unsigned long main = std::stoul(mainId);
    xdotool("windowactivate --sync " + std::to_string(main) + " key ctrl+F7");
    const std::string resultsId = xdotool("search --sync --onlyvisible --name '^Compiler Results$'");
    ASSERT_FALSE(resultsId.empty());
    const unsigned long results = std::stoul(resultsId);
    EXPECT_TRUE(waitFor([&] { return stackedAbove(results, main); }));

    // F8 in the results window, as soon as the compile has ended and there is a message.
    const auto stepFromResults = [&] {
        for (int tries = 0; tries < 40 && activeWindow() != main; ++tries) {
            xdotool("windowactivate --sync " + std::to_string(results) + " key F8");
            usleep(250000);
        }
        return activeWindow() == main;
    };
    ASSERT_TRUE(stepFromResults());
    usleep(300000);
    EXPECT_TRUE(stackedAbove(results, main)) << "first step";
    xdotool("key F8"); // in the main frame
    usleep(500000);
    EXPECT_EQ(activeWindow(), main);
    EXPECT_TRUE(stackedAbove(results, main)) << "second step";
    ASSERT_TRUE(stepFromResults());
    usleep(300000);
    EXPECT_TRUE(stackedAbove(results, main)) << "third step";

    // A click into the main frame's text does not hide it either.
    const std::string clickText = xdotool("getwindowgeometry --shell " + std::to_string(main));
    int x = 0, y = 0;
    ASSERT_EQ(sscanf(clickText.c_str(), "WINDOW=%*d X=%d Y=%d", &x, &y), 2) << clickText;
    xdotool("mousemove --sync " + std::to_string(x + 300) + " " + std::to_string(y + 100) + " click 1");
    usleep(500000);
    EXPECT_EQ(activeWindow(), main);
    EXPECT_TRUE(stackedAbove(results, main)) << "click";
}

} // namespace
