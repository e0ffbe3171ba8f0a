#pragma once
// The real program under the virtual display, driven through the X server as a user drives it:
// xdotool moves the pointer, clicks and presses keys.
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

inline std::string xdotoolOnce(const std::string &arguments)
{
    FILE *out = popen(("timeout 20 xdotool " + arguments + " 2>/dev/null").c_str(), "r");
    std::string text;
    for (int c; out && (c = fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    if (out)
        pclose(out);
    return text;
}

// A search that waits ("search --sync") is tried again when xdotool gave up early: it stops at an
// X error when a window goes away while it looks at the windows (a notice closing, for example).
inline std::string xdotool(const std::string &arguments)
{
    const bool waits = arguments.compare(0, 13, "search --sync") == 0;
    const time_t giveUp = time(nullptr) + 20;
    std::string text = xdotoolOnce(arguments);
    while (waits && text.empty() && time(nullptr) < giveUp) {
        usleep(100000);
        text = xdotoolOnce(arguments);
    }
    return text;
}

// Waits for a notice window other than `previous` and returns its id ("" after 20 seconds).
inline std::string noticeOtherThan(const std::string &previous)
{
    for (int tries = 0; tries < 100; ++tries) {
        const std::string id = xdotool("search --onlyvisible --name '^Notice$'");
        if (!id.empty() && id != previous)
            return id;
        usleep(200000);
    }
    return "";
}

// tsl started in `home` (also its HOME) with `argument` (none when empty), its standard output
// in home/out and its standard error in home/err; its recovery journals go to
// home/.local/state/tsl. The process is killed when the object goes and it still runs.
class RunningTsl {
public:
    RunningTsl(const TempDir &home, const std::string &argument = "")
    {
        EXPECT_EQ(system("command -v xdotool >/dev/null"), 0) << "xdotool is missing: run scripts/install-deps";
        out_ = home.file("out");
        err_ = home.file("err");
        pid_ = fork();
        if (pid_ == 0) {
            const int out = open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || dup2(out, 1) < 0 || err < 0 || dup2(err, 2) < 0 || chdir(home.path().c_str()) != 0)
                _exit(126);
            setenv("HOME", home.path().c_str(), 1);
            setenv("XDG_STATE_HOME", (home.path() + "/.local/state").c_str(), 1);
            setenv("HISTFILE", "", 1);
            if (argument.empty())
                execl(TSL_BINARY, "tsl", (char *)nullptr);
            else
                execl(TSL_BINARY, "tsl", argument.c_str(), (char *)nullptr);
            _exit(127);
        }
    }
    ~RunningTsl()
    {
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    RunningTsl(const RunningTsl &) = delete;
    RunningTsl &operator=(const RunningTsl &) = delete;

    // Waits up to 20 seconds for the program to end; returns its wait status, or -1 when it
    // still runs.
    int waitForEnd()
    {
        for (int tries = 0; tries < 100 && running(); ++tries)
            usleep(200000);
        return running() ? -1 : status_;
    }
    // Whether the program still runs. One that ended is collected here (until then it would
    // still answer kill(pid, 0)) and its wait status kept for waitForEnd.
    bool running()
    {
        if (pid_ <= 0)
            return false;
        int status = 0;
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == 0)
            return true;
        status_ = ended == pid_ ? status : -1;
        pid_ = -1;
        return false;
    }
    std::string printed() const { return readFile(out_); }
    std::string errors() const { return readFile(err_); }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int status_ = -1; // the wait status, once the program has ended
    std::string out_;
    std::string err_;
};

// Chooses QUIT, the File menu's last item, and answers "REALLY QUIT?" with "Quit" (the
// default). Returns the id of that notice ("" when none came).
inline std::string chooseQuit()
{
    xdotool("mousemove 20 12 click 1 sleep 0.5 key Up Return");
    const std::string reallyQuit = noticeOtherThan("");
    xdotool("key Return");
    return reallyQuit;
}
