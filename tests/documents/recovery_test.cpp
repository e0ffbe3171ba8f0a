// Recovery journals of the main window and the project windows: written while the text has
// unsaved changes, gone when it is stored or given back, offered when a file that a killed tsl
// left one for is opened again.
#include "recoveryfixture.h"

#include "documents/clearundoquit.h"
#include "documents/outsidechanges.h"
#include "toolkit/frame.h"
#include "toolkit/imagebutton.h"

#include <random>

#include <QKeyEvent>

namespace {

using Lines = std::vector<std::string>;

const Lines offerLines = {"This file has changes that were not saved", "when tsl ended without saving them.", "a.c"};
const Lines offerButtons = {"Recover", "Discard", "Open as saved"};

void typeKeys(const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c == '\n' ? Qt::Key_Return : 0, Qt::NoModifier, c == '\n' ? "\r" : QString(c));
        QApplication::sendEvent(textPane, &press);
    }
    QCoreApplication::processEvents();
}

TEST_F(RecoveryTest, TypedChangesReachTheJournalWithinTwoSeconds)
{
    openFile("a.c", "int a;\n");
    textsw_set_insertion_point(textPane, 6);
    typeKeys(" /* typed */\nint b;");
    textsw_erase(textPane, 0, 4);
    const std::string expected = paneText();
    ASSERT_EQ(expected, "a; /* typed */\nint b;\n");

    std::string journal;
    EXPECT_TRUE(waitUntil(
        [&] {
            const std::vector<std::string> files = stateFiles(".journal");
            journal = files.empty() ? "" : files.front();
            return !journal.empty() && replayed(journal, "int a;\n") == expected;
        },
        2500))
        << "journal " << journal;
    JournalHeader header;
    replayed(journal, "int a;\n", &header);
    EXPECT_EQ(header.file, dir.file("a.c"));
    EXPECT_EQ(header.pid, getpid());
    EXPECT_TRUE(header.stored.hashed);
    EXPECT_EQ(header.stored.hash, contentHash("int a;\n", 7));
    // The copy of the stored file that the edits apply to lies beside it.
    EXPECT_EQ(readFile(recoveryDirectory() + "/" + header.baseCopy), "int a;\n");
}

// One key typed and nothing after it, as the last before a crash: the first change since the
// load, and one after the journal had caught up, each reach the journal by themselves.
TEST_F(RecoveryTest, ALoneTypedKeyReachesTheJournal)
{
    openFile("a.c", "int a;\n");
    textsw_set_insertion_point(textPane, 6);
    for (const QString key : {"x", "y"}) {
        typeKeys(key);
        const std::string expected = paneText();
        EXPECT_TRUE(waitUntil(
            [&] {
                const std::vector<std::string> files = stateFiles(".journal");
                return files.size() == 1 && replayed(files.front(), "int a;\n") == expected;
            },
            2500))
            << "after typing " << key.toStdString() << " the pane holds " << expected;
    }
}

// Save, Undo all, Undo back to the stored text, Clear window and loading another file each
// leave no journal; the next change starts a new one.
TEST_F(RecoveryTest, NoJournalIsLeftOnceTheTextIsStoredOrGivenBack)
{
    openFile("a.c", "one\n");
    const auto changeAndJournal = [this] {
        type("x");
        writeRecoveryJournal(textPane);
        return stateFiles(".journal").size() == 1 && stateFiles(".base").size() == 1;
    };
    ASSERT_TRUE(changeAndJournal());
    saveDocument();
    EXPECT_EQ(readFile(dir.file("a.c")), "xone\n");
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after Save";
    EXPECT_TRUE(stateFiles(".base").empty());

    ASSERT_TRUE(changeAndJournal());
    notices.press("Ok");
    undoAll();
    EXPECT_EQ(paneText(), "xone\n");
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after Undo all";

    ASSERT_TRUE(changeAndJournal());
    undoLast();
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after Undo back to the stored text";

    ASSERT_TRUE(changeAndJournal());
    notices.press("Do it");
    notices.press("Don't save");
    clearWindow();
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after Clear window";

    openFile("b.c", "b\n");
    ASSERT_TRUE(changeAndJournal());
    openFile("c.c", "c\n");
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after loading another file";
    EXPECT_TRUE(stateFiles(".base").empty());
}

TEST_F(RecoveryTest, RecoverGivesTheTypedTextAsEditedAndUndoTheStoredOne)
{
    openFile("a.c", "int main()\n{\n}\n");
    textsw_set_insertion_point(textPane, 13);
    typeKeys("    return 7;\n");
    textsw_replace_bytes(textPane, 4, 8, "start", 5);
    const std::string expected = paneText();
    const std::string left = leaveJournalOfKilledTsl(textPane);

    notices.press("Recover");
    reopen("a.c");
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, offerLines);
    EXPECT_EQ(notices.shown()[0].buttons, offerButtons);
    EXPECT_EQ(notices.shown()[0].defaultButton, "Recover");
    EXPECT_EQ(paneText(), expected);
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");
    EXPECT_TRUE(document.edited);
    EXPECT_FALSE(saveButton->isInactive());
    EXPECT_EQ(readFile(dir.file("a.c")), "int main()\n{\n}\n");
    // The old journal went once the recovered changes were in a journal of this tsl.
    EXPECT_FALSE(access(left.c_str(), F_OK) == 0);
    EXPECT_EQ(replayed(recoveryJournalPath(textPane), "int main()\n{\n}\n"), expected);

    textsw_undo(textPane);
    EXPECT_EQ(paneText(), "int main()\n{\n}\n");
    saveDocument(); // nothing to store: the stored text is back
    EXPECT_EQ(notices.shown().back().lines, (Lines{"Text has not been modified,  or", "no file name specified"}));

    // Recovered again and typed on: Undo all goes back through both to the stored bytes, and the
    // journal ends with them.
    textPane->SendScintilla(QsciScintillaBase::SCI_REDO);
    leaveJournalOfKilledTsl(textPane);
    notices.press("Recover");
    reopen("a.c");
    ASSERT_EQ(paneText(), expected);
    typeKeys("/* more */");
    notices.press("Ok");
    undoAll();
    EXPECT_EQ(paneText(), "int main()\n{\n}\n");
    EXPECT_FALSE(document.edited);
    EXPECT_TRUE(stateFiles(".journal").empty()) << "after Undo all";
}

TEST_F(RecoveryTest, DiscardGivesTheStoredFileAndOpenAsSavedKeepsTheJournal)
{
    openFile("a.c", "stored\n");
    type("typed ");
    const std::string left = leaveJournalOfKilledTsl(textPane);

    notices.press("Open as saved");
    reopen("a.c");
    EXPECT_EQ(paneText(), "stored\n");
    EXPECT_EQ(mainTitle(), "C: <a.c>");
    EXPECT_TRUE(access(left.c_str(), F_OK) == 0);

    notices.press("Discard");
    reopen("a.c");
    EXPECT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(paneText(), "stored\n");
    EXPECT_FALSE(document.edited);
    EXPECT_TRUE(stateFiles(".journal").empty());
    EXPECT_TRUE(stateFiles(".base").empty());

    reopen("a.c");
    EXPECT_EQ(notices.shown().size(), 2u) << "offered again after Discard";
}

// The journal of a tsl that still runs (this one, or another frame) is not offered.
TEST_F(RecoveryTest, TheJournalOfARunningTslIsNotOffered)
{
    openFile("a.c", "stored\n");
    type("typed ");
    writeRecoveryJournal(textPane);
    const std::string own = recoveryJournalPath(textPane);
    // As another frame holding the file would leave it: the same journal under another name.
    writeFile(own + ".journal", readFile(own));
    textsw_set_contents(textPane, "", 0);
    reopen("a.c");
    EXPECT_TRUE(notices.shown().empty());
    EXPECT_EQ(paneText(), "stored\n");
}

// Another program rewrote the file after the journal began: the notice says so, and Recover
// gives the edits made to the file as it was, which a store then asks before overwriting.
TEST_F(RecoveryTest, AFileChangedSinceIsToldAndRecoveredOnTheTextItWas)
{
    openFile("a.c", "version 1\n");
    type("edit ");
    leaveJournalOfKilledTsl(textPane);
    writeFile(dir.file("a.c"), "version 2 by another program\n");

    notices.press("Recover");
    reopen("a.c");
    ASSERT_EQ(notices.shown().size(), 1u);
    Lines lines = offerLines;
    lines.push_back("The file was changed by another program since.");
    EXPECT_EQ(notices.shown()[0].lines, lines);
    EXPECT_EQ(paneText(), "edit version 1\n");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");
    checkForOutsideChanges(); // the focus back: the notice has told it already
    EXPECT_EQ(notices.shown().size(), 1u);

    notices.press("cancel");
    saveDocument();
    EXPECT_EQ(notices.shown().back().lines, (Lines{"The file was changed by another program", "a.c"}));
    EXPECT_EQ(notices.shown().back().buttons, (Lines{"Overwrite", "cancel"}));
    EXPECT_EQ(readFile(dir.file("a.c")), "version 2 by another program\n");
    EXPECT_EQ(mainTitle(), "C: <a.c> - edited");

    // Its journal kept the copy of version 1: killed again, it is recovered again.
    const std::string left = leaveJournalOfKilledTsl(textPane);
    notices.press("Recover");
    reopen("a.c");
    EXPECT_EQ(paneText(), "edit version 1\n");
    notices.press("Overwrite");
    saveDocument();
    EXPECT_EQ(readFile(dir.file("a.c")), "edit version 1\n");
    EXPECT_TRUE(stateFiles(".journal").empty());
}

// Without the copy of the text the edits were made to, they cannot be recovered onto another
// text: only "Discard" and "Open as saved" are offered.
TEST_F(RecoveryTest, EditsWithoutTheirTextAreNotAppliedToAnother)
{
    openFile("a.c", "version 1\n");
    type("edit ");
    leaveJournalOfKilledTsl(textPane);
    for (const std::string &copy : stateFiles(".base"))
        unlink(copy.c_str());
    writeFile(dir.file("a.c"), "v2\n");

    reopen("a.c");
    ASSERT_EQ(notices.shown().size(), 1u);
    Lines lines = offerLines;
    lines.push_back("The file was changed by another program since;");
    lines.push_back("the changes can no longer be applied to it.");
    EXPECT_EQ(notices.shown()[0].lines, lines);
    EXPECT_EQ(notices.shown()[0].buttons, (Lines{"Discard", "Open as saved"}));
    EXPECT_EQ(notices.shown()[0].defaultButton, "Open as saved");
    EXPECT_EQ(paneText(), "v2\n");
    EXPECT_EQ(stateFiles(".journal").size(), 1u);
}

// 10,000 edits spread over a 40 MB file, typed and made by the program: the journal on disk
// rebuilds the same bytes.
TEST_F(RecoveryTest, TenThousandEditsInA40MBFileRecoverTheSameBytes)
{
    std::string big;
    big.reserve(40 << 20);
    for (int line = 0; big.size() < (40u << 20); ++line)
        big += "    sum += counter * " + std::to_string(line) + "; /* line */\n";
    openFile("big.c", big);
    std::mt19937 random(40);
    long caret = 0;
    for (int edit = 0; edit < 10000;) {
        // Typed keys, and runs of the program's edits (one undo step each run).
        textsw_set_insertion_point(textPane, caret);
        typeKeys("k\n");
        edit += 2;
        TextswBatch batch(textPane);
        for (int run = 0; run < 98 && edit < 10000; ++run, ++edit) {
            if (edit % 500 == 0) // a jump elsewhere in the file
                caret = std::uniform_int_distribution<long>(0, textsw_length(textPane))(random);
            textsw_set_insertion_point(textPane, caret);
            if (edit % 7 == 3 && caret > 0) {
                textsw_erase(textPane, caret - 1, caret);
            } else {
                const char typed = "abc (){};\n"[edit % 10];
                textsw_insert(textPane, &typed, 1);
            }
            caret = textsw_get_insertion_point(textPane);
        }
    }
    writeRecoveryJournal(textPane);
    const std::vector<std::string> journals = stateFiles(".journal");
    ASSERT_EQ(journals.size(), 1u);
    const std::string recovered = replayed(journals.front(), big);
    EXPECT_EQ(recovered.size(), static_cast<std::size_t>(textsw_length(textPane)));
    const std::string edited = paneText();
    EXPECT_TRUE(recovered == edited) << "the recovered bytes differ";

    // And put back into the pane by "Recover" after the tsl that made them was killed.
    leaveJournalOfKilledTsl(textPane);
    notices.press("Recover");
    reopen("big.c");
    EXPECT_EQ(notices.shown().size(), 1u);
    EXPECT_TRUE(paneText() == edited) << "the recovered text differs";
    textsw_set_contents(textPane, "", 0);
}

// A replace-all writes its replacements as splices over long stretches, whose bytes the journal
// reads from the text only when it writes: recovered, they give the replaced text; stored at once,
// they never reach a journal, and what is typed next applies to the stored text.
TEST_F(RecoveryTest, ReplacedStretchesAreRecoveredAndAStoreRightAfterLeavesTheRightJournal)
{
    std::string text;
    for (int line = 0; line < 20000; ++line)
        text += "    sum += counter * " + std::to_string(line) + ";\n";
    openFile("r.c", text);
    const auto replaceStretch = [](long from, long to) {
        std::string stretch = textsw_contents(textPane, from, to);
        for (std::size_t at = 0; (at = stretch.find("counter", at)) != std::string::npos; at += 5)
            stretch.replace(at, 7, "tally");
        textsw_replace_bytes(textPane, from, to, stretch.data(), static_cast<long>(stretch.size()));
    };
    {
        TextswBatch batch(textPane); // two splices in one step: the second follows the first's bytes
        const long middle = textsw_length(textPane) / 2;
        replaceStretch(middle, textsw_length(textPane));
        replaceStretch(4, middle);
    }
    typeKeys("/* typed */");
    const std::string replaced = paneText();
    ASSERT_EQ(replaced.find("counter"), std::string::npos);
    leaveJournalOfKilledTsl(textPane);
    notices.press("Recover");
    reopen("r.c");
    EXPECT_TRUE(paneText() == replaced) << "the recovered text differs";

    replaceStretch(0, textsw_length(textPane));
    saveDocument();
    EXPECT_TRUE(readFile(dir.file("r.c")) == replaced) << "the stored text differs";
    EXPECT_TRUE(stateFiles(".journal").empty());
    replaceStretch(0, 40);
    type("y");
    writeRecoveryJournal(textPane);
    const std::vector<std::string> journals = stateFiles(".journal");
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_TRUE(replayed(journals.front(), replaced) == paneText()) << "the journal does not apply to the stored text";
    textsw_set_contents(textPane, "", 0);
}

// A project window's file: journaled, left by a killed tsl, offered when the project opens again.
TEST_F(RecoveryTest, AProjectWindowsChangesAreRecovered)
{
    generalSettings.maxProjectWindows = 4;
    writeFile(dir.file("app.project"), "main.c\nutil.c\n");
    writeFile(dir.file("main.c"), "main\n");
    writeFile(dir.file("util.c"), "util\n");
    document.fileName = "app.project";
    openProjectFile();
    ASSERT_NE(projectWindowTable[0], nullptr);
    TextPane *pane = projectWindowTable[0]->pane;
    textsw_insert(pane, "changed ", 8);
    const std::string expected = textsw_contents(pane, 0, textsw_length(pane));
    leaveJournalOfKilledTsl(pane);
    closeProjectWindows();
    EXPECT_EQ(stateFiles(".journal").size(), 1u);

    notices.press("Recover");
    document.fileName = "app.project";
    openProjectFile();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (Lines{offerLines[0], offerLines[1], "util.c"}));
    ASSERT_NE(projectWindowTable[0], nullptr);
    pane = projectWindowTable[0]->pane;
    EXPECT_EQ(textsw_contents(pane, 0, textsw_length(pane)), expected);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame_label(projectWindowTable[0]->frame).toStdString(), "util.c - edited");
    EXPECT_FALSE(projectWindowTable[0]->saveButton->isInactive());
    saveProjectWindow(0);
    EXPECT_EQ(readFile(dir.file("util.c")), expected);
    EXPECT_TRUE(stateFiles(".journal").empty());
    closeProjectWindows();
}

} // namespace
