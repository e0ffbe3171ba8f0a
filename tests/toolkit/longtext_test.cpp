// What a pane does so that a key typed anywhere in a long text is shown at once leaves no trace:
// Scintilla's gaps travel to the caret while the program is idle, and lines shown far into a C text
// are styled on their own first, then everything in order.
#include "support/testsupport.h"
#include "support/waiting.h"
#include "toolkit/textmarks.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Sci = QsciScintillaBase;

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

std::string numberedLines(int count, const char *end = " /* line */\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "int v" + std::to_string(i) + " = " + std::to_string(i) + ";" + end;
    return text;
}

bool gapsNear(TextPane *pane, long position)
{
    return std::labs(pane->SendScintilla(Sci::SCI_GETGAPPOSITION) - position) < 1024;
}

// Everything of a pane that a move of the gaps must leave as it was.
struct PaneState {
    std::string text;
    bool modified = false, canUndo = false;
    long anchor = 0, caret = 0, secondaryFirst = 0, secondaryEnd = 0, firstLine = 0;
    std::vector<long> markLines;
};

PaneState stateOf(TextPane *pane, const std::vector<long> &marks)
{
    PaneState state;
    state.text = paneText(pane);
    state.modified = textsw_modified(pane);
    state.canUndo = pane->SendScintilla(Sci::SCI_CANUNDO) != 0;
    state.anchor = pane->SendScintilla(Sci::SCI_GETANCHOR);
    state.caret = pane->SendScintilla(Sci::SCI_GETCURRENTPOS);
    textsw_get_selection(pane, &state.secondaryFirst, &state.secondaryEnd, TEXTSW_SEL_SECONDARY);
    state.firstLine = pane->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    for (long handle : marks)
        state.markLines.push_back(textsw_mark_line(pane, handle));
    return state;
}

struct ShownPane {
    explicit ShownPane(bool highlighting = false)
    {
        pane.resize(600, 300);
        textsw_set_highlighting(&pane, highlighting);
        pane.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }
    TextPane pane;
};

} // namespace

TEST(LongText, GapsTravelToTheCaretWithoutATrace)
{
    TempDir dir;
    const std::string text = numberedLines(150000); // about 4.5 MB
    writeFile(dir.file("long.c"), text);
    ShownPane shown;
    TextPane *pane = &shown.pane;
    int notifications = 0;
    textsw_set_notify_proc(pane, [&](TextPane *) { ++notifications; });
    ASSERT_EQ(textsw_load_file(pane, dir.file("long.c"), false), TEXTSW_STATUS_OKAY);
    QApplication::processEvents();
    EXPECT_TRUE(gapsNear(pane, 0)); // the load leaves them at the top, where the text is shown

    // Marks on the lines around the place, the secondary selection over it and a primary
    // selection ending there, in the middle of a line and at the start of one.
    textsw_show_mark_margin(pane);
    for (const long line : {100000L, 140000L}) {
        const long lineStart = pane->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        for (const long place : {lineStart + 7, lineStart}) {
            std::vector<long> marks;
            for (long marked = line - 1; marked <= line + 1; ++marked)
                marks.push_back(textsw_add_mark(pane, marked, TEXTSW_MARK_ERROR));
            textsw_set_selection(pane, place - 3, place + 5, TEXTSW_SEL_SECONDARY);
            textsw_set_selection(pane, place - 20, place, TEXTSW_SEL_PRIMARY);
            textsw_possibly_normalize(pane, place);
            notifications = 0;
            const PaneState before = stateOf(pane, marks);
            ASSERT_TRUE(waitUntil([&] { return gapsNear(pane, place); }, 20000)) << place;
            const PaneState after = stateOf(pane, marks);
            EXPECT_TRUE(after.text == before.text) << place;
            EXPECT_EQ(after.modified, before.modified) << place;
            EXPECT_EQ(after.canUndo, before.canUndo) << place;
            EXPECT_EQ(after.anchor, before.anchor) << place;
            EXPECT_EQ(after.caret, before.caret) << place;
            EXPECT_EQ(after.secondaryFirst, before.secondaryFirst) << place;
            EXPECT_EQ(after.secondaryEnd, before.secondaryEnd) << place;
            EXPECT_EQ(after.firstLine, before.firstLine) << place;
            EXPECT_EQ(after.markLines, before.markLines) << place;
            EXPECT_EQ(notifications, 0) << place;
            textsw_remove_marks(pane);
        }
    }

    // Typing there and taking it back: the undo history is as the edits made it.
    textsw_insert(pane, "typed", 5);
    EXPECT_EQ(textsw_undo(pane), 1);
    EXPECT_EQ(paneText(pane), text);
    EXPECT_FALSE(textsw_modified(pane));

    // A store reads the text whole, which takes the gap of the bytes to the end; it comes back.
    const long caret = textsw_get_insertion_point(pane);
    ASSERT_EQ(textsw_store_file(pane, dir.file("stored.c")), 0);
    EXPECT_TRUE(waitUntil([&] { return gapsNear(pane, caret); }, 20000));
    EXPECT_EQ(paneText(pane), text);
    EXPECT_FALSE(textsw_modified(pane));
}

TEST(LongText, LinesShownFarDownAreStyledAtOnceAndInTheEndAsInOrder)
{
    TempDir dir;
    // A comment opens above the lines shown at the end and closes among them: styled on their own
    // first, they show as code until the styling in order reaches them.
    const int lines = 60000;
    std::string text = numberedLines(lines - 400) + "/* a comment over the end\n" + numberedLines(389, "\n") +
                       "end of it */\n" + numberedLines(10);
    writeFile(dir.file("long.c"), text);
    ShownPane shown(true);
    TextPane *pane = &shown.pane;
    ASSERT_EQ(textsw_load_file(pane, dir.file("long.c"), false), TEXTSW_STATUS_OKAY);
    ASSERT_TRUE(waitUntil([&] { return !pane->stylingBehind(); }, 30000));
    ASSERT_LT(pane->SendScintilla(Sci::SCI_GETENDSTYLED), static_cast<long>(text.size()) / 2);

    pane->SendScintilla(Sci::SCI_DOCUMENTEND);
    pane->repaint();
    const long lastInt = static_cast<long>(text.rfind("int v"));
    const long keyword = pane->SendScintilla(Sci::SCI_GETSTYLEAT, 0UL);
    EXPECT_EQ(pane->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(lastInt)), keyword);
    EXPECT_TRUE(pane->stylingBehind());

    ASSERT_TRUE(waitUntil([&] { return !pane->stylingBehind(); }, 60000));
    TextPane inOrder;
    textsw_set_highlighting(&inOrder, true);
    ASSERT_EQ(textsw_load_file(&inOrder, dir.file("long.c"), false), TEXTSW_STATUS_OKAY);
    inOrder.SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    const long commented = static_cast<long>(text.rfind("int v", text.find("end of it")));
    EXPECT_NE(inOrder.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(commented)), keyword);
    const long styled = pane->SendScintilla(Sci::SCI_GETENDSTYLED);
    ASSERT_GT(styled, commented);
    for (long at = 0; at < styled; ++at)
        ASSERT_EQ(pane->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)),
                  inOrder.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(at)))
            << "at " << at << " of " << text.size();
}
