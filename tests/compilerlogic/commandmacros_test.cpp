#include "compiler/commandmacros.h"
#include "frame/strings.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

struct ExpansionCase {
    const char *commandTemplate;
    const char *fileName;
    const char *matchedExtension;
    std::string expected;
};

TEST(CommandMacros, ExpandsTemplatesInOneScan)
{
    const ExpansionCase cases[] = {
        {"cc -o * *#", "prog.c", ".c", "cc -o prog prog.c"},
        {"diff *# *#%", "prog.c", ".c", "diff prog.c prog.c%"},
        {"make\\nls", "prog.c", ".c", "make\nls"},
        {"echo \\", "prog.c", ".c", "echo \\"},
        {"printf a\\tb", "prog.c", ".c", "printf a\\tb"},
        {"\\\\n", "prog.c", ".c", "\\\n"},
        // Before any file matched a configuration the extension is empty.
        {"cc * [#]", "prog.c", "", "cc prog.c []"},
        // No file in the pane: '*' gives nothing, '#' still the last matched extension.
        {"cc *#", "", ".c", "cc .c"},
        // Extension longer than the name: empty root.
        {"run *#", "a.c", ".cpp", "run .cpp"},
        // Macro characters in the file name are not expanded a second time (and the shell
        // gets them quoted).
        {"ls *#", "a*b#.c", ".c", "ls 'a*b#'.c"},
        {"./* &", "dir/prog.c", ".c", "./dir/prog &"},
    };
    for (const ExpansionCase &c : cases) {
        EXPECT_EQ(expandCommandTemplate(c.commandTemplate, c.fileName, c.matchedExtension),
                  c.expected)
            << c.commandTemplate << " with " << c.fileName << " / " << c.matchedExtension;
    }
}

TEST(CommandMacros, TypesTheCommandThenOneNewline)
{
    auto steps = commandTypingSteps("cc -o * *#", "prog.c", ".c");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], "cc -o prog prog.c");
    EXPECT_EQ(steps[1], "\n");

    steps = commandTypingSteps("make\\nls", "prog.c", ".c");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0] + steps[1], "make\nls\n");
}

TEST(CommandMacros, CutsLongExpansionsAt4095Characters)
{
    // Each '*' gives 100 characters; 50 of them give 5000.
    const std::string name(100, 'x');
    const std::string longName = name + ".c";
    const std::string stars(50, '*');
    auto steps = commandTypingSteps(stars.c_str(), longName.c_str(), ".c");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], std::string(4095, 'x'));
    EXPECT_EQ(steps[1], "\n");

    // Plain characters and a macro cut in the middle of its text.
    std::string templ(4090, 'a');
    templ += "*zzz";
    std::string expanded = expandCommandTemplate(templ.c_str(), "prog.c", ".c");
    EXPECT_EQ(expanded, std::string(4090, 'a') + "prog" + "z");
}

// Each file name reaches the command as its own bytes wherever a template puts it (outside
// quotes, inside the template's own single or double quotes, after a backslash, at the start
// of a word), and nothing in a name runs, in sh and in bash.
TEST(CommandMacros, NamesReachTheShellAsTheirOwnBytes)
{
    setlocale(LC_ALL, "C.UTF-8");
    TempDir dir;
    // The word a name makes: one that begins with "-" is named through "./".
    const auto word = [](const std::string &text) { return (text[0] == '-' ? "./" : "") + text; };
    using Expected = std::function<std::string(const std::string &root, const std::string &name)>;
    const std::pair<const char *, Expected> templates[] = {
        {"diff *# *#%", [&](auto, auto name) { return "<" + word(name) + "><" + word(name) + "%>"; }},
        {"run ./*", [&](auto root, auto) { return "<./" + root + ">"; }},
        {"gcc -o * *#", [&](auto root, auto name) { return "<-o><" + word(root) + "><" + word(name) + ">"; }},
        {"lpr '*#' '-P*'", [&](auto, auto name) { return "<" + word(name) + "><-P" + name.substr(0, name.size() - 2) + ">"; }},
        {"cc \"-DN=*\" \"*#\"", [&](auto root, auto name) { return "<-DN=" + root + "><" + word(name) + ">"; }},
        {"echo x\\* \"\\*\" '\\*'", [&](auto root, auto) { return "<x" + root + "><\\" + root + "><\\" + root + ">"; }},
    };
    const std::string names[] = {"prog.c", "my prog.c", "x;touch pwned;.c", "$(touch pwned).c", "-n.c",
                                 "it's.c", "new\nline.c", "`touch pwned`.c", "a\"b\\c$HOME.c", "!!.c",
                                 "tab\t\x03 caf\xc3\xa9.c", "'\"'.c"};
    for (const char *shell : {"/bin/sh", "/bin/bash"}) {
        for (const std::string &name : names) {
            const std::string root = name.substr(0, name.size() - 2);
            // Each template's command word becomes printf, which shows each argument; one line
            // per template.
            std::string script, expectedLines;
            for (const auto &[commandTemplate, expected] : templates) {
                const std::string command = expandCommandTemplate(commandTemplate, name.c_str(), ".c");
                script += "printf '<%s>' " + command.substr(command.find(' ') + 1) + "\necho\n";
                expectedLines += expected(root, name) + "\n";
            }
            EXPECT_EQ(runProcess(shell, {"-c", script}, dir.path(), dir.path()).output, expectedLines)
                << shell << ":\n" << script;
        }
    }
    EXPECT_NE(access(dir.file("pwned").c_str(), F_OK), 0) << "a name ran a command";
    setlocale(LC_ALL, "C");
}

TEST(CommandMacros, PlainNamesTypeAsTheyAreAndQuotedOnesGoInWhole)
{
    const ExpansionCase cases[] = {
        {"diff *# *#%", "prog.c", ".c", "diff prog.c prog.c%"},
        {"diff *# *#%", "my prog.c", ".c", "diff 'my prog'.c 'my prog'.c%"},
        {"./*", "-n.c", ".c", "./-n"},
        {"cc *#", "-n.c", ".c", "cc ./-n.c"},
        {"lpr '*#'", "my prog.c", ".c", "lpr 'my prog.c'"},
        {"lpr \"*#\"", "$x.c", ".c", "lpr \"\\$x.c\""},
    };
    for (const ExpansionCase &c : cases)
        EXPECT_EQ(expandCommandTemplate(c.commandTemplate, c.fileName, c.matchedExtension), c.expected)
            << c.commandTemplate << " with " << c.fileName;

    // A quoted name that does not fit is left out whole: cut short, it would leave a quote open.
    std::string longTemplate(4090, 'a');
    longTemplate += " * done";
    EXPECT_EQ(expandCommandTemplate(longTemplate.c_str(), "my prog.c", ".c"), std::string(4090, 'a') + " ");
    EXPECT_EQ(expandCommandTemplate(longTemplate.c_str(), "myprog.c", ".c"), std::string(4090, 'a') + " mypr");
}

TEST(CommandMacros, BuildsTheRunTemplates)
{
    EXPECT_EQ(targetCommandTemplate("./*", "", true), "./* &");
    EXPECT_EQ(targetCommandTemplate("./*", ".out", false), "./*.out");
    EXPECT_EQ(expandCommandTemplate(targetCommandTemplate("./*", "", true).c_str(), "prog.c",
                                    ".c"),
              "./prog &");
    EXPECT_EQ(breakExecutionInput.size(), 2u);
    EXPECT_EQ(breakExecutionInput[0], '\x03');
}

TEST(SharedStrings, CommonPrefixComparesTheShorterLength)
{
    EXPECT_EQ(isCommonPrefix("abc", "abd"), 0);
    EXPECT_EQ(isCommonPrefix("ab", "abc"), 1);
    EXPECT_EQ(isCommonPrefix("abc", "ab"), 1);
    EXPECT_EQ(isCommonPrefix("", "x"), 1);
    EXPECT_FALSE(isCommonPrefix(std::string_view("a\0b", 3), std::string_view("a\0c", 3)));
    EXPECT_TRUE(isCommonPrefix(std::string_view("a\0b", 3), std::string_view("a\0", 2)));

    char *copy = duplicateString("prog.c");
    EXPECT_STREQ(copy, "prog.c");
    std::free(copy);
}

} // namespace
