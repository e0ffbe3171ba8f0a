// The pane's font, the lexer that highlights the file it edits, and the line-number margin.
#include "toolkit/textpane.h"

#include "toolkit/highlighting.h"

#include <Qsci/qscilexer.h>

void TextPane::setFileName(const std::string &name)
{
    fileName_ = name;
    chooseLexer();
}

void TextPane::recolor(int start, int)
{
    const long styledTo = SendScintilla(SCI_GETENDSTYLED);
    if (start >= 0 && start < styledTo)
        SendScintilla(SCI_STARTSTYLING, static_cast<unsigned long>(start), 0xFFL);
    viewport()->update();
}

namespace {

// Scintilla makes the font of each style from the family, size, weight and slant alone, and
// measures the text in that font; but the painter draws it in that font completed from the
// widget's own, so that any other attribute of the widget's font (the semi-condensed width of
// the X font "fixed", 6x13, beside the normal 7x13 of the same family and size) would change
// the glyphs drawn and not the room measured for them: the blanks between runs of different
// styles came out too wide. The pane keeps to what Scintilla can express, everywhere.
QFont scintillaFont(const QFont &font)
{
    QFont plain;
    plain.setFamily(font.family());
    plain.setPointSizeF(font.pointSizeF());
    plain.setWeight(font.weight());
    plain.setItalic(font.italic());
    return plain;
}

} // namespace

void TextPane::setPaneFont(const QFont &font)
{
    paneFont_ = scintillaFont(font);
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
// The widget has the same font, which the painter completes the styles' fonts from.
void TextPane::applyStyles()
{
    QWidget::setFont(paneFont_);
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
