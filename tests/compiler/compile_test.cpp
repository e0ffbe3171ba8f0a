// Captured compiles through the real main window: the results window, the output, the end
// messages, the lock and the fallbacks.
#include "compilerfixture.h"

#include "toolkit/notifier.h"

#include <sys/resource.h>

namespace {

using CompileTest = CompilerWindowTest;

TEST_F(CompileTest, RunsTheCompilerAndReportsHowItEnded)
{
    openFile("prog.c", "int answer(void) { return 42; }\n");
    configure("cc -c *#");
    compile();
    ASSERT_NE(resultsWindow, nullptr);
    EXPECT_EQ(resultsWindow->windowTitle(), "Compiler Results");
    EXPECT_EQ(resultsText().substr(0, 3), "cc\n");
    EXPECT_EQ(resultsMessageText(), "+++ Success +++");
    EXPECT_EQ(access(path("prog.o").c_str(), F_OK), 0);
    EXPECT_EQ(*compilerOutput, resultsText());

    const struct {
        const char *call;
        const char *message;
    } ends[] = {{"sh ends.sh 0", "+++ Success +++"},
                {"sh ends.sh 1", "--- Error status 1 ---"},
                {"sh   ends.sh  3", "--- Return code 3 ---"}};
    for (const auto &end : ends) {
        configure(end.call);
        compile();
        EXPECT_EQ(resultsMessageText(), end.message) << end.call;
        EXPECT_EQ(resultsText().substr(0, 3), "sh\n") << end.call;
    }

    configure("  tsl-no-such-compiler  *#");
    compile();
    EXPECT_EQ(resultsText(), "tsl-no-such-compiler\nexecvp: No such file or directory\n");
    EXPECT_EQ(resultsMessageText(), "--- Error status 1 ---");
    EXPECT_TRUE(notices.shown().empty());
    EXPECT_TRUE(typed.inputs().empty());
}

TEST_F(CompileTest, RefusesAFileThatDoesNotFitTheConfiguration)
{
    openFile("prog.c", "int x;\n");
    openFile("prog.f", "      end\n"); // chooses the Fortran configuration and matches ".f"
    document.matchedExtension = ".c";   // as after choosing "C (gcc)" from the menu
    currentConfiguration = 0;
    configure("cc -c *#");
    startCompile();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines[2], "         Source file format          ");
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{" Cancel "});
    EXPECT_EQ(resultsWindow, nullptr);
    EXPECT_FALSE(compileRunning());

    // Without '*' the extension is not looked at.
    configure("sh ends.sh 0");
    compile();
    EXPECT_EQ(resultsMessageText(), "+++ Success +++");
}

TEST_F(CompileTest, ShowsOutputExactlyAsWrittenAndStopsShowingAtTheMemoryLimit)
{
    openFile("prog.c", "int x;\n");
    // Hundreds of small writes, and an e-acute whose two bytes arrive in two reads.
    writeFile(path("pieces.sh"), "i=0\nwhile [ $i -lt 300 ]; do printf 'piece %d\\n' $i; i=$((i+1)); done\n"
                                 "printf 'caf\\303'; sleep 0.2; printf '\\251 done\\n'\n");
    std::string expected = "sh\n";
    for (int i = 0; i < 300; ++i)
        expected += "piece " + std::to_string(i) + "\n";
    expected += "caf\xC3\xA9 done\n";
    configure("sh pieces.sh");
    compile();
    EXPECT_EQ(resultsText(), expected);
    EXPECT_EQ(*compilerOutput, expected);
    EXPECT_TRUE(textsw_is_utf8(resultsWindow->resultsPane));

    // A results pane that takes 100 bytes: the rest is still collected.
    closeResults();
    const int limit = generalSettings.resultsTextMemoryLimit;
    generalSettings.resultsTextMemoryLimit = 100;
    compile();
    generalSettings.resultsTextMemoryLimit = limit;
    EXPECT_LE(textsw_length(resultsWindow->resultsPane), 100);
    EXPECT_EQ(*compilerOutput, expected);
    EXPECT_FALSE(liveDisplay);
}

TEST_F(CompileTest, ALockedCompileRefusesCompileSaveAndRunUntilItEnds)
{
    openFile("prog.c", "int x;\n");
    textsw_insert(textPane, "/* edited */", 12);
    QCoreApplication::processEvents();
    ASSERT_TRUE(document.edited);
    configure("sh waits.sh");
    notices.press("Don't save");
    startCompile();
    ASSERT_EQ(notices.shown().size(), 1u);
    notices.clear();
    ASSERT_TRUE(compileRunning());
    EXPECT_TRUE(compileLock);
    const int child = compilerProcess.processId();
    EXPECT_TRUE(compileButton->isBusy());
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_TRUE(runButton->isInactive());
    EXPECT_TRUE(runForegroundButton->isInactive());
    EXPECT_TRUE(resultsWindow->compileButton->isBusy());
    EXPECT_TRUE(resultsWindow->runButton->isInactive());
    EXPECT_TRUE(resultsWindow->closeButton->isInactive());
    EXPECT_EQ(shownButtons(), NavigationButtons());

    startCompile();
    saveDocument();
    runInBackground();
    runInForeground();
    closeResults();
    resultsWindow->close(); // the window manager's close
    EXPECT_EQ(compilerProcess.processId(), child);
    EXPECT_EQ(readFile(path("prog.c")), "int x;\n");
    EXPECT_TRUE(typed.inputs().empty());
    EXPECT_TRUE(notices.shown().empty());
    ASSERT_NE(resultsWindow, nullptr);
    layoutWorkArea(); // a re-layout keeps showing the lock
    EXPECT_TRUE(compileButton->isBusy());
    EXPECT_TRUE(saveButton->isInactive());

    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    EXPECT_FALSE(compileLock);
    EXPECT_EQ(resultsMessageText(), "+++ Success +++");
    EXPECT_FALSE(compileButton->isBusy());
    EXPECT_FALSE(saveButton->isInactive());
    EXPECT_FALSE(runButton->isInactive());
    EXPECT_FALSE(runForegroundButton->isInactive());
    EXPECT_FALSE(resultsWindow->compileButton->isBusy());
    EXPECT_FALSE(resultsWindow->runForegroundButton->isInactive());
    EXPECT_FALSE(resultsWindow->closeButton->isInactive());
    textsw_reset(textPane);
}

TEST_F(CompileTest, AnUnlockedCompileStillRefusesASecondOne)
{
    openFile("prog.c", "int x;\n");
    configure("sh waits.sh", "*#:%", "yn");
    startCompile();
    ASSERT_TRUE(compileRunning());
    EXPECT_FALSE(compileLock);
    EXPECT_FALSE(compileButton->isBusy());
    const int child = compilerProcess.processId();
    startCompile();
    EXPECT_EQ(compilerProcess.processId(), child);
    runInForeground(); // allowed while unlocked
    EXPECT_EQ(typed.all(), "./prog\n");
}

TEST_F(CompileTest, AnimatesFromWhereTheLastCompileStopped)
{
    openFile("prog.c", "int x;\n");
    configure("sh waits.sh");
    animationStep = 2;
    startCompile();
    EXPECT_EQ(resultsMessageText(), "*** Compiling ***");
    ASSERT_TRUE(waitUntil([] { return resultsMessageText() != "*** Compiling ***"; }, 3000));
    EXPECT_EQ(resultsMessageText(), "*** Compiling ***   . . .");
    ASSERT_TRUE(waitUntil([] { return animationStep == 0; }, 3000));
    EXPECT_EQ(resultsMessageText(), "*** Compiling *** ");
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    EXPECT_EQ(notifyTimerCount(), 0);
}

TEST_F(CompileTest, ACompilerKilledByASignalEndsTheCompile)
{
    openFile("prog.c", "int x;\n");
    configure("sh killed.sh");
    compile();
    EXPECT_EQ(resultsMessageText(), "--- Killed by signal SIGKILL ---");
    EXPECT_FALSE(compileLock);
    EXPECT_FALSE(compileButton->isBusy());
    EXPECT_FALSE(resultsWindow->closeButton->isInactive());
    EXPECT_EQ(*compilerOutput, "sh\ndying\n");
    EXPECT_EQ(notifyInputHandlerCount(), 0);
}

TEST_F(CompileTest, AClosedResultsWindowComesBackWithNavigationInactive)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("messages.txt"), "prog.c:1: error: one\nprog.c:1: error: two\n");
    configure("sh prints.sh messages.txt");
    compile();
    EXPECT_TRUE(shownButtons().next);
    closeResults();
    EXPECT_EQ(resultsWindow, nullptr);
    EXPECT_FALSE(compilerOutput.has_value());

    configure("sh waits.sh");
    startCompile();
    ASSERT_NE(resultsWindow, nullptr);
    EXPECT_EQ(shownButtons(), NavigationButtons());
    EXPECT_EQ(resultsText(), "sh\n");
}

TEST_F(CompileTest, TypesACompilerThatDoesNotEndByItselfEvenAfterADeclinedSave)
{
    openFile("prog.c", "int x;\n");
    textsw_insert(textPane, " ", 1);
    QCoreApplication::processEvents();
    configure("gcc -o * *#\\nls", "*#:%", "ny");
    notices.press("Don't save");
    notices.press("Don't save");
    startCompile();
    ASSERT_EQ(notices.shown().size(), 2u); // asked by the compile, then by the typing
    EXPECT_EQ(notices.shown()[0].lines[1], "Save this file ?");
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"gcc -o prog prog.c\nls", "\n"}));
    EXPECT_EQ(resultsWindow, nullptr);
    EXPECT_FALSE(compileLock);
    EXPECT_EQ(readFile(path("prog.c")), "int x;\n");
    textsw_reset(textPane);
}

TEST_F(CompileTest, TypesTheCommandWhenNoChildCanBeStarted)
{
    openFile("prog.c", "int x;\n");
    configure("cc -c *#");
    // No descriptor left for a pipe.
    struct rlimit saved;
    getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = dup(0);
    close(lowestFree);
    struct rlimit none = saved;
    none.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    startCompile();
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_FALSE(compileRunning());
    EXPECT_EQ(resultsWindow, nullptr);
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"cc -c prog.c", "\n"}));
    EXPECT_TRUE(waitUntil([] {
        return terminalPane->wholeText().find("Sorry, could not fork a new process, using terminal subwindow\n") !=
               std::string::npos;
    }));
}

} // namespace
