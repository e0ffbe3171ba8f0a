// The real program under the virtual display, driven through the X server as a user would:
// xdotool moves the pointer, clicks and presses keys.
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs an xdotool command line; returns its standard output, trimmed.
std::string xdotool(const std::string &arguments)
{
    FILE *out = popen(("timeout 30 xdotool " + arguments + " 2>/dev/null").c_str(), "r");
    std::string text;
    char buffer[256];
    while (out && fgets(buffer, sizeof buffer, out))
        text += buffer;
    if (out)
        pclose(out);
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

// The id of the notice on the screen other than `previous`, waiting for it up to 20 seconds.
std::string noticeOtherThan(const std::string &previous)
{
    for (int tries = 0; tries < 200; ++tries) {
        const std::string id = xdotool("search --onlyvisible --name '^Notice$'");
        if (!id.empty() && id != previous)
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::string();
}

TEST(QuitProcess, FarewellAndStatusZeroAfterDontSave)
{
    ASSERT_EQ(system("command -v xdotool >/dev/null"), 0) << "xdotool is missing: run scripts/install-deps";
    TempDir home;
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    writeFile(home.file("a.c"), "int main() { return 0; }\n");
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t tsl = fork();
    if (tsl == 0) {
        dup2(output[1], 1);
        close(output[0]);
        if (chdir(home.path().c_str()) != 0)
            _exit(126);
        setenv("HOME", home.path().c_str(), 1);
        setenv("HISTFILE", "", 1);
        execl(TSL_BINARY, "tsl", "a.c", (char *)nullptr);
        _exit(127);
    }
    close(output[1]);

    ASSERT_FALSE(xdotool("search --sync --onlyvisible --name 'C \\(gcc\\): <a.c>$'").empty());
    xdotool("mousemove 400 300 click 1 type x");
    EXPECT_FALSE(xdotool("search --sync --onlyvisible --name '<a.c> - edited$'").empty());
    xdotool("mousemove 20 12 click 1 sleep 0.5 key Up Return"); // File menu, its last item: QUIT
    const std::string reallyQuit = noticeOtherThan("");
    EXPECT_FALSE(reallyQuit.empty());
    xdotool("key Return"); // "Quit", the default
    EXPECT_FALSE(noticeOtherThan(reallyQuit).empty());
    xdotool("key Tab space"); // "Don't save"

    std::string printed;
    pollfd readable{output[0], POLLIN, 0};
    char buffer[256];
    while (poll(&readable, 1, 20000) > 0) {
        const ssize_t n = read(output[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        printed.append(buffer, static_cast<size_t>(n));
    }
    close(output[0]);
    int status = 0;
    if (waitpid(tsl, &status, WNOHANG) == 0) {
        kill(tsl, SIGKILL);
        waitpid(tsl, &status, 0);
        ADD_FAILURE() << "tsl did not end";
    }
    const std::string farewell = "\nThanks for using tsl.\n";
    EXPECT_TRUE(printed.size() >= farewell.size() && printed.compare(printed.size() - farewell.size(), farewell.size(), farewell) == 0)
        << printed;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readFile(home.file("a.c")), "int main() { return 0; }\n");
}

} // namespace
