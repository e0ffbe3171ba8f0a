#pragma once
// The real main window, built once for all tests of this program, with the configurations "C"
// (.c .h) and "Text" (.txt). Each test runs in its own temporary directory with scripted notices
// and the terminal's input recorded instead of typed.
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialogstate.h"
#include "support/mainwindowfixture.h"
#include "toolkit/imagebutton.h"
#include "toolkit/terminalpane.h"

#include <QApplication>

class MainWindowTest : public MainWindowFixture {
protected:
    static void SetUpTestSuite()
    {
        useConfigurations({{0, "C", ".c .h"}, {1, "Text", ".txt"}, {plainFileConfiguration, "File", ".."}});
        // An 800 x 600 frame, 8 list rows, 2 configurations chosen by extension.
        generalSettings = {0, 0, 0, 0, 800, 600, 0, 0, nullptr, nullptr, 0, 0, 8, 0, 0, 0, 0, 2};
        setenv("HISTFILE", "", 1); // commands typed into the terminal's shell stay out of its history
        buildWindow();
    }
    static void TearDownTestSuite() { destroyMainWindow(); }

    void SetUp() override
    {
        enterDirectory(dir.path());
        fileDirectory = workingDirectory = dir.path();
        directoryChanged = false;
        document = Document();
        currentConfiguration = 0;
        textsw_set_read_only(textPane, false);
        textsw_set_contents(textPane, "", 0);
    }
    void TearDown() override
    {
        destroyFileDialog();
        QApplication::processEvents();
        leaveDirectory();
    }

    // Loads a new file of the test directory as the open dialog does.
    void load(const std::string &name, const std::string &text)
    {
        writeFile(dir.file(name), text);
        document.fileName = name;
        openDocument();
    }
    static std::string cwd()
    {
        char buffer[4096];
        return getcwd(buffer, sizeof buffer) ? buffer : "";
    }
    std::vector<std::string> questions() const // the last line of each notice
    {
        std::vector<std::string> lines;
        for (const NoticeRecord &record : notices.shown())
            lines.push_back(record.lines.back());
        return lines;
    }

    TempDir dir;
    TerminalInputRecorder typed{false};
};
