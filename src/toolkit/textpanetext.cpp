// Loading a whole text into the pane, and the copy of the saved text that "Undo all" goes back to.
#include "toolkit/textpane.h"

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
    EditScope scope(this);
    // The first piece is read before anything changes, so that a file that cannot be read at
    // all leaves the old text in place.
    const char *piece = nullptr;
    long got = next(&piece);
    if (got < 0)
        return TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE;
    const bool readOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, 0UL);
    // Reserve the room first, so that a text that cannot be held leaves the old one in place.
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(std::max(length, 0L)) + 1);
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
        return TEXTSW_STATUS_OUT_OF_MEMORY;
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
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
    setUtf8(appendValidator_.complete());
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    // New lines typed by the user get the text's own line end.
    SendScintilla(SCI_SETEOLMODE, lineEnd.mode());
    SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    fitLineNumberMargin();
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

std::string_view TextPane::savedText() const
{
    if (savedCopyKept_)
        return textOf(savedCopy_);
    const long length = textLength();
    return std::string_view(length > 0 ? rangePointer(0, length) : "", static_cast<std::size_t>(length));
}

void TextPane::keepSavedText()
{
    if (savedCopyKept_)
        return;
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
