#pragma once
// One fixture for the compiler's window tests: the real main window, built once, in a temporary
// directory that is the program's and the terminal's working directory, with the shipped default
// configuration. Every test answers notices from a script and records what is typed into the
// terminal without typing it.
#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "shell/mainwindow.h"
#include "shell/operations.h"
#include "shell/startup.h"
#include "support/testsupport.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

template <typename Condition>
bool waitUntil(Condition done, int milliseconds = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class CompilerWindowTest : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        directory = new TempDir;
        char here[4096];
        startDirectory = getcwd(here, sizeof here) ? here : "/";
        if (chdir(directory->path().c_str()) != 0)
            FAIL() << "cannot enter " << directory->path();
        FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r");
        ASSERT_NE(file, nullptr);
        readConfigurationFrom(file);
        fclose(file);
        ASSERT_TRUE(buildMainWindow(nullptr));
        // Stand-in compilers: each says what it does, and exits as told.
        writeFile(path("ends.sh"), "printf 'ends with %s\\n' \"$1\"\nexit \"$1\"\n");
        writeFile(path("waits.sh"), "echo waiting\nwhile [ ! -e go ]; do sleep 0.02; done\nrm -f go\n");
        writeFile(path("killed.sh"), "echo dying\nkill -KILL $$\n");
        writeFile(path("prints.sh"), "cat \"$1\"\nexit 1\n");
    }

    static void TearDownTestSuite()
    {
        destroyResultsWindow();
        destroyMainWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (chdir(startDirectory.c_str()) != 0)
            perror(startDirectory.c_str());
        delete directory;
        directory = nullptr;
    }

    static std::string path(const std::string &name) { return directory->file(name); }

protected:
    void SetUp() override
    {
        savedConfiguration = configurationTable[0];
        savedSlot5 = configurationTable[5];
        currentConfiguration = 0;
        workingDirectory = fileDirectory = directory->path();
    }

    void TearDown() override
    {
        writeFile(path("go"), "");
        EXPECT_TRUE(waitUntil([] { return !compileRunning(); }));
        closeResults();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        configurationTable[0] = savedConfiguration;
        configurationTable[5] = savedSlot5;
        currentConfiguration = 0;
        unlink(path("go").c_str());
    }

    // Loads the file, as the open dialog does, into the main text pane.
    void openFile(const std::string &name, const std::string &text)
    {
        writeFile(path(name), text);
        document.fileName = name;
        directoryChanged = false;
        openDocument();
        QCoreApplication::processEvents();
    }

    // The compile call, error form and flags of the current configuration (slot 0).
    void configure(const char *compilerCall, const char *errorForm = "*#:%", const char *flags = "yy")
    {
        Configuration &c = configurationTable[0];
        snprintf(c.compilerCall, sizeof c.compilerCall, "%s", compilerCall);
        snprintf(c.errorForm, sizeof c.errorForm, "%s", errorForm);
        snprintf(c.flags, sizeof c.flags, "%s", flags);
    }

    // Starts a compile and waits for its end.
    void compile()
    {
        startCompile();
        ASSERT_TRUE(waitUntil([] { return !compileRunning(); }));
    }

    static std::string resultsText()
    {
        TextPane *pane = resultsWindow->resultsPane;
        return textsw_contents(pane, 0, textsw_length(pane));
    }

    static NavigationButtons shownButtons()
    {
        return {!resultsWindow->previousButton->isInactive(), !resultsWindow->firstButton->isInactive(),
                !resultsWindow->nextButton->isInactive(), !resultsWindow->lastButton->isInactive()};
    }

    NoticeScript notices;
    TerminalInputRecorder typed{false};

    static inline TempDir *directory;
    static inline std::string startDirectory;

private:
    Configuration savedConfiguration;
    Configuration savedSlot5;
};
