#pragma once
// The real main window, built once for all tests of this program, with the configurations "C"
// (.c .h) and "Text" (.txt). Each test runs in its own temporary directory with scripted notices
// and the terminal's input recorded instead of typed.
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/filedialogstate.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "support/testsupport.h"
#include "toolkit/imagebutton.h"
#include "toolkit/notice.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        clearConfiguration();
        // An 800 x 600 frame, 8 list rows, 2 configurations chosen by extension.
        generalSettings = {0, 0, 0, 0, 800, 600, 0, 0, nullptr, nullptr, 0, 0, 8, 0, 0, 0, 0, 2};
        for (auto [slot, description, extensions] : {std::tuple{0, "C", ".c .h"}, {1, "Text", ".txt"},
                                                     {plainFileConfiguration, "File", ".."}}) {
            strcpy(configurationTable[slot].description, description);
            strcpy(configurationTable[slot].sourceExtensions, extensions);
        }
        setenv("HISTFILE", "", 1); // commands typed into the terminal's shell stay out of its history
        ASSERT_TRUE(buildMainWindow(nullptr));
    }
    static void TearDownTestSuite() { destroyMainWindow(); }

    void SetUp() override
    {
        ASSERT_TRUE(getcwd(startDirectory, sizeof startDirectory));
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        fileDirectory = workingDirectory = dir.path();
        document = Document();
        currentConfiguration = 0;
        textsw_set_read_only(textPane, false);
        textsw_set_contents(textPane, "", 0);
    }
    void TearDown() override
    {
        destroyFileDialog();
        QApplication::processEvents();
        ASSERT_EQ(chdir(startDirectory), 0);
    }

    // Loads a new file of the test directory as the open dialog does.
    void load(const std::string &name, const std::string &text)
    {
        writeFile(dir.file(name), text);
        document.fileName = name;
        openDocument();
    }
    void type(const std::string &text) { textsw_insert(textPane, text.data(), static_cast<long>(text.size())); }
    std::string paneText() { return textsw_contents(textPane, 0, textsw_length(textPane)); }
    std::string paneFile()
    {
        std::string name;
        textsw_append_file_name(textPane, name);
        return name;
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

    char startDirectory[4096] = "";
    TempDir dir;
    NoticeScript notices;
    TerminalInputRecorder typed{false};
};
