#pragma once
// The compiler's window tests share this fixture: the real main window, built per suite in a
// temporary directory (the program's and the terminal's working directory) with the shipped
// configuration. Notices are answered by a script; terminal input is recorded, not typed.
#include "compiler/compilestate.h"
#include "compiler/compiling.h"
#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "support/mainwindowfixture.h"
#include "toolkit/imagebutton.h"
#include "toolkit/outputpane.h"
#include "toolkit/terminalpane.h"

class CompilerWindowTest : public MainWindowFixture {
public:
    static void SetUpTestSuite()
    {
        enterDirectory(directory.path());
        useDefaultConfiguration();
        buildWindow();
        // Stand-in compilers.
        writeFile(path("ends.sh"), "printf 'ends with %s\\n' \"$1\"\nexit \"$1\"\n");
        writeFile(path("waits.sh"), "echo waiting\nwhile [ ! -e go ]; do sleep 0.02; done\nrm -f go\n");
        writeFile(path("prints.sh"), "cat \"$1\"\nexit 1\n");
    }
    static void TearDownTestSuite()
    {
        destroyResultsWindow();
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        leaveDirectory();
    }
    static std::string path(const std::string &name) { return directory.file(name); }

protected:
    void SetUp() override
    {
        saved[0] = configurationTable[0];
        saved[1] = configurationTable[5];
        currentConfiguration = 0;
        workingDirectory = fileDirectory = directory.path();
    }
    void TearDown() override
    {
        writeFile(path("go"), "");
        EXPECT_TRUE(waitUntil([] { return !compileRunning(); }));
        closeResults();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        configurationTable[0] = saved[0];
        configurationTable[5] = saved[1];
        textsw_reset(textPane);
        unlink(path("go").c_str());
    }

    // Compile call, error form and flags of configuration 0.
    static void configure(const char *call, const char *form = "*#:%", const char *flags = "yy")
    {
        Configuration &c = configurationTable[0];
        snprintf(c.compilerCall, sizeof c.compilerCall, "%s", call);
        snprintf(c.errorForm, sizeof c.errorForm, "%s", form);
        snprintf(c.flags, sizeof c.flags, "%s", flags);
    }
    static void compile()
    {
        startCompile();
        ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    }
    // Starts the compile call `call` (configuration 0) and waits for its end.
    static void compile(const char *call, const char *flags = "yy")
    {
        configure(call, "*#:%", flags);
        compile();
    }
    static std::string resultsText()
    {
        return textsw_contents(resultsWindow->resultsPane, 0, textsw_length(resultsWindow->resultsPane));
    }
    static NavigationButtons shownButtons()
    {
        const ResultsWindow *w = resultsWindow;
        return {!w->previousButton->isInactive(), !w->firstButton->isInactive(), !w->nextButton->isInactive(),
                !w->lastButton->isInactive()};
    }

    TerminalInputRecorder typed{false};
    static inline TempDir directory;

private:
    Configuration saved[2];
};
