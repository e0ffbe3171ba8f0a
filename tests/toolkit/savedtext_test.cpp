// What a pane keeps of a loaded file: the text is read in pieces, and textsw_reset goes back to
// the text as loaded or stored whatever changed it, without a copy of the text made at the first
// change (only an undo taken from the saved text itself copies it).
#include "support/testsupport.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Sci = QsciScintillaBase;

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

void typeKey(TextPane *pane, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(pane, &press);
}

// The size of the pieces a file is read in.
constexpr std::size_t piece = 256 * 1024;

} // namespace

TEST(SavedText, ResetGoesBackWithoutACopyWhateverChangedTheText)
{
    TempDir dir;
    const std::string original = "alpha\nbeta\ngamma\n";
    writeFile(dir.file("f.txt"), original);
    TextPane pane;
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"typing", [&] { typeKey(&pane, Qt::Key_X, QStringLiteral("x")); }},
        {"typing a new line", [&] { typeKey(&pane, Qt::Key_Return, QStringLiteral("\r")); }},
        {"deleting with a key", [&] { typeKey(&pane, Qt::Key_Delete, QString()); }},
        {"pasting", [&] { pane.SendScintilla(Sci::SCI_PASTE); }},
        {"insert", [&] { textsw_insert(&pane, "ins", 3); }},
        {"erase", [&] { textsw_erase(&pane, 2, 8); }},
        {"replace", [&] { textsw_replace_bytes(&pane, 0, 5, "omega", 5); }},
        {"append", [&] { textsw_append(&pane, "end\n", 4); }},
        {"a batch", [&] {
             TextswBatch batch(&pane);
             textsw_replace_bytes(&pane, 0, 1, "A", 1);
             textsw_erase(&pane, 6, 7);
         }},
    };
    for (const auto &[what, change] : changes) {
        ASSERT_EQ(textsw_load_file(&pane, dir.file("f.txt"), false), TEXTSW_STATUS_OKAY);
        textsw_set_insertion_point(&pane, 3);
        EXPECT_FALSE(pane.keepsSavedCopy()) << what;
        change();
        QApplication::processEvents();
        ASSERT_NE(paneText(&pane), original) << what;
        EXPECT_FALSE(pane.keepsSavedCopy()) << what;
        const std::string changed = paneText(&pane);
        EXPECT_EQ(pane.savedText(), original) << what;
        EXPECT_EQ(paneText(&pane), changed) << what; // asking for the saved text changes nothing
        EXPECT_TRUE(textsw_modified(&pane)) << what;
        EXPECT_EQ(textsw_reset(&pane), 0) << what;
        EXPECT_EQ(paneText(&pane), original) << what;
        EXPECT_FALSE(textsw_modified(&pane)) << what;
        EXPECT_FALSE(pane.keepsSavedCopy()) << what;
    }
}

TEST(SavedText, FollowsStoresAndUndo)
{
    TempDir dir;
    writeFile(dir.file("f.txt"), "one\n");
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("f.txt"), false), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(textsw_reset(&pane), 0); // unchanged: nothing to go back to
    EXPECT_EQ(paneText(&pane), "one\n");

    textsw_insert(&pane, "two\n", 4);
    ASSERT_EQ(textsw_store_file(&pane, dir.file("f.txt")), 0);
    EXPECT_FALSE(pane.keepsSavedCopy()); // the stored text is the text
    EXPECT_EQ(pane.savedText(), "two\none\n");

    // Undo back past the store is a change like any other.
    ASSERT_EQ(textsw_undo(&pane), 1);
    EXPECT_EQ(paneText(&pane), "one\n");
    EXPECT_EQ(textsw_reset(&pane), 0);
    EXPECT_EQ(paneText(&pane), "two\none\n");

    const std::string help = "help text";
    textsw_set_contents(&pane, help.data(), static_cast<long>(help.size()));
    textsw_erase(&pane, 0, 5);
    EXPECT_EQ(textsw_reset(&pane), 0);
    EXPECT_EQ(paneText(&pane), help);
}

TEST(SavedText, AnUndoFromTheSavedTextKeepsItForTheChangesAfter)
{
    // Undo from the stored text, through textsw_undo as well as by Scintilla itself, and then a
    // new change: the steps back to the stored text are gone from the history, the copy is not.
    TempDir dir;
    TextPane pane;
    const std::pair<const char *, std::function<void()>> undos[] = {
        {"textsw_undo", [&] { textsw_undo(&pane); }},
        {"Scintilla's own undo, as its keys run it", [&] { pane.SendScintilla(Sci::SCI_UNDO); }},
    };
    for (const auto &[what, undo] : undos) {
        writeFile(dir.file("f.txt"), "one\n");
        ASSERT_EQ(textsw_load_file(&pane, dir.file("f.txt"), false), TEXTSW_STATUS_OKAY);
        textsw_insert(&pane, "two\n", 4);
        ASSERT_EQ(textsw_store_file(&pane, dir.file("f.txt")), 0);
        undo();
        ASSERT_EQ(paneText(&pane), "one\n") << what;
        textsw_set_insertion_point(&pane, 4);
        textsw_insert(&pane, "three\n", 6);
        ASSERT_EQ(paneText(&pane), "one\nthree\n") << what;
        EXPECT_EQ(textsw_reset(&pane), 0) << what;
        EXPECT_EQ(paneText(&pane), "two\none\n") << what;
        EXPECT_FALSE(textsw_modified(&pane)) << what;
    }
}

TEST(SavedText, UndoAllGivesBackTheStoredBytesOfALargeFileEditedOnceOrTwice)
{
    TempDir dir;
    std::string stored;
    stored.reserve(40u << 20);
    for (int i = 0; stored.size() < (40u << 20); ++i)
        stored += "    sum += counter * " + std::to_string(i) + "; /* caf\xC3\xA9 */\r\n";
    writeFile(dir.file("big.c"), stored);
    TextPane pane;
    textsw_set_highlighting(&pane, true);
    for (int edits = 1; edits <= 2; ++edits) {
        ASSERT_EQ(textsw_load_file(&pane, dir.file("big.c"), false), TEXTSW_STATUS_OKAY);
        textsw_set_insertion_point(&pane, 20);
        typeKey(&pane, Qt::Key_X, QStringLiteral("x"));
        if (edits == 2) {
            textsw_set_insertion_point(&pane, textsw_length(&pane));
            typeKey(&pane, Qt::Key_Return, QStringLiteral("\r"));
            textsw_erase(&pane, textsw_length(&pane) / 2, textsw_length(&pane) / 2 + 1000);
        }
        QApplication::processEvents();
        ASSERT_TRUE(textsw_modified(&pane));
        EXPECT_FALSE(pane.keepsSavedCopy());
        EXPECT_EQ(textsw_reset(&pane), 0);
        EXPECT_FALSE(textsw_modified(&pane));
        EXPECT_TRUE(paneText(&pane) == stored) << "after " << edits << " edits";
        ASSERT_EQ(textsw_store_file(&pane, dir.file("again.c")), 0);
        EXPECT_TRUE(readFile(dir.file("again.c")) == stored) << "after " << edits << " edits";
    }
}

TEST(LoadInPieces, BytesCharactersAndLineEndsAcrossPieceBoundaries)
{
    TempDir dir;
    TextPane pane;
    const auto load = [&](const std::string &bytes) {
        writeFile(dir.file("big"), bytes);
        return textsw_load_file(&pane, dir.file("big"), false);
    };

    // A two-byte character split between the first and the second piece: still UTF-8.
    std::string text(piece - 1, 'a');
    text += "\xC3\xA9";
    text += std::string(piece + 100, 'b') + "\n";
    ASSERT_EQ(load(text), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(paneText(&pane), text);
    EXPECT_TRUE(textsw_is_utf8(&pane));
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_GETEOLMODE), Sci::SC_EOL_LF);

    // A bad byte in the last piece only makes the whole text Latin-1.
    text.back() = '\xFF';
    ASSERT_EQ(load(text), TEXTSW_STATUS_OKAY);
    EXPECT_FALSE(textsw_is_utf8(&pane));
    EXPECT_EQ(paneText(&pane), text);

    // The first line end is a CR ending one piece and an LF beginning the next.
    text.assign(piece - 1, 'c');
    text += "\r\nnext\n";
    ASSERT_EQ(load(text), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_GETEOLMODE), Sci::SC_EOL_CRLF);
    text.assign(piece - 1, 'c');
    text += "\rnext\r";
    ASSERT_EQ(load(text), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_GETEOLMODE), Sci::SC_EOL_CR);
    ASSERT_EQ(load("no line end"), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_GETEOLMODE), Sci::SC_EOL_LF);
    ASSERT_EQ(load(""), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(textsw_length(&pane), 0);
}
