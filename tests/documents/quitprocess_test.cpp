// The real program under the virtual display, driven through the X server as a user drives it:
// xdotool moves the pointer, clicks and presses keys.
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string xdotool(const std::string &arguments)
{
    FILE *out = popen(("timeout 20 xdotool " + arguments + " 2>/dev/null").c_str(), "r");
    std::string text;
    for (int c; out && (c = fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    if (out)
        pclose(out);
    return text;
}

// Waits for a notice window other than `previous` and returns its id ("" after 20 seconds).
std::string noticeOtherThan(const std::string &previous)
{
    for (int tries = 0; tries < 100; ++tries) {
        const std::string id = xdotool("search --onlyvisible --name '^Notice$'");
        if (!id.empty() && id != previous)
            return id;
        usleep(200000);
    }
    return "";
}

TEST(QuitProcess, FarewellAndStatusZeroAfterDontSave)
{
    ASSERT_EQ(system("command -v xdotool >/dev/null"), 0) << "xdotool is missing: run scripts/install-deps";
    TempDir home;
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    writeFile(home.file("a.c"), "int main() { return 0; }\n");
    const pid_t tsl = fork();
    if (tsl == 0) {
        const int out = open(home.file("out").c_str(), O_WRONLY | O_CREAT, 0644);
        if (out < 0 || dup2(out, 1) < 0 || chdir(home.path().c_str()) != 0)
            _exit(126);
        setenv("HOME", home.path().c_str(), 1);
        setenv("HISTFILE", "", 1);
        execl(TSL_BINARY, "tsl", "a.c", (char *)nullptr);
        _exit(127);
    }
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c>$'"), "");
    xdotool("mousemove 400 300 click 1 type x");
    EXPECT_NE(xdotool("search --sync --onlyvisible --name '<a.c> - edited$'"), "");
    xdotool("mousemove 20 12 click 1 sleep 0.5 key Up Return"); // the File menu's last item: QUIT
    const std::string reallyQuit = noticeOtherThan("");
    xdotool("key Return"); // "Quit", the default
    EXPECT_NE(noticeOtherThan(reallyQuit), "");
    xdotool("key Tab space"); // "Don't save"

    int status = -1;
    for (int tries = 0; tries < 100 && waitpid(tsl, &status, WNOHANG) == 0; ++tries)
        usleep(200000);
    if (status == -1) {
        kill(tsl, SIGKILL);
        waitpid(tsl, &status, 0);
        ADD_FAILURE() << "tsl did not end";
    }
    const std::string printed = readFile(home.file("out")), farewell = "\nThanks for using tsl.\n";
    EXPECT_EQ(printed.substr(printed.size() - std::min(printed.size(), farewell.size())), farewell);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(home.file("a.c")), "int main() { return 0; }\n");
}

} // namespace
