#pragma once
// The real main window, built for each test, with notices answered by a script and the
// selection service free at the start.
#include "config/configuration.h"
#include "documents/document.h"
#include "shell/mainwindow.h"
#include "shell/startup.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"
#include "toolkit/textfield.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QClipboard>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r")) {
            readConfigurationFrom(file);
            fclose(file);
        }
        ASSERT_TRUE(buildMainWindow(nullptr));
        QApplication::clipboard()->clear(QClipboard::Selection);
        QApplication::processEvents();
    }
    void TearDown() override
    {
        destroyMainWindow();
        QApplication::processEvents();
    }

    // Makes `text` the main pane's whole text with the caret at `caret` and nothing selected.
    static void setText(const std::string &text, long caret = 0)
    {
        textsw_set_contents(textPane, text.data(), static_cast<long>(text.size()));
        textsw_set_insertion_point(textPane, caret);
    }
    static std::string text() { return textsw_contents(textPane, 0, textsw_length(textPane)); }
    static std::pair<long, long> selection(TextPane *pane = textPane)
    {
        Textsw_index first = 0, end = 0;
        textsw_get_selection(pane, &first, &end, TEXTSW_SEL_PRIMARY);
        return {first, end};
    }
    static long caret(TextPane *pane = textPane) { return textsw_get_insertion_point(pane); }
    // Types `value` into the open prompt and presses Return.
    static void answerPrompt(const std::string &value)
    {
        ASSERT_NE(toolPrompt, nullptr);
        toolPrompt->setValue(QString::fromStdString(value));
        toolPrompt->pressReturn();
    }
    std::vector<std::string> firstLines() const
    {
        std::vector<std::string> lines;
        for (const NoticeRecord &record : notices.shown())
            lines.push_back(record.lines.empty() ? std::string() : record.lines.front());
        return lines;
    }

    NoticeScript notices;
};

using Lines = std::vector<std::string>;
