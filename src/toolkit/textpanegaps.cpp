// Scintilla's gaps kept near the caret. Scintilla holds the bytes, their styles, the line starts,
// the lexer's line states and the margin marks each in a buffer with one gap of free room, and a
// change moves every gap to where it happens: one copy of all that lies between. After a load
// every gap is at the end, so the first key at the top of a 160 MB text copied 320 MB before it
// was shown. While the program is idle the gaps travel toward the caret in steps of a few
// megabytes, one step per turn of the event loop, so that the key finds them there.
//
// The gap of the bytes goes down by reading the text across it, which changes nothing. The others
// move only with a change: a line end put in and taken out again at once, inside a line, without
// undo history, notification or any other trace (the text, its styles, its marks, its lines, the
// selection and the modified state are as before; the styling that the change would ask for is
// not needed and is not asked for).
#include "toolkit/textpane.h"

#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

// A gap this near the caret costs the next key too little to be worth moving.
constexpr long nearEnough = 256 * 1024;
// The farthest a gap travels in one step: a few milliseconds of copying.
constexpr long stepBytes = 8 * 1024 * 1024;
// How many lines either way a step looks for a line with a character to put the line end after.
constexpr long linesToLook = 8;

} // namespace

void TextPane::followCaretSoon()
{
    if (isReadOnly())
        return;
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long bytesGap = SendScintilla(SCI_GETGAPPOSITION);
    const long othersGap = gapsAt_ < 0 ? bytesGap : gapsAt_;
    if (std::labs(bytesGap - caret) <= nearEnough && std::labs(othersGap - caret) <= nearEnough)
        return;
    if (!gapTimer_) {
        gapTimer_ = new QTimer(this);
        gapTimer_->setSingleShot(true);
        gapTimer_->setInterval(0);
        connect(gapTimer_, &QTimer::timeout, this, &TextPane::stepGapsTowardCaret);
    }
    if (!gapTimer_->isActive())
        gapTimer_->start();
}

// A place inside a line near `near`, after a character that is not a line end, so that a line
// end put in there and taken out again changes no line's marks; -1 when there is none near.
long TextPane::gapStepTarget(long near) const
{
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(near));
    for (long distance = 0; distance <= linesToLook; ++distance) {
        for (const long candidate : {line + distance, line - distance}) {
            if (candidate < 0 || candidate >= lines)
                continue;
            const long start = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(candidate));
            const long end = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(candidate));
            if (end > start)
                return std::clamp(near, start + 1, end);
        }
    }
    return -1;
}

bool TextPane::moveGapsNear(long position)
{
    const long at = gapStepTarget(position);
    if (at < 0)
        return false;
    EditScope scope(this);
    const bool collecting = SendScintilla(SCI_GETUNDOCOLLECTION) != 0;
    const long styledTo = SendScintilla(SCI_GETENDSTYLED);
    const long targetStart = SendScintilla(SCI_GETTARGETSTART), targetEnd = SendScintilla(SCI_GETTARGETEND);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    // Through the target, which leaves the selection alone (SCI_INSERTTEXT would drop it).
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(at), at);
    SendScintilla(SCI_REPLACETARGET, 1UL, "\n");
    SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(at), 1L);
    SendScintilla(SCI_SETUNDOCOLLECTION, collecting ? 1UL : 0UL);
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(targetStart), targetEnd);
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(styledTo), 0xFFL);
    gapsAt_ = at;
    return true;
}

void TextPane::stepGapsTowardCaret()
{
    if (isReadOnly() || scopeDepth_ > 0)
        return;
    const long length = textLength();
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    const long bytesGap = SendScintilla(SCI_GETGAPPOSITION);
    if (gapsAt_ < 0 || gapsAt_ > length)
        gapsAt_ = bytesGap;
    const bool othersNear = std::labs(gapsAt_ - caret) <= nearEnough;
    // Where the other gaps go next, and the gap of the bytes with them.
    const long next = othersNear ? caret : gapsAt_ + std::clamp(caret - gapsAt_, -stepBytes, stepBytes);
    if (bytesGap > next + nearEnough) {
        const long to = std::max(next, bytesGap - stepBytes);
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(to), bytesGap - to + 1);
    } else if (!othersNear || bytesGap < next - nearEnough) {
        if (!moveGapsNear(next))
            gapsAt_ = caret; // a text of empty lines: nothing to gain
        return; // the end of the move's edit scope asks for the next step
    } else {
        return;
    }
    followCaretSoon();
}
