// Every way a pane's text changes reaches its recorder: the records, replayed onto the saved
// text, always give the text the pane holds.
#include "support/testsupport.h"
#include "toolkit/editjournal.h"
#include "toolkit/piecetext.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <random>

namespace {

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

void key(TextPane *pane, int code, const QString &text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
    QApplication::sendEvent(pane, &press);
}

std::string randomBytes(std::mt19937 &random, int most)
{
    std::string bytes;
    const int count = 1 + static_cast<int>(random() % static_cast<unsigned>(most));
    for (int i = 0; i < count; ++i)
        bytes += "xy \n\t\0\xc3\xa9"[random() % 8];
    return bytes;
}

// A pane with a recorder, and the saved text its records apply to: taken whenever the recorder
// restarts, which happens exactly when the text is its saved text again.
struct RecordedPane {
    TempDir dir;
    TextPane pane;
    EditRecorder recorder;
    std::string saved;

    explicit RecordedPane(const std::string &text)
    {
        writeFile(dir.file("f.c"), text);
        EXPECT_EQ(textsw_load_file(&pane, dir.file("f.c"), false), TEXTSW_STATUS_OKAY);
        textsw_set_auto_indent(&pane, true);
        saved = text;
        EXPECT_TRUE(pane.setEditRecorder(&recorder));
        recorder.setWake([this] {
            if (!recorder.recordedSinceRestart())
                saved = paneText(&pane);
        });
    }
    // What the records rebuild.
    std::string rebuilt()
    {
        pane.settleEdits();
        PieceText text(saved);
        EXPECT_TRUE(replayEdits(recorder.pending(), text));
        return text.text();
    }
};

TEST(EditRecording, EveryKindOfChangeReplaysToThePanesText)
{
    RecordedPane p("int main()\n{\n    return 0;\n}\n");
    TextPane *pane = &p.pane;
    std::mt19937 random(2024);
    std::vector<std::string> done;
    for (int step = 0; step < 1500; ++step) {
        const long length = textsw_length(pane);
        const long a = std::uniform_int_distribution<long>(0, length)(random);
        const long b = std::uniform_int_distribution<long>(a, std::min(length, a + 30))(random);
        const std::string bytes = randomBytes(random, random() % 10 == 0 ? 200 : 4);
        const int what = static_cast<int>(random() % 21);
        switch (what) {
        case 0: // typing, one key at a time
            textsw_set_insertion_point(pane, a);
            key(pane, 0, QStringLiteral("q"));
            key(pane, 0, QString::fromUcs4(U"\U0001F600")); // typed by the pane itself
            break;
        case 1: // a line end, indented like the line above
            textsw_set_insertion_point(pane, a);
            key(pane, Qt::Key_Return, QStringLiteral("\r"));
            break;
        case 2:
            textsw_set_insertion_point(pane, a);
            key(pane, Qt::Key_Backspace);
            key(pane, Qt::Key_Delete);
            break;
        case 3: // typing over a selection
            textsw_set_selection(pane, a, b, TEXTSW_SEL_PRIMARY);
            key(pane, 0, QStringLiteral("Z"));
            break;
        case 4:
            textsw_set_insertion_point(pane, a);
            textsw_insert(pane, bytes.data(), static_cast<long>(bytes.size()));
            break;
        case 5:
            textsw_erase(pane, a, b);
            break;
        case 6:
            textsw_replace_bytes(pane, a, b, bytes.data(), static_cast<long>(bytes.size()));
            break;
        case 7:
            textsw_append(pane, bytes.data(), static_cast<long>(bytes.size()));
            break;
        case 8:
        case 9:
            textsw_undo(pane);
            break;
        case 10: // the editor's own redo
            pane->SendScintilla(QsciScintillaBase::SCI_REDO);
            break;
        case 11: { // bulk work in one batch
            TextswBatch batch(pane);
            for (int i = 0; i < 5; ++i) {
                const long at = std::uniform_int_distribution<long>(0, textsw_length(pane))(random);
                textsw_replace_bytes(pane, at, std::min(textsw_length(pane), at + 2), bytes.data(), 1);
            }
            break;
        }
        case 12: // cut and paste through the clipboard
            textsw_set_selection(pane, a, b, TEXTSW_SEL_PRIMARY);
            pane->SendScintilla(QsciScintillaBase::SCI_CUT);
            textsw_set_insertion_point(pane, textsw_length(pane) / 2);
            pane->SendScintilla(QsciScintillaBase::SCI_PASTE);
            break;
        case 13: // the editor's line commands
            textsw_set_insertion_point(pane, a);
            pane->SendScintilla(QsciScintillaBase::SCI_LINEDUPLICATE);
            pane->SendScintilla(QsciScintillaBase::SCI_LINETRANSPOSE);
            pane->SendScintilla(QsciScintillaBase::SCI_LINEDELETE);
            textsw_set_selection(pane, a, b, TEXTSW_SEL_PRIMARY);
            pane->SendScintilla(QsciScintillaBase::SCI_UPPERCASE);
            break;
        case 14: // a memory limit refuses part of what is typed
            textsw_set_memory_limit(pane, textsw_length(pane) + 2);
            textsw_set_insertion_point(pane, a);
            for (const char *c : {"1", "2", "3", "4"})
                key(pane, 0, QString::fromLatin1(c));
            textsw_insert(pane, "too long", 8);
            textsw_set_memory_limit(pane, 0);
            key(pane, 0, QStringLiteral("5"));
            textsw_insert(pane, "6", 1);
            break;
        case 15: { // recorded edits put in again
            EditRecorder other;
            other.inserted(std::min(a, textsw_length(pane)), bytes.data(), static_cast<long>(bytes.size()));
            other.erased(0, std::min(1L, textsw_length(pane)));
            textsw_apply_edits(pane, other.pending());
            break;
        }
        case 16: // stored: what follows applies to the stored text
            if (random() % 4 == 0) {
                ASSERT_EQ(textsw_store_file(pane, p.dir.file("f.c")), 0);
            }
            break;
        case 17:
            if (random() % 4 == 0)
                textsw_reset(pane);
            break;
        case 18: // another program rewrote the file; read back as one undoable step
            if (random() % 4 == 0) {
                writeFile(p.dir.file("f.c"), "rewritten\n" + bytes);
                ASSERT_EQ(textsw_reload_file(pane), TEXTSW_STATUS_OKAY);
            }
            break;
        case 19: // undone back to the saved text
            while (textsw_modified(pane) && textsw_undo(pane)) {
            }
            break;
        default: // read-only: nothing changes
            textsw_set_read_only(pane, true);
            key(pane, 0, QStringLiteral("r"));
            textsw_insert(pane, "r", 1);
            textsw_set_read_only(pane, false);
            break;
        }
        done.push_back(std::to_string(what));
        // The records are taken now and then, as the journal's writes do: changes of the user's
        // and the program's follow one another in between.
        if (random() % 3 != 0)
            continue;
        ASSERT_EQ(p.rebuilt(), paneText(pane)) << "after steps " << testing::PrintToString(done);
        if (!textsw_modified(pane)) {
            ASSERT_EQ(paneText(pane), p.saved) << step;
        }
    }
}

// Loading, storing, resetting and emptying the text all make it its saved text: the records go.
TEST(EditRecording, TheRecordsGoWhenTheTextIsItsSavedTextAgain)
{
    RecordedPane p("abc\n");
    TextPane *pane = &p.pane;
    const auto typeSome = [pane] {
        textsw_insert(pane, "xyz", 3);
        key(pane, 0, QStringLiteral("w"));
    };
    typeSome();
    EXPECT_TRUE(p.recorder.recordedSinceRestart());
    ASSERT_EQ(textsw_store_file(pane, p.dir.file("f.c")), 0);
    EXPECT_FALSE(p.recorder.recordedSinceRestart());
    EXPECT_EQ(p.saved, "xyzwabc\n");
    EXPECT_EQ(pane->fileStamp().hash, contentHash("xyzwabc\n", 8));
    EXPECT_EQ(pane->fileStamp().size, 8u);

    typeSome();
    ASSERT_EQ(textsw_reset(pane), 0);
    EXPECT_FALSE(p.recorder.recordedSinceRestart());
    typeSome();
    writeFile(p.dir.file("g.c"), "other\n");
    ASSERT_EQ(textsw_load_file(pane, p.dir.file("g.c"), false), TEXTSW_STATUS_OKAY);
    EXPECT_FALSE(p.recorder.recordedSinceRestart());
    EXPECT_EQ(pane->fileStamp().hash, contentHash("other\n", 6));
    typeSome();
    textsw_set_contents(pane, "", 0);
    EXPECT_FALSE(p.recorder.recordedSinceRestart());
    EXPECT_FALSE(pane->fileStamp().exists);
}

// A pane already changed cannot take a recorder: its records would apply to no saved text.
TEST(EditRecording, AChangedPaneTakesNoRecorder)
{
    TextPane pane;
    textsw_set_contents(&pane, "abc", 3);
    textsw_insert(&pane, "x", 1);
    EditRecorder recorder;
    EXPECT_FALSE(pane.setEditRecorder(&recorder));
    EXPECT_EQ(pane.editRecorder(), nullptr);
}

} // namespace
