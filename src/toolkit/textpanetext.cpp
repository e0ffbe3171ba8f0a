// Loading a whole text into the pane, and the saved text that "Undo all" goes back to.
#include "toolkit/textpane.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cstring>

namespace {

// Where the first line end of a text read piece by piece lies, and which it is.
class LineEndFinder {
public:
    void feed(const char *bytes, long length)
    {
        if (mode_ >= 0 || length <= 0)
            return;
        if (pendingCr_) {
            mode_ = bytes[0] == '\n' ? QsciScintillaBase::SC_EOL_CRLF : QsciScintillaBase::SC_EOL_CR;
            return;
        }
        const auto *cr = static_cast<const char *>(std::memchr(bytes, '\r', static_cast<size_t>(length)));
        const auto *lf = static_cast<const char *>(std::memchr(bytes, '\n', static_cast<size_t>(length)));
        if (lf && (!cr || lf < cr))
            mode_ = QsciScintillaBase::SC_EOL_LF;
        else if (cr && cr + 1 < bytes + length)
            mode_ = cr[1] == '\n' ? QsciScintillaBase::SC_EOL_CRLF : QsciScintillaBase::SC_EOL_CR;
        else if (cr)
            pendingCr_ = true;
    }
    // LF when the text has no line end at all.
    int mode() const
    {
        if (mode_ >= 0)
            return mode_;
        return pendingCr_ ? QsciScintillaBase::SC_EOL_CR : QsciScintillaBase::SC_EOL_LF;
    }

private:
    int mode_ = -1;
    bool pendingCr_ = false; // the last piece ended in a CR
};

} // namespace

int TextPane::replaceAllBytes(long length, const TextswPieceReader &next, const std::string &name)
{
    // An insert not yet read for the recorder is read only if the old text stays (when the
    // first piece or the room for the text cannot be had): a text replaced is not copied.
    EditScope scope(this, true);
    const auto keepOldText = [this] { settleEdits(); };
    // The first piece is read before anything changes, so that a file that cannot be read at
    // all leaves the old text in place.
    const char *piece = nullptr;
    long got = next(&piece);
    if (got < 0) {
        keepOldText();
        return TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE;
    }
    const bool readOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, 0UL);
    // Reserve the room first, so that a text that cannot be held leaves the old one in place;
    // for a long text with room to spare, so that the first keys typed do not make Scintilla copy
    // the whole text and its styles into larger buffers (a short one is copied at once, and a
    // project opens many of them: the spare room would be cleared memory for each).
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    // (Scintilla grows a buffer whose room only just fits what is put in; the two bytes to spare
    // keep room for the line end that moves the gaps to the top below, which would else copy the
    // text and its styles into new buffers.)
    unsigned long room = static_cast<unsigned long>(std::max(length, 0L)) + 2;
    if (room >= 1024 * 1024)
        room += room / 32 + 65536;
    SendScintilla(SCI_ALLOCATE, room);
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
        keepOldText();
        return TEXTSW_STATUS_OUT_OF_MEMORY;
    }
    comingAt_ = -1;
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    // Emptying the whole text gives Scintilla's buffers back: the room is taken again at once, or
    // the appends would grow them a sixth at a time, copying the text and its styles each time.
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ALLOCATE, room);
    setSecondarySelection(0, 0);
    // The lexer is chosen while the text is empty: choosing it restyles what is there.
    setFileName(name);
    appendValidator_ = Utf8Validator();
    LineEndFinder lineEnd;
    int status = TEXTSW_STATUS_OKAY;
    for (; got > 0; got = next(&piece)) {
        appendValidator_.feed(piece, static_cast<std::size_t>(got));
        lineEnd.feed(piece, got);
        SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(got), piece);
        if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
            SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
            status = TEXTSW_STATUS_OUT_OF_MEMORY;
            break;
        }
    }
    if (got < 0)
        status = TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE;
    if (status != TEXTSW_STATUS_OKAY) {
        // The old text is gone already: leave an empty text that belongs to no file.
        SendScintilla(SCI_CLEARALL);
        setFileName(std::string());
    }
    // The bytes may have come from the kept copy (a reset): it goes only now.
    dropSavedCopy();
    // The text is shown from its top at first: Scintilla's gaps, which the appends left at the
    // end, go there now rather than with the first key typed (textpanegaps.cpp).
    moveGapsNear(0);
    setUtf8(appendValidator_.complete());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    // New lines typed by the user get the text's own line end.
    SendScintilla(SCI_SETEOLMODE, lineEnd.mode());
    SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    fitLineNumberMargin();
    restartStyling();
    noteChange();
    return status;
}

int TextPane::replaceAllBytes(const char *bytes, long length, const std::string &name)
{
    bool handedOut = false;
    return replaceAllBytes(
        length,
        [&](const char **piece) {
            *piece = bytes;
            const long count = handedOut || !bytes ? 0 : length;
            handedOut = true;
            return count;
        },
        name);
}

std::string_view TextPane::savedText()
{
    if (!savedCopyKept_ && SendScintilla(SCI_GETMODIFY) != 0) {
        // Back through the undo history to the saved text, a copy of it, and forward again. The
        // steps are no change of the text for anyone else: no notification, no save-point signal.
        const QSignalBlocker quiet(this);
        EditScope scope(this);
        const bool readOnly = isReadOnly();
        SendScintilla(SCI_SETREADONLY, 0UL);
        const long anchor = SendScintilla(SCI_GETANCHOR), caret = SendScintilla(SCI_GETCURRENTPOS);
        const long firstLine = SendScintilla(SCI_GETFIRSTVISIBLELINE);
        long undone = 0;
        for (; SendScintilla(SCI_GETMODIFY) != 0 && SendScintilla(SCI_CANUNDO) != 0; ++undone)
            SendScintilla(SCI_UNDO);
        if (SendScintilla(SCI_GETMODIFY) == 0)
            copySavedText();
        for (; undone > 0; --undone)
            SendScintilla(SCI_REDO);
        SendScintilla(SCI_SETSELECTION, static_cast<unsigned long>(caret), anchor);
        SendScintilla(SCI_SETFIRSTVISIBLELINE, firstLine);
        SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
        changePending_ = false;
        if (!savedCopyKept_)
            return std::string_view();
    }
    if (savedCopyKept_)
        return textOf(savedCopy_);
    const long length = textLength();
    return std::string_view(length > 0 ? rangePointer(0, length) : "", static_cast<std::size_t>(length));
}

bool TextPane::undoToSavedText()
{
    if (SendScintilla(SCI_GETMODIFY) == 0)
        return true;
    EditScope scope(this);
    const bool readOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, 0UL);
    long undone = 0;
    for (; SendScintilla(SCI_GETMODIFY) != 0 && SendScintilla(SCI_CANUNDO) != 0; ++undone)
        SendScintilla(SCI_UNDO);
    const bool back = SendScintilla(SCI_GETMODIFY) == 0;
    // The history does not lead back (it cannot, while an undo from the saved text keeps a copy):
    // the text is put back as it was.
    for (; !back && undone > 0; --undone)
        SendScintilla(SCI_REDO);
    SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    if (back)
        noteChange();
    return back;
}

void TextPane::keepSavedText(bool undoing)
{
    // Any other change leaves the saved text behind it in the undo history.
    if (savedCopyKept_ || !undoing || !atSavedText_)
        return;
    copySavedText();
}

void TextPane::copySavedText()
{
    // Copied in the two parts that lie on either side of Scintilla's gap, so that the text is
    // not moved while a change of it is under way.
    const long length = textLength();
    const long gap = std::clamp(static_cast<long>(SendScintilla(SCI_GETGAPPOSITION)), 0L, length);
    savedCopy_.clear();
    savedCopyLost_ =
        (gap > 0 && !savedCopy_.append(rangePointer(0, gap), static_cast<std::size_t>(gap))) ||
        (gap < length &&
         !savedCopy_.append(rangePointer(gap, length - gap), static_cast<std::size_t>(length - gap)));
    if (savedCopyLost_) {
        // Without the memory for the copy the text cannot be reset; the edit still goes ahead.
        savedCopy_.clear();
        qWarning("text pane: no memory to keep the saved text for Undo all");
    }
    savedCopyKept_ = true;
}

void TextPane::dropSavedCopy()
{
    savedCopy_.clear();
    savedCopyKept_ = false;
    savedCopyLost_ = false;
}
