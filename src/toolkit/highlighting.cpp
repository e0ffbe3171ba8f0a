#include "toolkit/highlighting.h"

#include <Qsci/qscilexerbash.h>
#include <Qsci/qscilexercmake.h>
#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexerfortran.h>
#include <Qsci/qscilexerfortran77.h>
#include <Qsci/qscilexerjava.h>
#include <Qsci/qscilexermakefile.h>
#include <Qsci/qscilexermarkdown.h>
#include <Qsci/qscilexerpython.h>
#include <Qsci/qscilexertex.h>

#include <QStringList>

namespace {

struct Ending {
    const char *text;
    HighlightLanguage language;
};

// Endings are compared exactly: .C and .F are C++ and preprocessed Fortran by convention.
const Ending endings[] = {
    {".c", HighlightLanguage::cFamily},       {".h", HighlightLanguage::cFamily},
    {".cc", HighlightLanguage::cFamily},      {".cpp", HighlightLanguage::cFamily},
    {".cxx", HighlightLanguage::cFamily},     {".c++", HighlightLanguage::cFamily},
    {".C", HighlightLanguage::cFamily},       {".hh", HighlightLanguage::cFamily},
    {".hpp", HighlightLanguage::cFamily},     {".hxx", HighlightLanguage::cFamily},
    {".H", HighlightLanguage::cFamily},       {".f90", HighlightLanguage::fortranFree},
    {".f95", HighlightLanguage::fortranFree}, {".f03", HighlightLanguage::fortranFree},
    {".f08", HighlightLanguage::fortranFree}, {".F90", HighlightLanguage::fortranFree},
    {".F95", HighlightLanguage::fortranFree}, {".F03", HighlightLanguage::fortranFree},
    {".F08", HighlightLanguage::fortranFree}, {".f", HighlightLanguage::fortranFixed},
    {".for", HighlightLanguage::fortranFixed}, {".ftn", HighlightLanguage::fortranFixed},
    {".f77", HighlightLanguage::fortranFixed}, {".F", HighlightLanguage::fortranFixed},
    {".FOR", HighlightLanguage::fortranFixed}, {".F77", HighlightLanguage::fortranFixed},
    {".py", HighlightLanguage::python},       {".pyw", HighlightLanguage::python},
    {".sh", HighlightLanguage::shell},        {".bash", HighlightLanguage::shell},
    {".ksh", HighlightLanguage::shell},       {".zsh", HighlightLanguage::shell},
    {".java", HighlightLanguage::java},       {".tex", HighlightLanguage::latex},
    {".ltx", HighlightLanguage::latex},       {".latex", HighlightLanguage::latex},
    {".sty", HighlightLanguage::latex},       {".cls", HighlightLanguage::latex},
    {".mk", HighlightLanguage::makefile},     {".mak", HighlightLanguage::makefile},
    {".make", HighlightLanguage::makefile},   {".cmake", HighlightLanguage::cmake},
    {".md", HighlightLanguage::markdown},     {".markdown", HighlightLanguage::markdown},
    {".mkd", HighlightLanguage::markdown},
};

// Whole names (the part after the last slash).
const Ending names[] = {
    {"Makefile", HighlightLanguage::makefile},
    {"makefile", HighlightLanguage::makefile},
    {"GNUmakefile", HighlightLanguage::makefile},
    {"CMakeLists.txt", HighlightLanguage::cmake},
};

bool endsWith(const std::string &text, const char *ending)
{
    const std::string tail(ending);
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// What a style stands for, read from the lexer's own description of it.
enum class Role { plain, comment, keyword, string, number, preprocessor, error, inactive };

bool mentions(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *word : words)
        if (text.contains(QLatin1String(word)))
            return true;
    return false;
}

Role roleOf(const QString &description)
{
    const QString d = description.toLower();
    if (d.startsWith(QLatin1String("inactive")))
        return Role::inactive;
    if (mentions(d, {"comment"}))
        return Role::comment;
    if (mentions(d, {"error", "unclosed"}))
        return Role::error;
    if (mentions(d, {"string", "character", "here document", "backtick", "regular expression",
                     "literal", "uuid", "code"}))
        return Role::string;
    if (mentions(d, {"number"}))
        return Role::number;
    if (mentions(d, {"pre-processor", "preprocessor", "variable", "scalar", "parameter", "label",
                     "decorator", "macro"}))
        return Role::preprocessor;
    if (mentions(d, {"keyword", "command", "function", "target", "header", "class", "intrinsic",
                     "if-else", "loop", "emphasis", "list item", "block quote", "link",
                     "special", "group"}))
        return Role::keyword;
    return Role::plain;
}

QColor colourOf(Role role)
{
    switch (role) {
    case Role::comment:
        return QColor(0x3f, 0x6e, 0x3f);
    case Role::keyword:
        return QColor(0x1a, 0x3c, 0x8c);
    case Role::string:
        return QColor(0x8c, 0x3a, 0x1a);
    case Role::number:
        return QColor(0x1f, 0x6a, 0x6a);
    case Role::preprocessor:
        return QColor(0x6a, 0x2f, 0x8a);
    case Role::error:
        return QColor(0xb0, 0x00, 0x00);
    case Role::inactive:
        return QColor(0x8a, 0x8a, 0x8a);
    case Role::plain:
        break;
    }
    return QColor(Qt::black);
}

QsciLexer *newLexer(HighlightLanguage language, QObject *parent)
{
    switch (language) {
    case HighlightLanguage::cFamily:
        return new QsciLexerCPP(parent);
    case HighlightLanguage::fortranFree:
        return new QsciLexerFortran(parent);
    case HighlightLanguage::fortranFixed:
        return new QsciLexerFortran77(parent);
    case HighlightLanguage::python:
        return new QsciLexerPython(parent);
    case HighlightLanguage::shell:
        return new QsciLexerBash(parent);
    case HighlightLanguage::java:
        return new QsciLexerJava(parent);
    case HighlightLanguage::latex:
        return new QsciLexerTeX(parent);
    case HighlightLanguage::makefile:
        return new QsciLexerMakefile(parent);
    case HighlightLanguage::cmake:
        return new QsciLexerCMake(parent);
    case HighlightLanguage::markdown:
        return new QsciLexerMarkdown(parent);
    case HighlightLanguage::none:
        break;
    }
    return nullptr;
}

} // namespace

HighlightLanguage highlightLanguageFor(const std::string &fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    for (const Ending &name : names)
        if (base == name.text)
            return name.language;
    for (const Ending &ending : endings)
        if (endsWith(base, ending.text))
            return ending.language;
    return HighlightLanguage::none;
}

QsciLexer *createLexer(HighlightLanguage language, const QFont &font, QObject *parent)
{
    QsciLexer *lexer = newLexer(language, parent);
    if (!lexer)
        return nullptr;
    // One font for every style: the bitmap fonts have no italic, and bold would change widths.
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    lexer->setDefaultPaper(Qt::white);
    lexer->setPaper(Qt::white);
    lexer->setDefaultColor(Qt::black);
    for (int style = 0; style < 128; ++style)
        if (!lexer->description(style).isEmpty()) {
            lexer->setColor(highlightColour(lexer, style), style);
            lexer->setEolFill(false, style);
        }
    return lexer;
}

QColor highlightColour(const QsciLexer *lexer, int style)
{
    return colourOf(roleOf(lexer->description(style)));
}
