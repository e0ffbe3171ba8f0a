#include "texttools/mainwindowfixture.h"

#include "documents/projectwindows.h"
#include "support/xclip.h"
#include "xselectionowner.h"
#include "texttools/stringtools.h"
#include "toolkit/terminalpane.h"

namespace {

class StringToolsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        heldString = "held";
    }
    void TearDown() override
    {
        closeProjectWindows();
        MainWindowTest::TearDown();
    }
    // A project window in slot 0 showing `text`.
    TextPane *projectPane(const std::string &text)
    {
        writeFile(dir.file("p.c"), text);
        EXPECT_TRUE(createProjectWindow(0, dir.file("p.c")));
        return projectWindowTable[0] ? projectWindowTable[0]->pane : nullptr;
    }
    static std::string textOf(TextPane *pane) { return textsw_contents(pane, 0, textsw_length(pane)); }

    TempDir dir;
};

TEST_F(StringToolsTest, NothingSelectedLeavesTheHeldString)
{
    setText("abc");
    copyString();
    cutString();
    EXPECT_EQ(heldString, "held");
    EXPECT_EQ(paneText(), "abc");
}

TEST_F(StringToolsTest, CutTakesTheSelectionAwayAndInsertPutsItInAsOftenAsAsked)
{
    setText("one two three");
    textsw_set_selection(textPane, 4, 8, TEXTSW_SEL_PRIMARY);
    cutString();
    EXPECT_EQ(heldString, "two ");
    EXPECT_EQ(paneText(), "one three");
    textsw_set_insertion_point(textPane, 9);
    insertString();
    insertString();
    EXPECT_EQ(paneText(), "one threetwo two ");

    // Insert replaces a selection; Copy leaves the text.
    textsw_set_selection(textPane, 0, 3, TEXTSW_SEL_PRIMARY);
    copyString();
    EXPECT_EQ(heldString, "one");
    TextPane *pane = projectPane("xy\n");
    textsw_set_selection(pane, 0, 1, TEXTSW_SEL_PRIMARY);
    insertProjectString(0);
    EXPECT_EQ(textOf(pane), "oney\n");
    EXPECT_EQ(paneText(), "one threetwo two ");
}

TEST_F(StringToolsTest, AReadOnlyPaneTakesNothingAndLosesNothing)
{
    setText("keep this");
    textsw_set_selection(textPane, 0, 4, TEXTSW_SEL_PRIMARY);
    textsw_set_read_only(textPane, true);
    cutString(); // Cut does nothing while the main pane is read-only
    EXPECT_EQ(heldString, "held");
    insertString();
    EXPECT_EQ(paneText(), "keep this");
    EXPECT_EQ(selection(), std::make_pair(0L, 4L));
    textsw_set_read_only(textPane, false);

    // A pane that cannot take the held string keeps its selection too.
    textsw_set_memory_limit(textPane, 12);
    heldString = "far too long for the limit";
    insertString();
    EXPECT_EQ(paneText(), "keep this");
}

TEST_F(StringToolsTest, CutAndInsertGiveBackTheSameBytes)
{
    std::string bytes;
    for (int i = 0; i < 100 * 1024; ++i)
        bytes += static_cast<char>((i * 7919 + i / 251) % 256);
    bytes[5000] = '\0';
    setText("<" + bytes + ">");
    textsw_set_selection(textPane, 1, 1 + static_cast<long>(bytes.size()), TEXTSW_SEL_PRIMARY);
    cutString();
    EXPECT_EQ(paneText(), "<>");
    ASSERT_EQ(heldString.size(), bytes.size());
    EXPECT_TRUE(heldString == bytes);
    TextPane *pane = projectPane("");
    insertProjectString(0);
    EXPECT_TRUE(textOf(pane) == bytes);
}

TEST_F(StringToolsTest, CutFromAnotherProgramSendsItTheDeleteRequest)
{
    {
        RecordingSelectionOwner other("elsewhere");
        cutString();
        EXPECT_EQ(heldString, "elsewhere");
        EXPECT_TRUE(waitUntil([&] { return other.targets().size() == 2; }, 5000));
        EXPECT_EQ(other.targets().back(), "DELETE");
        copyString(); // no delete request
        QCoreApplication::processEvents();
        EXPECT_EQ(other.targets().size(), 3u);
    }
    // xclip ignores the request: its text is still the selection.
    Xclip xclip("from xclip");
    setText("abc");
    cutString();
    EXPECT_EQ(heldString, "from xclip");
    EXPECT_EQ(fetchSelection(), "from xclip");
    EXPECT_EQ(paneText(), "abc");
}

TEST_F(StringToolsTest, InsertIntoTheTerminalTypesTheHeldStringAndDeletesTheSelection)
{
    TerminalInputRecorder typed(false);
    setText("a selected word");
    textsw_set_selection(textPane, 2, 11, TEXTSW_SEL_PRIMARY);
    heldString = "echo 'it works'";
    insertStringTerminal();
    EXPECT_EQ(typed.inputs(), std::vector<std::string>{"echo 'it works'"});
    EXPECT_EQ(paneText(), "a word");
}

} // namespace
