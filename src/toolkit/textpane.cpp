#include "toolkit/textpane.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cstring>

namespace {

// Modification events the pane listens to while the user edits: the insert check (memory limit)
// and the "before" events, which say that a change is coming. The events that carry the
// inserted or deleted text are left out: QScintilla answers each of them with work that grows
// with the length of the text (a character count from the top for accessibility).
constexpr unsigned long userModificationEvents = QsciScintillaBase::SC_MOD_INSERTCHECK |
                                                 QsciScintillaBase::SC_MOD_BEFOREINSERT |
                                                 QsciScintillaBase::SC_MOD_BEFOREDELETE;

constexpr int secondaryIndicator = QsciScintillaBase::INDIC_CONTAINER;

} // namespace

TextPane::EditScope::EditScope(TextPane *pane) : pane_(pane)
{
    if (pane_->scopeDepth_++ == 0)
        pane_->SendScintilla(SCI_SETMODEVENTMASK, 0UL);
}

TextPane::EditScope::~EditScope()
{
    if (--pane_->scopeDepth_ == 0) {
        pane_->SendScintilla(SCI_SETMODEVENTMASK, userModificationEvents);
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

TextPane::TextPane(QWidget *parent) : QsciScintilla(parent)
{
    applyDocumentSettings();
    // Line ends are kept as they are: nothing converts them, not even pasting.
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 0UL);
    for (int margin = 0; margin < 5; ++margin)
        setMarginWidth(margin, 0);
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);

    SendScintilla(SCI_INDICSETSTYLE, secondaryIndicator, INDIC_STRAIGHTBOX);
    SendScintilla(SCI_INDICSETFORE, secondaryIndicator, QColor(Qt::darkGray));
    SendScintilla(SCI_INDICSETALPHA, secondaryIndicator, 70L);
    SendScintilla(SCI_INDICSETOUTLINEALPHA, secondaryIndicator, 200L);
    SendScintilla(SCI_INDICSETUNDER, secondaryIndicator, 1L);

    SendScintilla(SCI_SETMODEVENTMASK, userModificationEvents);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &TextPane::onModified);
    connect(this, &QsciScintillaBase::SCN_SAVEPOINTLEFT, this, &TextPane::noteChange);
    connect(this, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, &TextPane::noteChange);
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &TextPane::onCharAdded);
    // QScintilla puts a plain copy of a mouse selection on the PRIMARY and then reports the
    // change; taking the PRIMARY back at that moment makes the pane its holder. Selections
    // made with the keyboard are reported as selection changes.
    connect(this, &QsciScintillaBase::QSCN_SELCHANGED, this, [this](bool yes) {
        if (yes)
            claimIfSelected();
    });
    connect(this, &QsciScintilla::selectionChanged, this, &TextPane::claimIfSelected);
}

TextPane::~TextPane() = default;

// The settings that Scintilla keeps with the document rather than with the view.
void TextPane::applyDocumentSettings()
{
    setUtf8(true);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_LF);
    setTabWidth(8);
    setIndentationsUseTabs(true);
}

long TextPane::textLength() const
{
    return SendScintilla(SCI_GETLENGTH);
}

bool TextPane::fits(long added) const
{
    return memoryLimit_ <= 0 || added <= 0 || textLength() + added <= memoryLimit_;
}

const char *TextPane::rangePointer(long position, long length) const
{
    return reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), length));
}

int TextPane::replaceAllBytes(const char *bytes, long length)
{
    EditScope scope(this);
    const bool readOnly = isReadOnly();
    SendScintilla(SCI_SETREADONLY, 0UL);
    // Reserve the room first, so that a text that cannot be held leaves the old one in place.
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(length) + 1);
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
        return TEXTSW_STATUS_OUT_OF_MEMORY;
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    setSecondarySelection(0, 0);
    appendValidator_ = Utf8Validator();
    const bool utf8 = appendValidator_.feed(bytes, static_cast<std::size_t>(length)) &&
                      appendValidator_.complete();
    setUtf8(utf8);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(length), bytes);
    int status = TEXTSW_STATUS_OKAY;
    if (SendScintilla(SCI_GETSTATUS) != SC_STATUS_OK) {
        SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
        // The old text is gone already: leave an empty text that belongs to no file.
        SendScintilla(SCI_CLEARALL);
        fileName_.clear();
        savedText_.clear();
        status = TEXTSW_STATUS_OUT_OF_MEMORY;
    }
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);

    // New lines typed by the user get the text's own line end.
    const auto find = [&](char c) {
        return length > 0 ? static_cast<const char *>(std::memchr(bytes, c, length)) : nullptr;
    };
    const char *cr = find('\r');
    const char *lf = find('\n');
    int eolMode = SC_EOL_LF;
    if (cr && (!lf || cr < lf))
        eolMode = (cr + 1 == lf) ? SC_EOL_CRLF : SC_EOL_CR;
    SendScintilla(SCI_SETEOLMODE, eolMode);

    SendScintilla(SCI_SETREADONLY, readOnly ? 1UL : 0UL);
    noteChange();
    return status;
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
    while (changePending_) {
        changePending_ = false;
        if (notifyProc_) {
            const TextswNotifyProc proc = notifyProc_; // it may register another procedure
            proc(this);
        }
    }
}

void TextPane::onModified(int, int type, const char *, int length, int, int, int, int, int, int)
{
    if (type & SC_MOD_INSERTCHECK) {
        if (!fits(length)) {
            SendScintilla(SCI_CHANGEINSERTION, static_cast<uintptr_t>(0), "");
            QApplication::beep();
        }
        return;
    }
    if (length > 0)
        noteChange();
}

void TextPane::onCharAdded(int character)
{
    if (!autoIndent_)
        return;
    const char lastOfLineEnd = SendScintilla(SCI_GETEOLMODE) == SC_EOL_CR ? '\r' : '\n';
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    // The line end must really have gone in (the memory limit may have refused it).
    if (character != lastOfLineEnd || caret == 0 ||
        static_cast<char>(SendScintilla(SCI_GETCHARAT, caret - 1)) != lastOfLineEnd)
        return;
    const long line = SendScintilla(SCI_LINEFROMPOSITION, caret);
    if (line == 0)
        return;
    std::string indent;
    for (long pos = SendScintilla(SCI_POSITIONFROMLINE, line - 1);; ++pos) {
        const char c = static_cast<char>(SendScintilla(SCI_GETCHARAT, pos));
        if (c != ' ' && c != '\t')
            break;
        indent += c;
    }
    if (!indent.empty())
        SendScintilla(SCI_ADDTEXT, static_cast<uintptr_t>(indent.size()), indent.data());
}

void TextPane::setPrimarySelection(long first, long lastPlusOne)
{
    if (first == lastPlusOne)
        SendScintilla(SCI_SETEMPTYSELECTION, SendScintilla(SCI_GETCURRENTPOS));
    else
        SendScintilla(SCI_SETSELECTION, static_cast<unsigned long>(lastPlusOne), first);
    SendScintilla(SCI_CHOOSECARETX);
    claimIfSelected();
}

void TextPane::claimIfSelected()
{
    if (SendScintilla(SCI_GETSELECTIONEND) > SendScintilla(SCI_GETSELECTIONSTART))
        selection_claim_primary(this);
}

std::string TextPane::selectedBytes()
{
    const long first = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    return end > first ? std::string(rangePointer(first, end - first), static_cast<std::size_t>(end - first))
                       : std::string();
}

long TextPane::selectionFirst()
{
    return SendScintilla(SCI_GETSELECTIONSTART);
}

long TextPane::selectionLast()
{
    return SendScintilla(SCI_GETSELECTIONEND) - 1;
}

void TextPane::deleteSelection()
{
    textsw_erase(this, SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
}

void TextPane::setSecondarySelection(long first, long lastPlusOne)
{
    SendScintilla(SCI_SETINDICATORCURRENT, secondaryIndicator);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, textLength());
    if (lastPlusOne > first)
        SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(first),
                      lastPlusOne - first);
    secondaryAt_ = first;
}

void TextPane::secondarySelection(long *first, long *lastPlusOne) const
{
    const long length = textLength();
    const long start = SendScintilla(SCI_INDICATORVALUEAT, secondaryIndicator, 0L)
                           ? 0
                           : SendScintilla(SCI_INDICATOREND, secondaryIndicator, 0L);
    const long end = start < length ? SendScintilla(SCI_INDICATOREND, secondaryIndicator, start)
                                    : start;
    if (end > start) {
        *first = start;
        *lastPlusOne = end;
    } else {
        *first = *lastPlusOne = std::clamp(secondaryAt_, 0L, length);
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

void TextPane::contextMenuEvent(QContextMenuEvent *event)
{
    if (!popupMenu_) {
        QsciScintilla::contextMenuEvent(event);
        return;
    }
    popupMenu_->popup(event->globalPos());
    event->accept();
}

bool TextPane::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && marginTipProc_) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const long marksLeft = SendScintilla(SCI_GETMARGINWIDTHN, 0UL);
        const long marksRight = marksLeft + SendScintilla(SCI_GETMARGINWIDTHN, 1UL);
        if (help->pos().x() >= marksLeft && help->pos().x() < marksRight) {
            const long position =
                SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(marksRight), help->pos().y());
            const std::string tip =
                marginTipProc_(this, SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
            if (tip.empty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), "<pre>" + QString::fromUtf8(tip.c_str()).toHtmlEscaped() + "</pre>",
                                   viewport());
            return true;
        }
    }
    return QsciScintilla::viewportEvent(event);
}

void TextPane::keyPressEvent(QKeyEvent *event)
{
    // QScintilla mishandles a key press that types more than one UTF-16 unit: it aborts the
    // program on some (two characters of different UTF-8 lengths) and drops others (characters
    // outside the basic plane). Such text is put in here as typed text instead.
    const QString text = event->text();
    const auto commandKeys = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (text.size() > 1 && !(event->modifiers() & commandKeys) && text.at(0).isPrint()) {
        if (!isReadOnly()) {
            const QByteArray bytes = isUtf8() ? text.toUtf8() : text.toLatin1();
            SendScintilla(SCI_REPLACESEL, bytes.constData());
        }
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}
