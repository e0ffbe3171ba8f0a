// The real program's command line: its refusals and their exit statuses, a display that cannot be
// opened, the toolkit's own options and more than one file.
#include "support/realprogram.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace {

struct TslRun {
    int status;
    std::string out, err;
};

// Runs tsl through sh with `environment` and `arguments` (shell words) in a home of its own that
// holds the shipped configuration; standard output and standard error apart.
TslRun runTsl(const TempDir &home, const std::string &environment, const std::string &arguments)
{
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    const std::string script = "cd '" + home.path() + "' && HOME='" + home.path() + "' " + environment + " '" +
                               TSL_BINARY + "' " + arguments + " >out 2>err; echo $?";
    const ProcessResult result = runProcess("/bin/sh", {"-c", script}, home.path());
    return {std::atoi(result.output.c_str()), readFile(home.file("out")), readFile(home.file("err"))};
}

TEST(CommandLine, UnknownOptionsAndMissingDisplaysEndWithAMessageNotAnAbort)
{
    TempDir home;
    TslRun run = runTsl(home, "", "--bogus");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("tsl: unknown option '--bogus'\nUsage: tsl [toolkit options] [file]\n", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
    // Refused before the display is looked for.
    EXPECT_EQ(runTsl(home, "DISPLAY=", "-v a.c").status, 2);

    run = runTsl(home, "env -u DISPLAY", "a.c");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tsl: cannot open display: DISPLAY is not set\n");
    run = runTsl(home, "DISPLAY=:987", "a.c");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tsl: cannot open display: DISPLAY is \":987\"\n");
    run = runTsl(home, "", "-display :987 a.c");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tsl: cannot open display \":987\" (given by -display)\n");
}

TEST(CommandLine, ToolkitOptionsWorkAndTheFirstOfSeveralFilesIsEdited)
{
    TempDir home;
    writeFile(home.file("first.c"), "int first;\n");
    writeFile(home.file("-second.c"), "int second;\n");
    // TSL_QUIT_WHEN_SHOWN ends the program once its window is painted.
    const TslRun run = runTsl(home, "TSL_QUIT_WHEN_SHOWN=1",
                           "-geometry 640x480+0+0 -display \"$DISPLAY\" --qwindowtitle T first.c -- -second.c");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.rfind("tsl: one file at a time: editing first.c, ignoring -second.c\n", 0), 0u) << run.err;

    // The window shows the first file.
    const std::string start = "cd '" + home.path() + "' && HOME='" + home.path() + "' '" + TSL_BINARY +
                              "' -geometry 640x480+0+0 first.c -- -second.c >/dev/null 2>&1 & echo $!";
    const pid_t pid = std::atoi(runProcess("/bin/sh", {"-c", start}, home.path()).output.c_str());
    ASSERT_GT(pid, 0);
    std::string window;
    for (int tries = 0; tries < 100 && window.empty(); ++tries) {
        window = xdotool("search --onlyvisible --name 'first\\.c'");
        if (window.empty())
            usleep(200000);
    }
    EXPECT_FALSE(window.empty());
    EXPECT_EQ(xdotool("search --onlyvisible --name 'second'"), "");
    kill(pid, SIGKILL);
}

} // namespace
