#pragma once
// Syntax highlighting for the text panes: one of QScintilla's lexers, chosen by the end of the
// name of the file a pane edits, drawn in one quiet scheme of dark colours on white that stays
// readable in the thin strokes of the X bitmap fonts. Highlighting uses Scintilla's styles only
// (no indicators, no markers), so it never touches the bytes, the selection or the undo history.
#include <QColor>

#include <string>

class QFont;
class QObject;
class QsciLexer;

enum class HighlightLanguage {
    none,
    cFamily,       // C, C++ and their headers
    fortranFree,   // .f90 and later: free source form
    fortranFixed,  // .f, .for, .f77: fixed source form
    python,
    shell,
    java,
    latex,
    makefile,
    cmake,
    markdown,
};

// The language of a file by its name (a path is allowed); none for every other file.
HighlightLanguage highlightLanguageFor(const std::string &fileName);

// A lexer for the language, coloured by the scheme and drawn in `font` throughout; null for
// none. It belongs to `parent`.
QsciLexer *createLexer(HighlightLanguage language, const QFont &font, QObject *parent);

// The scheme's colour for a style of a lexer, from what the style stands for.
QColor highlightColour(const QsciLexer *lexer, int style);
