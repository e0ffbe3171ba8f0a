// What tsl types into the real shell of the terminal pane: every file name reaches the command
// as itself, and a command goes in only when the shell waits at an empty prompt.
#include "compiler/compilestate.h"
#include "compiler/compiling.h"
#include "compiler/resultswindow.h"
#include "compiler/running.h"
#include "compiler/terminalcommands.h"
#include "documents/printing.h"
#include "support/mainwindowfixture.h"
#include "texttools/find.h"
#include "texttools/grepdiff.h"
#include "texttools/texttoolstate.h"
#include "toolkit/imagebutton.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textfield.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>

namespace {

// The main window in a directory of its own, whose bin folder comes first on the shell's PATH:
// diff, cc and lpr there write what they were given to the file "log", one record each (the
// name, then each argument in <>), and diff then runs the real diff.
class ShellCommandTest : public MainWindowFixture {
public:
    static void SetUpTestSuite()
    {
        enterDirectory(directory.path());
        mkdir(directory.file("bin").c_str(), 0755);
        const std::string record = "{ printf '%s' \"${0##*/}\"; for a; do printf ' <%s>' \"$a\"; done; printf '\\036'; } >> '" +
                                   directory.file("log") + "'\n";
        for (const char *program : {"diff", "cc", "lpr"})
            writeScript(std::string("bin/") + program, record);
        writeFile(directory.file("bin/diff"), readFile(directory.file("bin/diff")) + "exec /usr/bin/diff \"$@\"\n");
        path = getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin";
        setenv("PATH", (directory.file("bin") + ":" + path).c_str(), 1);
        setenv("HISTFILE", "", 1);
        useDefaultConfiguration();
        buildWindow();
        ttysw_input(terminalPane, "touch ready\n", 12);
        ASSERT_TRUE(waitUntil([] { return access(directory.file("ready").c_str(), F_OK) == 0; }, 60000));
    }
    static void TearDownTestSuite()
    {
        dropWaitingShellCommands();
        destroyResultsWindow();
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setenv("PATH", path.c_str(), 1);
        leaveDirectory();
    }

protected:
    void SetUp() override
    {
        workingDirectory = fileDirectory = directory.path();
        currentConfiguration = 0;
        Configuration &c = configurationTable[0];
        snprintf(c.compilerCall, sizeof c.compilerCall, "cc -o * *#");
        snprintf(c.flags, sizeof c.flags, "ny");
        snprintf(c.targetCall, sizeof c.targetCall, "./*");
        c.targetExtension[0] = '\0';
        snprintf(c.formattedPrintCall, sizeof c.formattedPrintCall, "lpr *#");
        unlink(directory.file("log").c_str());
    }
    void TearDown() override
    {
        dropWaitingShellCommands();
        EXPECT_TRUE(waitUntil([] { return !terminalPane->programInForeground(nullptr); }, 15000));
        EXPECT_TRUE(waitUntil([] { return !compileRunning(); }));
    }

    static void writeScript(const std::string &name, const std::string &body)
    {
        writeFile(directory.file(name), "#!/bin/sh\n" + body);
        chmod(directory.file(name).c_str(), 0755);
    }
    // The records in the log, sorted (a command run in the background may write later).
    static std::vector<std::string> records()
    {
        std::vector<std::string> found;
        const std::string log = readFile(directory.file("log"));
        for (size_t start = 0, end; (end = log.find('\036', start)) != std::string::npos; start = end + 1)
            found.push_back(log.substr(start, end - start));
        std::sort(found.begin(), found.end());
        return found;
    }
    static bool recordsArrive(size_t count, int milliseconds = 15000)
    {
        return waitUntil([&] { return records().size() >= count; }, milliseconds);
    }
    // Starts `command` in the terminal as the user would and waits until its program (the first
    // word) holds the foreground. What was typed before it is forgotten.
    void startInTerminal(const std::string &command)
    {
        ASSERT_TRUE(waitUntil([] { return !terminalPane->programInForeground(nullptr); }));
        const std::string line = command + "\n";
        ttysw_input(terminalPane, line.data(), static_cast<int>(line.size()));
        const std::string program = command.substr(0, command.find(' '));
        ASSERT_TRUE(waitUntil([&] {
            std::string name;
            return terminalPane->programInForeground(&name) && name == program;
        }));
        typed.clear();
    }
    static QWidget *terminalDisplay() { return terminalPane->focusProxy() ? terminalPane->focusProxy() : terminalPane; }
    static bool terminalShows(const std::string &text)
    {
        return waitUntil([&] { return terminalPane->wholeText().find(text) != std::string::npos; });
    }

    static inline TempDir directory;
    static inline std::string path;
    TerminalInputRecorder typed{true};
};

// A name beginning with "-" is given as ./name where it begins a word.
std::string word(const std::string &name)
{
    return (name[0] == '-' ? "./" : "") + name;
}

TEST_F(ShellCommandTest, EveryNameRunsItsOneCommandOnTheRightFile)
{
    const std::string names[] = {"prog.c", "my prog.c", "x;touch pwned;.c", "$(touch PWNED).c", "-n.c", "it's.c",
                                 "new\nline.c"};
    for (const std::string &name : names) {
        const std::string root = name.substr(0, name.size() - 2);
        openFile(name, "int x;\n");
        writeFile(directory.file(name + "%"), "int x;\n");
        writeScript(root, "printf 'run <%s>\\036' \"$0\" >> '" + directory.file("log") + "'\n");
        unlink(directory.file("log").c_str());
        typed.clear();
        startDiff();
        runInForeground();
        runInBackground();
        startCompile();
        printAll();
        std::vector<std::string> expected{"diff <" + word(name) + "> <" + word(name) + "%>",
                                          "run <./" + root + ">",
                                          "run <./" + root + ">",
                                          "cc <-o> <" + word(root) + "> <" + word(name) + ">",
                                          "lpr <" + word(name) + ">"};
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(recordsArrive(expected.size())) << name;
        EXPECT_TRUE(waitUntil([] { return waitingShellCommandCount() == 0; }));
        EXPECT_EQ(records(), expected) << name;
        if (name == "prog.c") { // a plain name is typed exactly as it always was
            EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"diff prog.c prog.c%", "\n", "./prog", "\n",
                                                                "./prog &", "\n", "cc -o prog prog.c", "\n",
                                                                "lpr prog.c", "\n"}));
        }
    }
    EXPECT_NE(access(directory.file("pwned").c_str(), F_OK), 0) << "a name ran a command";
    EXPECT_NE(access(directory.file("PWNED").c_str(), F_OK), 0) << "a name ran a command";
}

TEST_F(ShellCommandTest, ACapturedCompileGivesEachNameAsOneArgument)
{
    snprintf(configurationTable[0].flags, sizeof configurationTable[0].flags, "yy");
    for (const std::string name : {"x;touch pwned;.c", "$(touch PWNED).c", "-n.c", "it's.c", "new\nline.c"}) {
        const std::string root = name.substr(0, name.size() - 2);
        openFile(name, "int x;\n");
        unlink(directory.file("log").c_str());
        startCompile();
        ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
        EXPECT_EQ(records(), std::vector<std::string>{"cc <-o> <" + word(root) + "> <" + word(name) + ">"}) << name;
    }
    // The real gcc on a name with a blank: it compiles the file and writes the program it names.
    snprintf(configurationTable[0].compilerCall, sizeof configurationTable[0].compilerCall, "gcc -o * *#");
    openFile("my prog.c", "#include <stdio.h>\nint main(void) { puts(\"hello\"); return 0; }\n");
    startCompile();
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }, 60000));
    EXPECT_EQ(resultsMessageText(), "+++ Success +++");
    EXPECT_EQ(runProcess(directory.file("my prog"), std::vector<std::string>{}, directory.path()).output, "hello\n");
    EXPECT_NE(access(directory.file("pwned").c_str(), F_OK), 0);
    EXPECT_NE(access(directory.file("PWNED").c_str(), F_OK), 0);
}

TEST_F(ShellCommandTest, ACommandWaitsWhileAProgramRunsAndGoesInWhenTheShellIsBack)
{
    openFile("prog.c", "int x;\n");
    writeFile(directory.file("prog.c%"), "int y;\n");
    startInTerminal("sleep 5");
    bool typedIntoSleep = false;
    typed.setCallback([&](TerminalPane *, const std::string &input) {
        if (input != std::string("\x03\n", 2))
            typedIntoSleep = typedIntoSleep || terminalPane->programInForeground(nullptr);
    });
    startDiff();
    EXPECT_EQ(waitingShellCommandCount(), 1);
    EXPECT_EQ(waitingLineText(), "Waiting for the terminal: sleep is running");
    // A typed compile that waits leaves the compile as one that was typed: nothing locked.
    startCompile();
    EXPECT_EQ(waitingShellCommandCount(), 2);
    EXPECT_FALSE(compileLock || compileButton->isBusy() || runButton->isInactive() || runForegroundButton->isInactive());
    // Break's interrupt is not held back; it ends sleep, and the shell then takes the commands.
    EXPECT_TRUE(typed.inputs().empty());
    breakExecution();
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{std::string("\x03\n", 2)});
    ASSERT_TRUE(recordsArrive(2));
    EXPECT_FALSE(typedIntoSleep);
    EXPECT_EQ(records(), (std::vector<std::string>{"cc <-o> <prog> <prog.c>", "diff <prog.c> <prog.c%>"}));
    EXPECT_TRUE(terminalShows("> int y;")); // the real diff's output
    EXPECT_EQ(waitingLineText(), "");

    // Left to end by itself, sleep gives the terminal back too.
    unlink(directory.file("log").c_str());
    startInTerminal("sleep 1");
    startDiff();
    EXPECT_EQ(waitingLineText(), "Waiting for the terminal: sleep is running");
    EXPECT_TRUE(recordsArrive(1, 10000));
    EXPECT_FALSE(typedIntoSleep);
    typed.setCallback(nullptr);
}

TEST_F(ShellCommandTest, AHalfTypedLineHoldsTheCommandUntilReturnOrCtrlU)
{
    openFile("prog.c", "int x;\n");
    for (Qt::Key clearing : {Qt::Key_U, Qt::Key_Return}) {
        unlink(directory.file("log").c_str());
        ASSERT_TRUE(waitUntil([] { return !terminalPane->programInForeground(nullptr); }));
        QTest::keyClicks(terminalDisplay(), "echo hel");
        EXPECT_TRUE(terminalPane->lineHalfTyped());
        typed.clear();
        startDiff();
        EXPECT_EQ(waitingLineText(), "Waiting for the terminal: its command line is not empty");
        waitUntil([] { return false; }, 500);
        EXPECT_TRUE(typed.inputs().empty());
        QTest::keyClick(terminalDisplay(), clearing, clearing == Qt::Key_U ? Qt::ControlModifier : Qt::NoModifier);
        ASSERT_TRUE(recordsArrive(1)) << clearing;
        EXPECT_EQ(records(), std::vector<std::string>{"diff <prog.c> <prog.c%>"});
        EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"diff prog.c prog.c%", "\n"}));
    }
    // After Return the shell ran the half-typed line on its own, before the diff.
    EXPECT_TRUE(terminalShows("\nhel\n"));
}

TEST_F(ShellCommandTest, EscapeOrASecondRequestDropsTheWaitingCommand)
{
    openFile("prog.c", "int x;\n");
    startInTerminal("sleep 5");
    startDiff();
    startDiff();
    EXPECT_EQ(waitingShellCommandCount(), 0);
    EXPECT_EQ(waitingLineText(), "");

    runInForeground();
    printAll();
    EXPECT_EQ(waitingShellCommandCount(), 2);
    mainFrame->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == mainFrame; }));
    // Escape in an open prompt closes the prompt only.
    startFind(0);
    ASSERT_TRUE(toolPrompt);
    toolPrompt->lineEdit()->setFocus();
    QTest::keyClick(toolPrompt->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(toolPrompt, nullptr);
    EXPECT_EQ(waitingShellCommandCount(), 2);
    textPane->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(waitingShellCommandCount(), 0);
    EXPECT_EQ(waitingLineText(), "");
    breakExecution();
    startInTerminal("sleep 1"); // the shell is back and has had the time to take anything typed
    EXPECT_TRUE(waitUntil([] { return !terminalPane->programInForeground(nullptr); }));
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{});
    EXPECT_TRUE(records().empty());
}

TEST_F(ShellCommandTest, VimInTheTerminalIsNamedAndGetsNoneOfTheCommand)
{
    openFile("prog.c", "int x;\n");
    startInTerminal("vim -u NONE -i NONE -N notes.txt");
    startDiff();
    EXPECT_EQ(waitingLineText(), "Waiting for the terminal: vim is running");
    waitUntil([] { return false; }, 300);
    ttysw_input(terminalPane, "\x1b:q!\r", 5);
    ASSERT_TRUE(recordsArrive(1));
    EXPECT_EQ(records(), std::vector<std::string>{"diff <prog.c> <prog.c%>"});
    EXPECT_NE(access(directory.file("notes.txt").c_str(), F_OK), 0);
}

} // namespace
