// The text and terminal panes as holders of the X PRIMARY selection.
#include "support/xclip.h"
#include "toolkit/selection.h"
#include "toolkit/terminalpane.h"
#include "toolkit/textpane.h"
#include "support/mouse.h"
#include "support/waiting.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::string readPrimaryWithXclip()
{
    QProcess reader;
    reader.start("xclip", {"-o", "-selection", "primary"});
    EXPECT_TRUE(waitUntil([&] { return reader.state() == QProcess::NotRunning; }));
    return reader.readAllStandardOutput().toStdString();
}

} // namespace

TEST(PaneSelection, TextPaneClaimsPrimaryBySelectionCallAndByMouse)
{
    TextPane pane;
    pane.resize(400, 200);
    pane.show();
    const std::string text("first line\nsecond \xe9 line\n");
    textsw_set_contents(&pane, text.data(), static_cast<long>(text.size()));

    textsw_set_selection(&pane, 11, 19, TEXTSW_SEL_PRIMARY);
    SelectionOwner owner = selection_inquire();
    ASSERT_EQ(owner.kind, SelectionOwner::Holder);
    EXPECT_EQ(owner.holder, static_cast<SelectionHolder *>(&pane));
    SelectionReply reply = selection_ask(owner);
    EXPECT_EQ(reply.text, "second \xe9");
    EXPECT_EQ(reply.first, 11);
    EXPECT_EQ(reply.last, 18);
    EXPECT_EQ(readPrimaryWithXclip(), "second \xe9");

    {
        Xclip other("elsewhere");
        EXPECT_FALSE(selection_holds_primary(&pane));
        reply = selection_ask(selection_inquire());
        EXPECT_EQ(reply.text, "elsewhere");
        EXPECT_EQ(reply.first, -1);

        // Selecting with the mouse takes the PRIMARY back from the other client.
        const int lineHeight = pane.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL);
        drag(pane.viewport(), QPoint(2, lineHeight / 2), QPoint(200, lineHeight / 2));
        ASSERT_TRUE(waitUntil([&] { return selection_holds_primary(&pane); }, 3000));
        reply = selection_ask(selection_inquire());
        EXPECT_EQ(reply.first, 0);
        EXPECT_EQ(reply.text, "first line");
        EXPECT_EQ(reply.last, 9);
    }

    selection_delete(selection_inquire());
    EXPECT_EQ(textsw_contents(&pane, 0, textsw_length(&pane)), "\nsecond \xe9 line\n");
    textsw_set_selection(&pane, 1, 4, TEXTSW_SEL_PRIMARY);
    textsw_set_read_only(&pane, true);
    selection_delete(selection_inquire());
    EXPECT_EQ(textsw_length(&pane), static_cast<long>(text.size()) - 10);
}

TEST(PaneSelection, TerminalAnswersWithPositionsInItsWholeText)
{
    TerminalPane terminal;
    terminal.resize(500, 300);
    terminal.show();
    const std::string marker = "selectable-marker-text";
    ttysw_output(&terminal, ("\r\n" + marker + "\r\n").data(), static_cast<int>(marker.size() + 4));
    ASSERT_TRUE(waitUntil([&] { return terminal.wholeText().find(marker) != std::string::npos; }));

    // Drag over the marker's row on the screen.
    std::string whole = terminal.wholeText();
    const int row = static_cast<int>(std::count(whole.begin(), whole.begin() + whole.find(marker), '\n'));
    QWidget *display = terminal.findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : terminal.findChildren<QWidget *>())
        if (child->inherits("Konsole::TerminalDisplay"))
            display = child;
    ASSERT_NE(display, nullptr);
    const int cellHeight = display->height() / terminal.screenLinesCount();
    const int cellWidth = display->width() / terminal.screenColumnsCount();
    const int y = row * cellHeight + cellHeight / 2 + 1;
    Xclip other("elsewhere");
    drag(display, QPoint(1, y), QPoint(static_cast<int>(marker.size()) * cellWidth - 2, y));
    ASSERT_TRUE(waitUntil([&] { return selection_holds_primary(&terminal); }, 3000));
    const SelectionReply reply = selection_ask(selection_inquire());
    EXPECT_EQ(reply.text, marker);
    whole = terminal.wholeText();
    ASSERT_GE(reply.first, 0);
    EXPECT_EQ(whole.substr(static_cast<size_t>(reply.first), marker.size()), marker);
    EXPECT_EQ(reply.last, reply.first + static_cast<long>(marker.size()) - 1);
}
