#include "documents/documentactions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What `shell -c script` prints on its standard output.
std::string run(const char *shell, const std::string &script)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        execl(shell, shell, "-c", script.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return output;
}

// Each text, typed as one word, reaches printf as exactly its bytes, in both shells.
TEST(ShellWord, EveryTextArrivesAsItsOwnBytes)
{
    setlocale(LC_ALL, "C.UTF-8");
    const std::string texts[] = {"a b", "$(touch pwned)", "x; rm -rf ~", "it's `x`;", "\"q\" \\n %s %%",
                                 "-n", "-e\001x", "--help", "two\nlines", "ends with newlines\n\n", "\n",
                                 "tab\there", "x\003y", "x'\025y", "caf\xc3\xa9", "\xe9t\xe9", "\xc2\x85", "*",
                                 "~user", "a=b", "!!", "{a,b}", "[x]"};
    for (const char *shell : {"/bin/sh", "/bin/bash"}) {
        for (const std::string &text : texts)
            EXPECT_EQ(run(shell, "printf %s " + shellWord(text) + "; printf .; printf %s " + shellWord(text)),
                      text + "." + text)
                << shell << ": " << shellWord(text);
    }
    setlocale(LC_ALL, "C");
}

TEST(ShellWord, LiteralTextStaysAsItIs)
{
    EXPECT_EQ(shellWord("main"), "main");
    EXPECT_EQ(shellWord("/home/me/src-1.2/a_b+c,d:e@f%g=h"), "/home/me/src-1.2/a_b+c,d:e@f%g=h");
    EXPECT_EQ(shellWord("-v"), "-v"); // quoting does not stop an option: callers add -e, "./"
    EXPECT_EQ(shellWord(""), "''");
    EXPECT_EQ(shellWord("a b"), "'a b'");
}

} // namespace
