// Captured compiles through the real main window.
#include "compilerfixture.h"

#include "compiler/running.h"
#include "toolkit/notifier.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TSL_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TSL_ADDRESS_SANITIZER)
constexpr bool underAddressSanitizer = true;
#else
constexpr bool underAddressSanitizer = false;
#endif

using CompileTest = CompilerWindowTest;

TEST_F(CompileTest, ShowsTheOutputExactlyAndHowTheCompilerEnded)
{
    openFile("prog.c", "int answer(void) { return 42; }\n");
    compile("cc -c *#");
    EXPECT_EQ(resultsText().substr(0, 3), "cc\n");
    EXPECT_EQ(resultsMessageText(), "+++ Success +++");
    EXPECT_EQ(access(path("prog.o").c_str(), F_OK), 0);
    for (auto [call, message] : {std::pair{"sh ends.sh 1", "--- Error status 1 ---"},
                                 std::pair{"  sh   ends.sh 3", "--- Return code 3 ---"},
                                 std::pair{"tsl-no-such-compiler *#", "--- Error status 1 ---"}}) {
        compile(call);
        EXPECT_EQ(resultsMessageText(), message) << call;
    }
    EXPECT_EQ(resultsText(), "tsl-no-such-compiler\nexecvp: No such file or directory\n");

    // Hundreds of small writes, and an e-acute whose two bytes arrive in two reads.
    writeFile(path("pieces.sh"), "i=0\nwhile [ $i -lt 300 ]; do printf 'piece %d\\n' $i; i=$((i+1)); done\n"
                                 "printf 'caf\\303'; sleep 0.2; printf '\\251\\n'\n");
    std::string expected = "sh\n";
    for (int i = 0; i < 300; ++i)
        expected += "piece " + std::to_string(i) + "\n";
    compile("sh pieces.sh");
    EXPECT_EQ(resultsText(), expected + "caf\xC3\xA9\n");
    EXPECT_EQ(textOf(*compilerOutput), expected + "caf\xC3\xA9\n");
    EXPECT_TRUE(textsw_is_utf8(resultsWindow->resultsPane));
    EXPECT_TRUE(notices.shown().empty() && typed.inputs().empty());
}

TEST_F(CompileTest, RefusesOrTypesTheCommandInsteadOfCapturingIt)
{
    openFile("prog.f", "      end\n");
    document.matchedExtension = ".c"; // as after choosing "C (gcc)" from the menu for prog.f
    currentConfiguration = 0;
    configure("cc -c *#");
    startCompile();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines[2], "         Source file format          ");
    EXPECT_EQ(resultsWindow, nullptr);

    // Not ending by itself: typed, even when the user declines to save.
    openFile("prog.c", "int x;\n", true);
    notices.setResponder([](const NoticeRecord &) { return "Don't save"; });
    configure("gcc -o * *#\\nls", "*#:%", "ny");
    startCompile();
    EXPECT_EQ(notices.shown().size(), 3u); // asked by the compile, then by the typing
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"gcc -o prog prog.c\nls", "\n"}));
    EXPECT_EQ(readFile(path("prog.c")), "int x;\n");
}

TEST_F(CompileTest, WithoutADescriptorForThePipeTheCommandIsTypedInstead)
{
    if (underAddressSanitizer)
        GTEST_SKIP() << "the sanitizers read memory through a pipe of their own, which this test leaves no descriptor for";
    auto startWithoutDescriptors = [] {
        struct rlimit saved, none;
        getrlimit(RLIMIT_NOFILE, &saved);
        none = saved;
        none.rlim_cur = static_cast<rlim_t>(dup(0));
        close(static_cast<int>(none.rlim_cur));
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
        startCompile();
        setrlimit(RLIMIT_NOFILE, &saved);
    };
    openFile("prog.c", "int x;\n");
    configure("cc -c *#");
    typed.clear();
    startWithoutDescriptors();
    EXPECT_FALSE(resultsWindow || compileRunning() || compileLock);
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"cc -c prog.c", "\n"}));
    EXPECT_TRUE(waitUntil([] {
        return terminalPane->wholeText().find("\nSorry, could not fork a new process, using terminal subwindow\n") !=
               std::string::npos;
    }));

    // A compile that did not run leaves the output before as it was: its messages still name the
    // file by paths read from the directory that compile ran in.
    ASSERT_TRUE(mkdir(path("sub").c_str(), 0755) == 0 || errno == EEXIST);
    writeFile(path("messages.txt"), "sub/../prog.c:1: error: x\n");
    compile("sh prints.sh messages.txt");
    ASSERT_EQ(errorList.entries().size(), 1u);
    workingDirectory = fileDirectory = path("sub");
    configure("cc -c *#");
    startWithoutDescriptors();
    EXPECT_EQ(typed.inputs().size(), 4u);
    rebuildErrorList();
    EXPECT_EQ(errorList.entries().size(), 1u);
}

TEST_F(CompileTest, ALockedCompileRefusesCompileSaveAndRunUntilItEnds)
{
    openFile("prog.c", "int x;\n", true);
    notices.press("Don't save");
    configure("sh waits.sh");
    startCompile();
    notices.clear();
    ASSERT_TRUE(compileRunning() && compileLock);
    const int child = compilerProcess.processId();
    const std::vector<ImageButton *> inactive = {saveButton, runButton, runForegroundButton, resultsWindow->runButton,
                                                 resultsWindow->runForegroundButton, resultsWindow->closeButton};
    auto locked = [&] {
        bool all = compileButton->isBusy() && resultsWindow->compileButton->isBusy();
        for (ImageButton *button : inactive)
            all = all && button->isInactive();
        return all;
    };
    EXPECT_TRUE(locked());
    EXPECT_EQ(shownButtons(), NavigationButtons());
    startCompile();
    saveDocument();
    runInBackground();
    runInForeground();
    resultsWindow->close(); // the window manager's close
    EXPECT_TRUE(locked());
    EXPECT_EQ(compilerProcess.processId(), child);
    EXPECT_EQ(readFile(path("prog.c")), "int x;\n");
    EXPECT_TRUE(typed.inputs().empty() && notices.shown().empty());

    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    EXPECT_FALSE(compileLock || compileButton->isBusy() || resultsWindow->compileButton->isBusy());
    for (ImageButton *button : inactive)
        EXPECT_FALSE(button->isInactive());

    // Without the lock a second compile is still refused; running is allowed.
    configure("sh waits.sh", "*#:%", "yn");
    startCompile();
    const int unlockedChild = compilerProcess.processId();
    startCompile();
    EXPECT_EQ(compilerProcess.processId(), unlockedChild);
    runInForeground();
    EXPECT_EQ(typed.all(), "./prog\n");
}

TEST_F(CompileTest, AnimatesOnFromTheLastStepAndEndsOnASignal)
{
    openFile("prog.c", "int x;\n");
    // A recovery journal of an earlier test may still wait to write its last edits.
    ASSERT_TRUE(waitUntil([] { return notifyTimerCount() == 0; }, 5000));
    configure("sh waits.sh");
    animationStep = 2;
    startCompile();
    EXPECT_EQ(resultsMessageText(), "*** Compiling ***");
    ASSERT_TRUE(waitUntil([] { return resultsMessageText() != "*** Compiling ***"; }, 3000));
    EXPECT_EQ(resultsMessageText(), "*** Compiling ***   . . .");
    writeFile(path("go"), "");
    ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    EXPECT_EQ(notifyTimerCount(), 0);

    writeFile(path("killed.sh"), "echo dying\nkill -KILL $$\n");
    compile("sh killed.sh");
    EXPECT_EQ(resultsMessageText(), "--- Killed by signal SIGKILL ---");
    EXPECT_FALSE(compileLock || compileButton->isBusy() || resultsWindow->closeButton->isInactive());
    EXPECT_EQ(textOf(*compilerOutput), "sh\ndying\n");
    EXPECT_EQ(notifyInputHandlerCount(), 0);
}

TEST_F(CompileTest, AClosedResultsWindowComesBackWithNavigationInactive)
{
    openFile("prog.c", "int x;\n");
    writeFile(path("messages.txt"), "prog.c:1: error: one\n");
    compile("sh prints.sh messages.txt");
    EXPECT_TRUE(shownButtons().next);
    closeResults();
    EXPECT_TRUE(resultsWindow == nullptr && !compilerOutput);
    configure("sh waits.sh");
    startCompile();
    ASSERT_NE(resultsWindow, nullptr);
    EXPECT_EQ(shownButtons(), NavigationButtons());
    EXPECT_EQ(resultsText(), "sh\n");
}

} // namespace
