#include "toolkit/textpane.h"

#include "toolkit/highlighting.h"
#include "toolkit/shortcuts.h"

#include <Qsci/qscilexer.h>

#include <QAccessibleWidget>
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

constexpr int lineNumberMargin = 0;

// QScintilla's accessibility support counts the characters from the top of the text to the caret
// whenever the view changes, whether or not an assistive tool listens: with the caret at the end
// of a 40 MB text every repaint took a third of a second. The panes are described to assistive
// tools as plain editable widgets instead.
QAccessibleInterface *plainAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextPane") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
    return nullptr;
}

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
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(plainAccessible);
        return true;
    }();
    (void)factoryInstalled;
    paneFont_ = font();
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

    // Lexers style a text only as far as it is shown, a little at a time while the program is
    // idle, so that no text is too long to be shown at once: a jump to the end of a long file
    // shows it plain at first, then coloured. What lies below the view is styled when shown.
    SendScintilla(SCI_SETIDLESTYLING, SC_IDLESTYLING_TOVISIBLE);
    SendScintilla(SCI_SETMARGINTYPEN, lineNumberMargin, SC_MARGIN_NUMBER);
    applyStyles();

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

void TextPane::setFileName(const std::string &name)
{
    fileName_ = name;
    chooseLexer();
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

void TextPane::onModified(int, int type, const char *, int length, int, int, int, int, int, int)
{
    if (type & SC_MOD_INSERTCHECK) {
        if (!fits(length)) {
            SendScintilla(SCI_CHANGEINSERTION, static_cast<uintptr_t>(0), "");
            QApplication::beep();
        }
        return;
    }
    if (length > 0) {
        keepSavedText();
        noteChange();
    }
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

bool TextPane::indicatorRange(int indicator, long *first, long *lastPlusOne) const
{
    const long start =
        SendScintilla(SCI_INDICATORVALUEAT, indicator, 0L) ? 0 : SendScintilla(SCI_INDICATOREND, indicator, 0L);
    const long end = start < textLength() ? SendScintilla(SCI_INDICATOREND, indicator, start) : start;
    *first = end > start ? start : 0;
    *lastPlusOne = end > start ? end : 0;
    return end > start;
}

void TextPane::secondarySelection(long *first, long *lastPlusOne) const
{
    if (!indicatorRange(secondaryIndicator, first, lastPlusOne))
        *first = *lastPlusOne = std::clamp(secondaryAt_, 0L, textLength());
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

bool TextPane::event(QEvent *event)
{
    // Keys bound to the program's commands go to the commands, also those the editor would
    // otherwise keep for itself (Ctrl-Z).
    if (event->type() == QEvent::ShortcutOverride && shortcut_is_bound(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return false;
    }
    return QsciScintilla::event(event);
}

void TextPane::keyPressEvent(QKeyEvent *event)
{
    // QScintilla mishandles a key press that types more than one UTF-16 unit: it aborts the
    // program on some (two characters of different UTF-8 lengths) and drops others (a character
    // outside the basic plane, which comes as two surrogates). It also types '?' for a character
    // that a Latin-1 text cannot hold. Such text is put in here instead.
    const QString text = event->text();
    const auto commandKeys = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QVector<uint> characters = text.toUcs4();
    const bool typesText = !text.isEmpty() && !(event->modifiers() & commandKeys) &&
                           !characters.isEmpty() && QChar::isPrint(characters.first());
    const bool beyondLatin1 =
        std::any_of(characters.begin(), characters.end(), [](uint c) { return c > 0xFF; });
    if (typesText && (text.size() > 1 || (beyondLatin1 && !isUtf8()))) {
        typeText(text);
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

// Puts typed text in at the caret, over the selection, in the text's encoding; a character that
// a Latin-1 text cannot hold is refused with a beep rather than changed.
void TextPane::typeText(const QString &text)
{
    if (isReadOnly())
        return;
    const bool fitsLatin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    if (!isUtf8() && !fitsLatin1) {
        QApplication::beep();
        return;
    }
    const QByteArray bytes = isUtf8() ? text.toUtf8() : text.toLatin1();
    SendScintilla(SCI_REPLACESEL, bytes.constData());
}

void TextPane::recolor(int start, int)
{
    const long styledTo = SendScintilla(SCI_GETENDSTYLED);
    if (start >= 0 && start < styledTo)
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0xFFL);
    viewport()->update();
}

void TextPane::setPaneFont(const QFont &font)
{
    paneFont_ = font;
    applyStyles();
}

void TextPane::setHighlighting(bool on)
{
    highlighting_ = on;
    chooseLexer();
}

void TextPane::setShowsLineNumbers(bool on)
{
    lineNumbers_ = on;
    lineNumberDigits_ = 0;
    fitLineNumberMargin();
}

// The lexer for the file the pane edits, when highlighting is on.
void TextPane::chooseLexer()
{
    const HighlightLanguage wanted = highlighting_ ? highlightLanguageFor(fileName_) : HighlightLanguage::none;
    if (wanted == lexerLanguage_)
        return;
    lexerLanguage_ = wanted;
    QsciLexer *old = lexer_;
    lexer_ = createLexer(wanted, paneFont_, this);
    setLexer(lexer_);
    // QScintilla turns folding on with every lexer; the fold levels would cost memory per line.
    SendScintilla(SCI_SETPROPERTY, "fold", "0");
    delete old;
    applyStyles();
}

// Every style in the pane's font; removing a lexer resets the styles to Scintilla's defaults.
void TextPane::applyStyles()
{
    if (lexer_) {
        lexer_->setDefaultFont(paneFont_);
        lexer_->setFont(paneFont_);
    } else {
        QsciScintilla::setFont(paneFont_);
    }
    setMarginsFont(paneFont_);
    SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, QColor(0x70, 0x70, 0x70));
    SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, QColor(0xee, 0xee, 0xee));
    lineNumberDigits_ = 0;
    fitLineNumberMargin();
}

// The line-number margin holds the digits of the last line number, at least two, and a little
// room on either side.
void TextPane::fitLineNumberMargin()
{
    if (!lineNumbers_) {
        if (SendScintilla(SCI_GETMARGINWIDTHN, lineNumberMargin) != 0)
            SendScintilla(SCI_SETMARGINWIDTHN, lineNumberMargin, 0L);
        return;
    }
    int digits = 2;
    for (long lines = SendScintilla(SCI_GETLINECOUNT); lines >= 100; lines /= 10)
        ++digits;
    if (digits == lineNumberDigits_)
        return;
    lineNumberDigits_ = digits;
    const QByteArray nines(digits, '9');
    const long width = SendScintilla(SCI_TEXTWIDTH, STYLE_LINENUMBER, nines.constData());
    const long room = SendScintilla(SCI_TEXTWIDTH, STYLE_LINENUMBER, "9") / 2 + 4;
    SendScintilla(SCI_SETMARGINWIDTHN, lineNumberMargin, width + room);
}
