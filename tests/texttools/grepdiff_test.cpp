#include "texttools/mainwindowfixture.h"

#include "documents/documentactions.h"
#include "texttools/find.h"
#include "texttools/grepdiff.h"
#include "toolkit/terminalpane.h"

#include <QLabel>
#include <QLineEdit>

#include <cstdlib>
#include <sys/stat.h>

namespace {

using GrepDiffTest = MainWindowTest;

TEST_F(GrepDiffTest, GrepTypesTheSelectedWordAndFindNextSearchesIt)
{
    TerminalInputRecorder typed(false);
    setText("int main(void) { return main2(); }", 0);
    textsw_set_selection(textPane, 4, 8, TEXTSW_SEL_PRIMARY);
    startGrep();
    EXPECT_EQ(typed.inputs(), Lines{"grep main *\n"});
    EXPECT_EQ(searchString, "main");
    findNext(0);
    EXPECT_EQ(selection(), std::make_pair(24L, 28L));
}

TEST_F(GrepDiffTest, GrepWithNothingSelectedPromptsAndGrepAgainClosesThePrompt)
{
    TerminalInputRecorder typed(false);
    setText("text", 2);
    startGrep();
    ASSERT_NE(toolPrompt, nullptr);
    EXPECT_EQ(toolPrompt->parentWidget(), menuBar);
    EXPECT_EQ(toolPrompt->findChild<QLabel *>()->text(), "Grep string -> ");
    EXPECT_EQ(mainFrame->focusWidget(), toolPrompt->lineEdit());
    startGrep();
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_TRUE(typed.inputs().empty());

    startGrep();
    answerPrompt("two words");
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(typed.inputs(), Lines{"grep 'two words' *\n"});
    EXPECT_EQ(searchString, "two words");
}

TEST_F(GrepDiffTest, DiffComparesTheFileWithItsPercentCopyAfterOfferingToSave)
{
    TempDir dir;
    enterDirectory(dir.path());
    fileDirectory = workingDirectory = dir.path();
    writeFile(dir.file("prog.c"), "int x;\n");
    document.fileName = "prog.c";
    openDocument();
    type("/* changed */");
    TerminalInputRecorder typed(false);
    notices.press("Don't save");
    startDiff();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines.back(), "Save this file ?");
    EXPECT_EQ(typed.inputs(), (Lines{"diff prog.c prog.c%", "\n"}));
    leaveDirectory();
}

// Grep in the real shell of the terminal pane, in a directory of its own with HOME pointing
// into it: each string is searched for as it is, and nothing else runs.
class GrepShellTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        enterDirectory(dir.path());
        home = getenv("HOME") ? getenv("HOME") : "";
        mkdir(dir.file("home").c_str(), 0755);
        writeFile(dir.file("home/canary"), "still here\n");
        writeFile(dir.file("canary"), "still here\n");
        setenv("HOME", dir.file("home").c_str(), 1);
        setenv("HISTFILE", "", 1);
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        setenv("HOME", home.c_str(), 1);
        leaveDirectory();
    }
    // Types `command` and waits until the shell has run it and what was typed before it.
    bool run(const std::string &command)
    {
        static int count = 0;
        const std::string marker = dir.file("marker"), done = "done" + std::to_string(++count) + "\n";
        const std::string line = command + "; echo done" + std::to_string(count) + " > " + marker + "\n";
        ttysw_input(terminalPane, line.data(), static_cast<int>(line.size()));
        return waitUntil([&] { return readFile(marker) == done; }, 30000);
    }

    TempDir dir;
    std::string home;
};

TEST_F(GrepShellTest, HostileStringsAreSearchedForAndRunNothing)
{
    TerminalInputRecorder typing(true);
    ASSERT_TRUE(run("cd " + dir.path() + "; echo \"$HOME\" > where")) << "the shell did not start";
    ASSERT_EQ(readFile(dir.file("where")), dir.file("home") + "\n");
    const std::string strings[] = {"x; rm -rf ~", "$(touch pwned)", "`touch pwned` & rm canary", "-l canary",
                                   "--include=pwned", "it's \"quoted\" | rm canary"};
    std::string haystack;
    for (const std::string &string : strings)
        haystack += "[" + string + "]\n";
    writeFile(dir.file("haystack.txt"), haystack);
    for (const std::string &string : strings) {
        setText("<" + string + ">");
        textsw_set_selection(textPane, 1, 1 + static_cast<long>(string.size()), TEXTSW_SEL_PRIMARY);
        startGrep();
        ASSERT_TRUE(run("true")) << string;
        // The marker may be written before the emulator has drawn grep's output.
        const std::string found = "haystack.txt:[" + string + "]";
        EXPECT_TRUE(waitUntil([&] { return terminalPane->wholeText().find(found) != std::string::npos; })) << string;
    }
    // One holding a newline: grep reads each line as a pattern.
    setText("$(touch pwned)\nrm canary\n");
    textsw_set_selection(textPane, 0, textsw_length(textPane), TEXTSW_SEL_PRIMARY);
    startGrep();
    ASSERT_TRUE(run("true"));
    EXPECT_EQ(readFile(dir.file("canary")), "still here\n");
    EXPECT_EQ(readFile(dir.file("home/canary")), "still here\n");
    EXPECT_NE(system(("find " + dir.path() + " -name pwned | grep -q .").c_str()), 0) << "a string ran a command";
}

// Each save keeps the text it replaces as the file's '%' copy: Diff in the real shell shows
// what the last save changed.
TEST_F(GrepShellTest, DiffAfterASaveShowsWhatTheSaveChanged)
{
    TerminalInputRecorder typing(true);
    ASSERT_TRUE(run("cd " + dir.path())) << "the shell did not start";
    fileDirectory = workingDirectory = dir.path();
    writeFile(dir.file("prog.c"), "int x;\nint y;\n");
    document.fileName = "prog.c";
    openDocument();
    type("long w;\n");
    notices.press("SAVE");
    startDiff();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(readFile(dir.file("prog.c")), "long w;\nint x;\nint y;\n");
    EXPECT_EQ(readFile(dir.file("prog.c%")), "int x;\nint y;\n");
    // (Nothing is typed ahead meanwhile: the shell's echo of it would come between diff's lines.)
    EXPECT_TRUE(waitUntil([] { return terminalPane->wholeText().find("1d0\n< long w;") != std::string::npos; }))
        << terminalPane->wholeText();

    // The next save: the copy moves on to the text of the one before.
    textsw_set_insertion_point(textPane, 0);
    type("short v;\n");
    notices.press("SAVE");
    startDiff();
    EXPECT_EQ(readFile(dir.file("prog.c%")), "long w;\nint x;\nint y;\n");
    EXPECT_TRUE(waitUntil([] { return terminalPane->wholeText().find("1d0\n< short v;") != std::string::npos; }))
        << terminalPane->wholeText();
    EXPECT_EQ(terminalPane->wholeText().find("No such file"), std::string::npos);
}

} // namespace
