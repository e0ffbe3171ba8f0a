// A file rewritten by another program while tsl holds it: an unchanged pane takes the new text
// (Undo gives the old one back), a changed pane asks, and a store over it asks first.
#include "recoveryfixture.h"

#include "documents/clearundoquit.h"
#include "documents/outsidechanges.h"
#include "toolkit/imagebutton.h"

namespace {

using Lines = std::vector<std::string>;
using OutsideChangesTest = RecoveryTest;

TEST_F(OutsideChangesTest, AnUnchangedPaneTakesTheNewTextWhenTheWindowIsActivatedAgain)
{
    openFile("a.c", "one\n");
    writeFile(dir.file("a.c"), "two, from another program\n");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(mainFrame, &activate);
    EXPECT_TRUE(waitUntil([] { return paneText() == "two, from another program\n"; }, 2000));
    EXPECT_TRUE(notices.shown().empty());
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    EXPECT_TRUE(saveButton->isInactive());

    // The reload is one step that Undo takes back; the text is then changed.
    undoLast();
    QCoreApplication::processEvents();
    EXPECT_EQ(paneText(), "one\n");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");

    // Written back with the same bytes (only its time changed): nothing is asked at a store.
    notices.press("Ok");
    undoAll();
    writeFile(dir.file("a.c"), "two, from another program\n");
    checkForOutsideChanges();
    textsw_set_insertion_point(textPane, 0);
    type("x");
    saveDocument();
    EXPECT_TRUE(notices.shown().size() == 1 && notices.shown()[0].lines[0] == "Undo all changes ?");
    EXPECT_EQ(readFile(dir.file("a.c")), "xtwo, from another program\n");
}

TEST_F(OutsideChangesTest, AChangedPaneAsksReloadOrKeepMine)
{
    openFile("a.c", "one\n", true);
    writeFile(dir.file("a.c"), "second\n");
    notices.press("Keep mine");
    checkForOutsideChanges();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{"The file was changed by another program", "a.c"}));
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"Reload", "Keep mine"}));
    EXPECT_EQ(notices.shown()[0].defaultButton, "Keep mine");
    EXPECT_EQ(paneText(), " one\n");
    checkForOutsideChanges();
    EXPECT_EQ(notices.shown().size(), 1u) << "asked again about the same change";

    // Changed again: asked again. Reload, confirmed, gives the file's text, not edited.
    writeFile(dir.file("a.c"), "three\n");
    notices.press("Reload");
    notices.press("cancel");
    checkForOutsideChanges();
    EXPECT_EQ(notices.shown().size(), 3u);
    EXPECT_EQ(paneText(), " one\n");
    writeFile(dir.file("a.c"), "four!!!\n");
    notices.press("Reload");
    notices.press("Reload");
    checkForOutsideChanges();
    EXPECT_EQ(notices.shown().size(), 5u);
    EXPECT_EQ(paneText(), "four!!!\n");
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    EXPECT_FALSE(document.edited);
    EXPECT_TRUE(saveButton->isInactive());
    EXPECT_TRUE(stateFiles(".journal").empty());
}

TEST_F(OutsideChangesTest, AStoreOverAFileChangedByAnotherProgramAsksFirst)
{
    openFile("a.c", "one\n", true);
    writeFile(dir.file("a.c"), "second\n");
    notices.press("cancel");
    saveDocument();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{"The file was changed by another program", "a.c"}));
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"Overwrite", "cancel"}));
    EXPECT_EQ(notices.shown()[0].defaultButton, "cancel");
    EXPECT_EQ(readFile(dir.file("a.c")), "second\n");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");

    // At QUIT, "cancel" is a store that did not happen: the program stays.
    notices.press("SAVE");
    notices.press("cancel");
    EXPECT_FALSE(offerToSave());
    EXPECT_EQ(readFile(dir.file("a.c")), "second\n");

    notices.press("Overwrite");
    saveDocument();
    EXPECT_EQ(readFile(dir.file("a.c")), " one\n");
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    textsw_set_insertion_point(textPane, 0);
    type("y");
    saveDocument(); // stored by this tsl: nothing asked
    EXPECT_EQ(notices.shown().size(), 4u);
    EXPECT_EQ(readFile(dir.file("a.c")), "y one\n");
}

TEST_F(OutsideChangesTest, AProjectWindowStoreAsksToo)
{
    generalSettings.maxProjectWindows = 4;
    writeFile(dir.file("app.project"), "main.c\nutil.c\n");
    writeFile(dir.file("main.c"), "main\n");
    writeFile(dir.file("util.c"), "util\n");
    document.fileName = "app.project";
    openProjectFile();
    ASSERT_NE(projectWindowTable[0], nullptr);
    textsw_insert(projectWindowTable[0]->pane, "mine ", 5);
    QCoreApplication::processEvents();
    writeFile(dir.file("util.c"), "theirs\n");
    notices.press("cancel");
    saveProjectWindow(0);
    EXPECT_EQ(readFile(dir.file("util.c")), "theirs\n");
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"Overwrite", "cancel"}));
    EXPECT_TRUE(projectWindowTable[0]->edited);

    // Reloaded over its changes: the plain title again.
    notices.press("Reload");
    notices.press("Reload");
    checkForOutsideChanges();
    EXPECT_EQ(textsw_contents(projectWindowTable[0]->pane, 0, 100), "theirs\n");
    EXPECT_FALSE(projectWindowTable[0]->edited);
    EXPECT_TRUE(projectWindowTable[0]->saveButton->isInactive());
    closeProjectWindows();
}

} // namespace
