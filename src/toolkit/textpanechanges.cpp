// Edit scopes and batches, and the one notification after each change of the text or of its
// modified state; insertions that the memory limit refuses; the repaint of a pane that output is
// appended to.
#include "toolkit/textpane.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

TextPane::EditScope::EditScope(TextPane *pane, bool replacesText) : pane_(pane)
{
    // At every depth: an insert made in an enclosing scope is read before this one changes the text.
    if (!replacesText)
        pane_->settleEdits();
    if (pane_->scopeDepth_++ == 0) {
        pane_->SendScintilla(SCI_SETMODEVENTMASK, 0UL);
        pane_->scopeStartLength_ = pane_->textLength();
    }
}

TextPane::EditScope::~EditScope()
{
    if (--pane_->scopeDepth_ == 0) {
        pane_->SendScintilla(SCI_SETMODEVENTMASK, userModificationEvents);
        // The last change the scope made left all of Scintilla's gaps where it was, and the gap
        // of the bytes is still there, unless the text was only read whole (which takes that gap
        // to the end, as a store does).
        const long gap = pane_->SendScintilla(SCI_GETGAPPOSITION);
        if (gap != pane_->textLength() || pane_->textLength() != pane_->scopeStartLength_)
            pane_->gapsAt_ = gap;
        pane_->followCaretSoon();
        pane_->flushNotification();
    }
}

TextswBatch::TextswBatch(TextPane *pane) : pane_(pane), scope_(pane)
{
    pane_->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
}

TextswBatch::~TextswBatch()
{
    pane_->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
}

void TextPane::noteChange()
{
    changePending_ = true;
    if (scopeDepth_ == 0 && !flushQueued_) {
        // A change the user made: report it once the editing event is over, outside
        // Scintilla's own handling of the change.
        flushQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                flushQueued_ = false;
                flushNotification();
            },
            Qt::QueuedConnection);
    }
}

void TextPane::flushNotification()
{
    if (scopeDepth_ > 0)
        return;
    // The user's insert is in the text by now: its bytes go to the recorder at once, which wakes
    // the journal. Left for the next edit, the last key before a pause would reach no journal.
    settleEdits();
    if (changePending_)
        fitLineNumberMargin();
    while (changePending_) {
        changePending_ = false;
        if (notifyProc_) {
            const TextswNotifyProc proc = notifyProc_; // it may register another procedure
            proc(this);
        }
    }
}

void TextPane::onModified(int position, int type, const char *, int length, int, int, int, int, int, int)
{
    noteEditComing(type, position, length);
    if (type & SC_MOD_INSERTCHECK) {
        if (!fits(length))
            refuseInsertion();
        return;
    }
    if (type & SC_MOD_INSERTTEXT) {
        // Only the refused insertion's own event arrives here.
        endRefusal();
        return;
    }
    if (length > 0) {
        keepSavedText((type & SC_PERFORMED_UNDO) != 0);
        gapsAt_ = position;
        noteChange();
    }
}

void TextPane::repaintAfterAppend(bool showedEnd)
{
    if (repaintDeferred_)
        return;
    repaintDeferred_ = true;
    followEnd_ = showedEnd;
    setUpdatesEnabled(false);
    QTimer::singleShot(40, this, [this] {
        repaintDeferred_ = false;
        if (followEnd_) {
            const long lines = SendScintilla(SCI_GETLINECOUNT);
            const long onScreen = std::max(1L, SendScintilla(SCI_LINESONSCREEN));
            SendScintilla(SCI_SETFIRSTVISIBLELINE, std::max(0L, lines - onScreen));
        }
        setUpdatesEnabled(true);
        // Paint now: a posted repaint would find updates disabled again by the next append.
        if (isVisible())
            viewport()->repaint();
    });
}

// Refuses the insertion that Scintilla is checking. Scintilla still records an insertion of
// nothing, which takes an unchanged text off its save point, so that the text would count as
// modified: while the text is at its save point the document takes nothing until that insertion
// has passed (its text event, let through for this once, ends the refusal).
void TextPane::refuseInsertion()
{
    SendScintilla(SCI_CHANGEINSERTION, static_cast<uintptr_t>(0), "");
    if (!refusing_ && !SendScintilla(SCI_GETMODIFY) && !SendScintilla(SCI_GETREADONLY)) {
        refusing_ = true;
        SendScintilla(SCI_SETREADONLY, 1UL);
        SendScintilla(SCI_SETMODEVENTMASK, userModificationEvents | SC_MOD_INSERTTEXT);
    }
    QApplication::beep();
    QMetaObject::invokeMethod(
        this,
        [this] {
            endRefusal(); // in case the text event never came
            if (refusalProc_) {
                const TextswNotifyProc proc = refusalProc_;
                proc(this);
            }
        },
        Qt::QueuedConnection);
}

void TextPane::endRefusal()
{
    if (!refusing_)
        return;
    refusing_ = false;
    SendScintilla(SCI_SETREADONLY, 0UL);
    if (scopeDepth_ == 0)
        SendScintilla(SCI_SETMODEVENTMASK, userModificationEvents);
}
