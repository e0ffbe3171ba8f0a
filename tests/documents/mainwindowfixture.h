#pragma once
// The real main window, built once for all tests of this program, with two configurations
// ("C" for .c .h, "Text" for .txt). Each test runs in a fresh temporary directory with scripted
// notices and the terminal's input recorded (not typed, unless a test types for real).
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
        generalSettings.mainFrameWidth = 800;
        generalSettings.mainFrameHeight = 600;
        generalSettings.fileListRows = 8;
        generalSettings.configurationCount = 2;
        strcpy(configurationTable[0].description, "C");
        strcpy(configurationTable[0].sourceExtensions, ".c .h");
        strcpy(configurationTable[1].description, "Text");
        strcpy(configurationTable[1].sourceExtensions, ".txt");
        strcpy(configurationTable[plainFileConfiguration].description, "File");
        strcpy(configurationTable[plainFileConfiguration].sourceExtensions, "..");
        setenv("HISTFILE", "", 1); // the commands typed into the terminal's shell stay out of its history
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
        setMainTitle(productTitle);
    }
    void TearDown() override
    {
        destroyFileDialog();
        QApplication::processEvents();
        ASSERT_EQ(chdir(startDirectory), 0);
    }

    // Loads a file of the test directory as the open dialog would.
    void load(const std::string &name, const std::string &text)
    {
        writeFile(dir.file(name), text);
        document.fileName = name;
        openDocument();
        ASSERT_EQ(textsw_contents(textPane, 0, textsw_length(textPane)), text);
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
    std::vector<std::string> questions() const
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
