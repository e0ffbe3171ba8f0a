#pragma once
// The real main window, built for each test, with notices answered by a script and the
// selection service free at the start.
#include "documents/document.h"
#include "support/mainwindowfixture.h"
#include "texttools/texttoolstate.h"
#include "toolkit/textfield.h"

#include <QApplication>
#include <QClipboard>

class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        useDefaultConfiguration();
        buildWindow();
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
};

using Lines = std::vector<std::string>;
