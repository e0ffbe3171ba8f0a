// The pane's side of a recovery journal: every change of the text told to an EditRecorder, the
// stamp of the file the text was loaded from or stored into, and the operations that recovery and
// a reload from disk need (applying recorded edits, reading the file again as one undoable step).
#include "toolkit/editjournal.h"
#include "toolkit/fileinpieces.h"
#include "toolkit/piecetext.h"
#include "toolkit/textpane.h"

#include <algorithm>

bool TextPane::setEditRecorder(EditRecorder *recorder)
{
    comingAt_ = -1;
    if (recorder && SendScintilla(SCI_GETMODIFY)) {
        recorder_ = nullptr;
        return false;
    }
    recorder_ = recorder;
    return true;
}

// Scintilla announces each change of the user's before making it: an erase can be recorded at
// once; the bytes of an insert are in the text only afterwards, so they are read at the next
// announcement, at the start of the next edit scope, or when the records are taken.
void TextPane::noteEditComing(int type, long position, long length)
{
    if (!recorder_ || length <= 0 || !(type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)))
        return;
    settleEdits();
    if (type & SC_MOD_BEFOREDELETE) {
        recorder_->erased(position, length);
        return;
    }
    comingAt_ = position;
    comingLength_ = length;
    lengthBeforeComing_ = textLength();
}

void TextPane::settleEdits()
{
    if (comingAt_ < 0)
        return;
    const long at = comingAt_;
    comingAt_ = -1;
    // Nothing else changes the text before this runs: an insert that did not happen (no memory)
    // shows as a length that did not grow.
    if (recorder_ && textLength() == lengthBeforeComing_ + comingLength_)
        recorder_->inserted(at, rangePointer(at, comingLength_), comingLength_);
}

void TextPane::recordInserted(long position, const char *bytes, long length)
{
    if (recorder_)
        recorder_->inserted(position, bytes, length);
}

void TextPane::recordErased(long position, long length)
{
    if (recorder_)
        recorder_->erased(position, length);
}

void TextPane::restartEdits()
{
    comingAt_ = -1;
    if (recorder_)
        recorder_->restart();
}

void TextPane::undoRecorded()
{
    // Edit scopes mask the modification events; the announcements are let through for the undo,
    // which may take back any number of steps.
    if (recorder_)
        SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    SendScintilla(SCI_UNDO);
    if (recorder_)
        SendScintilla(SCI_SETMODEVENTMASK, 0UL);
}

int textsw_apply_edits(TextPane *pane, std::string_view records)
{
    if (!pane)
        return -1;
    // The edits are replayed outside the pane first, onto a text of the pane's length: scattered
    // edits then go into the pane as their differences, last to first, so that the places of
    // those before stay put and the editor's gap crosses the text once.
    PieceText edited(pane->textLength());
    if (!replayEdits(records, edited))
        return -1;
    const std::vector<PieceText::Change> changes = edited.changes();
    const bool readOnly = pane->isReadOnly();
    TextswBatch batch(pane);
    pane->keepSavedText();
    pane->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 0UL);
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        // Through the target, which takes a length: the bytes may hold NULs.
        pane->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(change->from),
                            change->to);
        pane->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<uintptr_t>(change->bytes.size()),
                            change->bytes.data());
        pane->recordErased(change->from, change->to - change->from);
        pane->recordInserted(change->from, change->bytes.data(), static_cast<long>(change->bytes.size()));
    }
    pane->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    pane->noteChange();
    return 0;
}

int textsw_load_file_as(TextPane *pane, const std::string &source, const std::string &name, const FileStamp &stamp,
                        bool browsing)
{
    const std::string target = name; // `name` may be the pane's own, which the load changes
    const int status = textsw_load_file(pane, source, browsing, 0);
    if (status != TEXTSW_STATUS_OKAY)
        return status;
    pane->setFileName(target);
    pane->setFileStamp(stamp);
    return TEXTSW_STATUS_OKAY;
}

int textsw_reload_file(TextPane *pane)
{
    if (!pane || pane->fileName().empty())
        return TEXTSW_STATUS_BAD_ATTR;
    FileInPieces file;
    int status = file.open(pane->fileName());
    if (status != TEXTSW_STATUS_OKAY)
        return status;
    MappedArray<char> bytes;
    if (!bytes.reserveMore(static_cast<std::size_t>(file.size()) + 1))
        return TEXTSW_STATUS_OUT_OF_MEMORY;
    Utf8Validator utf8;
    const char *piece = nullptr;
    for (long got; (got = file.next(&piece)) != 0;) {
        if (got < 0)
            return file.tooLong() ? TEXTSW_STATUS_OUT_OF_MEMORY : TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE;
        if (!bytes.append(piece, static_cast<std::size_t>(got)))
            return TEXTSW_STATUS_OUT_OF_MEMORY;
        utf8.feed(piece, static_cast<std::size_t>(got));
    }
    TextPane::EditScope scope(pane);
    const long caret = pane->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long firstLine = pane->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const bool readOnly = pane->isReadOnly();
    pane->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 0UL);
    // One undo step: Undo gives the text as it was before the reload back.
    pane->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
    pane->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, 0UL, pane->textLength());
    pane->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.data() ? bytes.data() : "");
    pane->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    pane->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    pane->appendValidator() = utf8;
    pane->setUtf8(utf8.complete());
    pane->setFileStamp(file.stamp());
    pane->setReloadedAtSavePoint(true);
    pane->dropSavedCopy();
    pane->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    pane->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, std::clamp(caret, 0L, pane->textLength()));
    pane->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    pane->noteChange();
    return TEXTSW_STATUS_OKAY;
}

bool textsw_reload_undoable(TextPane *pane)
{
    return pane && pane->reloadedAtSavePoint() && !pane->SendScintilla(QsciScintillaBase::SCI_GETMODIFY) &&
           pane->SendScintilla(QsciScintillaBase::SCI_CANUNDO);
}
