#pragma once
// The real main window under the virtual display, shared by the GUI test folders. Each folder's
// fixture derives from this one and builds the window either once per suite (from SetUpTestSuite)
// or for each test (from SetUp or the test itself) with buildWindow() and destroyMainWindow().
// Notices are answered by a script for every test.
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/projectwindows.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "support/testsupport.h"
#include "support/waiting.h"
#include "toolkit/notice.h"
#include "toolkit/textpane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>

class MainWindowFixture : public testing::Test {
protected:
    // A small table instead of the shipped configuration (useDefaultConfiguration): only the
    // description and source extensions of each given slot are set.
    static void useConfigurations(std::initializer_list<std::tuple<int, const char *, const char *>> table)
    {
        clearConfiguration();
        for (auto [slot, description, extensions] : table) {
            strcpy(configurationTable[slot].description, description);
            strcpy(configurationTable[slot].sourceExtensions, extensions);
        }
    }

    // Builds the main window as started with `argument` (nullptr: no file).
    static void buildWindow(const char *argument = nullptr) { ASSERT_TRUE(buildMainWindow(argument)); }

    // Makes `directory` the working directory; leaveDirectory() goes back to the one before.
    static void enterDirectory(const std::string &directory)
    {
        ASSERT_TRUE(getcwd(previousDirectory, sizeof previousDirectory));
        ASSERT_EQ(chdir(directory.c_str()), 0);
    }
    static void leaveDirectory() { ASSERT_EQ(chdir(previousDirectory), 0); }

    // The main text pane.
    static void type(const std::string &text) { textsw_insert(textPane, text.data(), static_cast<long>(text.size())); }
    // Writes `text` into the file `name` of the directory that the open dialog shows and loads it
    // into the main pane as that dialog does; `edited` then modifies it.
    static void openFile(const std::string &name, const std::string &text, bool edited = false)
    {
        writeFile(fileDirectory + "/" + name, text);
        document.fileName = name;
        directoryChanged = false;
        openDocument();
        if (edited)
            type(" ");
        QCoreApplication::processEvents();
    }
    static std::string paneText() { return textsw_contents(textPane, 0, textsw_length(textPane)); }
    static std::string paneFile()
    {
        std::string name;
        textsw_append_file_name(textPane, name);
        return name;
    }
    static std::pair<long, long> selection(TextPane *pane = textPane)
    {
        Textsw_index first = 0, end = 0;
        textsw_get_selection(pane, &first, &end, TEXTSW_SEL_PRIMARY);
        return {first, end};
    }

    // Closes every project window, answering "Don't save" to the questions, and lets the
    // windows go.
    void closeProjectWindows()
    {
        notices.setResponder([](const NoticeRecord &) { return "Don't save"; });
        for (int slot = 0; slot < projectWindowSlots; ++slot)
            if (projectWindowTable[slot])
                closeProjectWindow(slot);
        notices.setResponder(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    NoticeScript notices;

private:
    static inline char previousDirectory[4096] = "";
};
