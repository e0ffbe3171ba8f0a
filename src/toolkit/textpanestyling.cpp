// Highlighting a long C text from where it is shown. A lexer styles a text in order from its top,
// and Scintilla styles what a repaint is about to show first, in slices of up to 20 ms: after a jump
// into a long file that was not yet styled so far, every repaint, and with it every key typed
// there, waited a slice until the styling had caught up (seconds, in a 40 MB file). The pane
// instead styles the lines it shows on their own, as if the text began there, and then styles the
// text before them in order, a few milliseconds at a time while the program is idle, going on
// through the shown lines again, so that in the end every byte has the style that styling in order
// gives it.
//
// The C lexer keeps a record for every line up to the farthest it has styled, and the first
// styling far beyond it fills the records in between at once (a quarter of a second per million
// lines). So, after a load, the pane first has the lexer style one line at a time farther and
// farther down, a few milliseconds a step, until the records reach the last line; only a view
// within their reach is styled on its own. Styles set by these steps are only stand-ins: Scintilla
// still counts the text as styled no farther than before, and styles it again in order.
#include "toolkit/textpane.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace {

// A view this many lines or more beyond the styled text is styled on its own first.
constexpr long linesToSkip = 2000;
// Lines styled above and below the view when it is styled on its own.
constexpr long viewMargin = 200;
// How long one step of styling in the background may take.
constexpr double stepMs = 4.0;
// The style given to the line end before a range styled on its own: an operator, which the C lexer
// does not carry into the next line and which ends its look back over blanks and comments (without
// it the look back would go through all the unstyled text above).
constexpr long lineBreakStyle = 10;

// Lines (or line records) per step, adjusted so that a step takes about stepMs.
long adjustedCount(long count, double ms)
{
    return ms > 0 ? std::clamp(static_cast<long>(count * stepMs / ms), 50L, 1000000L) : count * 2;
}

} // namespace

bool TextPane::stylingBehind() const
{
    return lexedTo_ >= 0 || (stylesViewFirst() && recordsTo_ < SendScintilla(SCI_GETLINECOUNT) - 1);
}

bool TextPane::stylesViewFirst() const
{
    return lexer_ && (lexerLanguage_ == HighlightLanguage::cFamily || lexerLanguage_ == HighlightLanguage::java);
}

void TextPane::restartStyling()
{
    lexedTo_ = -1;
    recordsTo_ = 0;
    if (stylesViewFirst())
        styleSoon();
}

void TextPane::styleSoon()
{
    if (!stylingTimer_) {
        stylingTimer_ = new QTimer(this);
        stylingTimer_->setSingleShot(true);
        stylingTimer_->setInterval(0);
        connect(stylingTimer_, &QTimer::timeout, this, &TextPane::styleInBackground);
    }
    stylingTimer_->start();
}

void TextPane::paintEvent(QPaintEvent *event)
{
    styleViewFirst();
    QsciScintilla::paintEvent(event);
}

void TextPane::styleViewFirst()
{
    if (!stylesViewFirst())
        return;
    const long styled = SendScintilla(SCI_GETENDSTYLED);
    const long firstLine = SendScintilla(SCI_DOCLINEFROMVISIBLE, SendScintilla(SCI_GETFIRSTVISIBLELINE));
    if (SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(styled)) + linesToSkip > firstLine)
        return;
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    const long lastLine = firstLine + SendScintilla(SCI_LINESONSCREEN) + viewMargin;
    if (recordsTo_ < std::min(lastLine, lines - 1)) {
        styleSoon(); // Scintilla styles in order meanwhile
        return;
    }
    const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine - viewMargin));
    const long to = lastLine >= lines ? textLength()
                                      : SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine));
    // Where the styling in order stands: the styled end, unless a styling in order was under way.
    if (lexedTo_ < 0 || lexedTo_ > styled)
        lexedTo_ = styled;
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from - 1), 0xFFL);
    SendScintilla(SCI_SETSTYLING, 1UL, lineBreakStyle);
    SendScintilla(SCI_COLOURISE, static_cast<unsigned long>(from), to);
    styleSoon();
}

void TextPane::styleInBackground()
{
    if (!lexer_) {
        lexedTo_ = -1;
        return;
    }
    const long claimed = SendScintilla(SCI_GETENDSTYLED);
    const long lines = SendScintilla(SCI_GETLINECOUNT);
    QElapsedTimer clock;
    clock.start();
    if (stylesViewFirst() && recordsTo_ < lines - 1) {
        // One line styled alone farther down; Scintilla's styled end stays where it was.
        const long line = std::min(lines - 1, recordsTo_ + recordsPerStep_);
        const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long to = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line + 1));
        if (from > claimed) {
            SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(from - 1), 0xFFL);
            SendScintilla(SCI_SETSTYLING, 1UL, lineBreakStyle);
            SendScintilla(SCI_COLOURISE, static_cast<unsigned long>(from), std::max(from, to));
            SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(claimed), 0xFFL);
            recordsPerStep_ = adjustedCount(recordsPerStep_, clock.nsecsElapsed() / 1e6);
        }
        recordsTo_ = line;
        styleSoon();
        return;
    }
    // Scintilla counts the text as styled up to `claimed`; a change before the styling in order
    // took that back, and Scintilla styles on from the change in order by itself.
    if (lexedTo_ < 0 || lexedTo_ >= claimed) {
        lexedTo_ = -1;
        return;
    }
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(lexedTo_));
    const long from = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long to = std::min(claimed, static_cast<long>(SendScintilla(SCI_POSITIONFROMLINE,
                                                                      static_cast<unsigned long>(line + linesPerStep_))));
    SendScintilla(SCI_COLOURISE, static_cast<unsigned long>(from), to);
    linesPerStep_ = adjustedCount(linesPerStep_, clock.nsecsElapsed() / 1e6);
    if (to >= claimed) {
        lexedTo_ = -1;
        return;
    }
    // The styling stopped here; what lies beyond, up to where it was, counts as styled still.
    lexedTo_ = to;
    SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(claimed), 0xFFL);
    styleSoon();
}
