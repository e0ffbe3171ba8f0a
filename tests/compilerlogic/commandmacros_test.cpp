#include "compiler/commandmacros.h"
#include "frame/strings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
        // Macro characters in the file name are not expanded a second time.
        {"ls *#", "a*b#.c", ".c", "ls a*b#.c"},
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
