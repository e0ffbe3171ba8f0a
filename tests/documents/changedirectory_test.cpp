#include "mainwindowfixture.h"

#include <sys/stat.h>

namespace {

using TerminalCd = MainWindowTest;

// The "cd" that the dialogs type reaches the user's real shell: every directory name arrives as
// that name, and nothing in a name runs.
TEST_F(TerminalCd, EveryDirectoryNameReachesTheShellAsAName)
{
    TerminalInputRecorder typing(true);
    const std::string report = dir.file("where");
    const std::string names[] = {"a b", "$(touch pwned)", "it's `touch pwned`;", "x\003touch pwned #",
                                 "x'\025touch pwned", "caf\xc3\xa9", "\xe9t\xe9", "two\nlines", "100% \\n",
                                 "ends in newlines\n\n", "\n"};
    const std::string ready = "cd " + dir.path() + "; pwd > " + report + "\n";
    ttysw_input(terminalPane, ready.data(), static_cast<int>(ready.size()));
    ASSERT_TRUE(waitUntil([&] { return readFile(report) == dir.path() + "\n"; }, 60000)) << "the shell did not start";
    for (const std::string &name : names) {
        const std::string path = dir.file(name);
        ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
        unlink(report.c_str());
        typeChangeDirectory(path);
        const std::string pwd = "pwd > " + report + "\n";
        ttysw_input(terminalPane, pwd.data(), static_cast<int>(pwd.size()));
        EXPECT_TRUE(waitUntil([&] { return readFile(report) == path + "\n"; })) << shellWord(path);
    }
    EXPECT_NE(system(("find " + dir.path() + " -name pwned | grep -q .").c_str()), 0) << "a name ran a command";
}

} // namespace
