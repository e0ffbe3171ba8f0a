#include "documents/documentactions.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

// What `shell -c script` prints.
std::string run(const char *shell, const std::string &script)
{
    const char *home = getenv("HOME");
    return runProcess(shell, {"-c", script}, home ? home : "").output;
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
