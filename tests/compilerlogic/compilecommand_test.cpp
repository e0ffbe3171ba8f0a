#include "compiler/compilecommand.h"
#include "compiler/compilenotices.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

TEST(CompileCommand, ExpandsTheCallAndChecksTheExtension)
{
    CompileCommand command = expandCompilerCall("cc -c *#", "prog.c", ".c");
    EXPECT_FALSE(command.sourceFormatDiffers);
    EXPECT_EQ(command.words, (Words{"cc", "-c", "prog.c"}));
    EXPECT_EQ(programNameLine(command.words), "cc\n");

    // prog.f under a configuration chosen from the menu: the extension stayed .c.
    EXPECT_TRUE(expandCompilerCall("cc -c *#", "prog.f", ".c").sourceFormatDiffers);
    EXPECT_TRUE(expandCompilerCall("cc *", "c", ".c").sourceFormatDiffers);
    // Without '*' the name is never compared; '%' and backslashes stay as they are.
    command = expandCompilerCall("make #% a\\nb", "prog.f", ".c");
    EXPECT_FALSE(command.sourceFormatDiffers);
    EXPECT_EQ(command.words, (Words{"make", ".c%", "a\\nb"}));
    // An empty extension fits every name.
    EXPECT_EQ(expandCompilerCall("cc *#", "Makefile", "").words, (Words{"cc", "Makefile"}));

    // The expanded call holds at most 4095 characters, spaces included.
    std::string longCall(4093, 'a');
    longCall += " *#";
    EXPECT_EQ(expandCompilerCall(longCall.c_str(), "prog.c", ".c").words, (Words{std::string(4093, 'a'), "p"}));
}

TEST(CompileCommand, SplitsTheCallAtSpacesAndKeepsEachNameInOneArgument)
{
    const Words expected{"cc", "-c", "prog.c"};
    EXPECT_EQ(expandCompilerCall("cc  -c    *#", "prog.c", ".c").words, expected);
    EXPECT_EQ(expandCompilerCall("   cc -c *#  ", "prog.c", ".c").words, expected);
    EXPECT_EQ(expandCompilerCall("cc\t-c 'a b'", "prog.c", ".c").words, (Words{"cc\t-c", "'a", "b'"}));
    EXPECT_TRUE(expandCompilerCall("    ", "prog.c", ".c").words.empty());
    EXPECT_TRUE(expandCompilerCall("* *", "", "").words.empty());

    // No shell reads the arguments: every name is passed exactly, and one that begins with "-"
    // is named through "./" where it begins an argument.
    const std::string names[] = {"my prog.c", "x;touch pwned;.c", "$(touch p).c", "it's.c", "new\nline.c",
                                 "  spaced  .c"};
    for (const std::string &name : names) {
        const std::string root = name.substr(0, name.size() - 2);
        EXPECT_EQ(expandCompilerCall("gcc -o * *#  -DF=\"*\"", name.c_str(), ".c").words,
                  (Words{"gcc", "-o", root, name, "-DF=\"" + root + "\""}))
            << name;
    }
    EXPECT_EQ(expandCompilerCall("gcc -o * *# -I*", "-n.c", ".c").words, (Words{"gcc", "-o", "./-n", "./-n.c", "-I-n"}));
}

TEST(CompileCommand, ReportsHowTheCompilerEnded)
{
    struct Case {
        int status;
        bool endsCompile;
        const char *message;
    };
    const Case cases[] = {
        {0 << 8, true, "+++ Success +++"},
        {1 << 8, true, "--- Error status 1 ---"},
        {2 << 8, true, "--- Error status 2 ---"},
        {3 << 8, true, "--- Return code 3 ---"},
        {255 << 8, true, "--- Return code 255 ---"},
        {SIGKILL, true, "--- Killed by signal SIGKILL ---"},
        {SIGSEGV | 0x80, true, "--- Killed by signal SIGSEGV ---"}, // with a core dump
        {(SIGSTOP << 8) | 0x7f, false, "--- Can't get process ID --- "},
        {0xffff, false, "--- Can't get process ID --- "}, // continued
    };
    for (const Case &c : cases) {
        CompileEnd end = compileEndReport(c.status);
        EXPECT_EQ(end.endsCompile, c.endsCompile) << c.status;
        EXPECT_EQ(end.message, c.message) << c.status;
    }
}

TEST(CompileCommand, AnimatesInFiveSteps)
{
    int step = 4;
    step = nextAnimationStep(step);
    EXPECT_EQ(step, 0);
    EXPECT_EQ(compilingAnimationText(step), "*** Compiling *** ");
    step = nextAnimationStep(nextAnimationStep(nextAnimationStep(step)));
    EXPECT_EQ(compilingAnimationText(step), "*** Compiling ***   . . .");
}

TEST(CompileCommand, RefusesWithoutFileOrInAnotherDirectory)
{
    EXPECT_EQ(checkFileAndDirectory("", "/a", "/a"), StartRefusal::noFile);
    EXPECT_EQ(checkFileAndDirectory("p.c", "/a", "/b"), StartRefusal::directoryDiffers);
    EXPECT_EQ(checkFileAndDirectory("p.c", "/a", "/a"), StartRefusal::none);

    NoticeText compile = startRefusalNotice(StartRefusal::directoryDiffers, true);
    NoticeText run = startRefusalNotice(StartRefusal::directoryDiffers, false);
    EXPECT_EQ(compile.lines.front(), " COULD NOT START TO COMPILE BECAUSE: ");
    EXPECT_EQ(run.lines.front(), " COULD NOT START TO EXECUTE BECAUSE: ");
    EXPECT_EQ(compile.button, " Change path ");
    EXPECT_EQ(run.button, " Change path  ");
    EXPECT_EQ(startRefusalNotice(StartRefusal::noFile, true).button, " Open file ");
}

} // namespace
