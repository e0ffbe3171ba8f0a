#include "toolkit/textpane.h"

#include "toolkit/shortcuts.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QToolTip>

#include <algorithm>

// The pane's widget: its making, the keys and the mouse. The text and its saved copy are in
// textpanetext.cpp, the change notification in textpanechanges.cpp, the selections in
// textpaneselection.cpp, fonts, styles and margins in textpanestyles.cpp.

namespace {

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

} // namespace

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
    connect(this, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, &TextPane::restartEdits);
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
