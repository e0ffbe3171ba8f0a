// Highlighting and line numbers of the text panes: the lexer follows the file's name, styling
// never changes the text or what is found in it, and a long text is styled as it is shown.
#include "support/testsupport.h"
#include "support/waiting.h"
#include "toolkit/highlighting.h"
#include "toolkit/textpane.h"
#include "toolkit/xfonts.h"

#include <Qsci/qscilexer.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Sci = QsciScintillaBase;

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

long styleAt(TextPane *pane, const std::string &text, const std::string &word)
{
    return pane->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(text.find(word)));
}

QColor foreground(TextPane *pane, long style)
{
    const long bgr = pane->SendScintilla(Sci::SCI_STYLEGETFORE, style);
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

bool styledToTheEnd(TextPane *pane)
{
    return pane->SendScintilla(Sci::SCI_GETENDSTYLED) >= textsw_length(pane);
}

// A shown pane with highlighting, as the editor panes are.
struct ShownPane {
    ShownPane()
    {
        pane.resize(600, 300);
        textsw_set_highlighting(&pane, true);
        pane.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }
    TextPane pane;
};

// A C source that is not UTF-8: the string holds a Latin-1 e acute.
const std::string cSource = "#include <stdio.h>\n"
                            "/* says hello */\n"
                            "static const char *word = \"caf\xE9\";\n"
                            "int main(void) { return 42; } // done\n";

} // namespace

TEST(HighlightLanguage, FollowsTheEndOfTheFileNameOnly)
{
    using L = HighlightLanguage;
    const std::pair<const char *, L> table[] = {
        {"prog.c", L::cFamily},       {"src/defs.h", L::cFamily},     {"x.cpp", L::cFamily},
        {"X.C", L::cFamily},          {"m.f90", L::fortranFree},      {"old.f", L::fortranFixed},
        {"OLD.F", L::fortranFixed},   {"s.py", L::python},            {"run.sh", L::shell},
        {"A.java", L::java},          {"paper.tex", L::latex},        {"Makefile", L::makefile},
        {"sub/GNUmakefile", L::makefile}, {"rules.mk", L::makefile},  {"CMakeLists.txt", L::cmake},
        {"find.cmake", L::cmake},     {"README.md", L::markdown},     {"README", L::none},
        {"notes.txt", L::none},       {"prog.c~", L::none},           {"prog.cs", L::none},
        {"Makefile.am", L::none},     {"dir.c/notes", L::none},       {"old.cmakefile", L::none},
        {"x.PY", L::none},            {"", L::none},
    };
    for (const auto &[name, language] : table)
        EXPECT_EQ(highlightLanguageFor(name), language) << name;
}

TEST(Highlighting, StylesTheTextWithoutChangingItsBytesFlagsOrFinds)
{
    TempDir dir;
    writeFile(dir.file("hello.c"), cSource);
    ShownPane shown;
    TextPane *pane = &shown.pane;
    ASSERT_EQ(textsw_load_file(pane, dir.file("hello.c"), false), TEXTSW_STATUS_OKAY);
    EXPECT_FALSE(textsw_is_utf8(pane));
    ASSERT_TRUE(waitUntil([&] { return styledToTheEnd(pane); }));

    // Keywords, comments, numbers and strings each get their own colour, also after the byte
    // that is not UTF-8.
    const long keyword = styleAt(pane, cSource, "int main");
    const long comment = styleAt(pane, cSource, "/* says");
    const long number = styleAt(pane, cSource, "42");
    const long string = styleAt(pane, cSource, "\"caf");
    EXPECT_NE(keyword, styleAt(pane, cSource, "main("));
    EXPECT_NE(keyword, 0);
    EXPECT_EQ(foreground(pane, comment), QColor(0x3f, 0x6e, 0x3f));
    EXPECT_EQ(foreground(pane, keyword), QColor(0x1a, 0x3c, 0x8c));
    EXPECT_EQ(foreground(pane, number), QColor(0x1f, 0x6a, 0x6a));
    EXPECT_EQ(foreground(pane, string), QColor(0x8c, 0x3a, 0x1a));
    EXPECT_EQ(styleAt(pane, cSource, "// done"), comment + 1); // a line comment, after the string

    EXPECT_EQ(paneText(pane), cSource);
    EXPECT_FALSE(textsw_modified(pane));
    EXPECT_EQ(pane->SendScintilla(Sci::SCI_CANUNDO), 0);
    Textsw_index first = 0, end = 0;
    EXPECT_EQ(textsw_find_bytes(pane, &first, &end, "return", 6, TEXTSW_FORWARD),
              static_cast<long>(cSource.find("return")));
    ASSERT_EQ(textsw_store_file(pane, dir.file("copy.c")), 0);
    EXPECT_EQ(readFile(dir.file("copy.c")), cSource);

    // An edit and its undo change the styles only.
    textsw_set_insertion_point(pane, 0);
    ASSERT_EQ(textsw_insert(pane, "/* ", 3), 3);
    EXPECT_TRUE(textsw_modified(pane));
    ASSERT_EQ(textsw_undo(pane), 1);
    EXPECT_EQ(paneText(pane), cSource);
    EXPECT_FALSE(textsw_modified(pane));
}

TEST(Highlighting, LexerFollowsTheFileThePaneEdits)
{
    TempDir dir;
    writeFile(dir.file("hello.c"), cSource);
    writeFile(dir.file("notes"), cSource);
    ShownPane shown;
    TextPane *pane = &shown.pane;
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    textsw_set_font(pane, font);

    ASSERT_EQ(textsw_load_file(pane, dir.file("hello.c"), false), TEXTSW_STATUS_OKAY);
    ASSERT_NE(pane->lexer(), nullptr);
    EXPECT_STREQ(pane->lexer()->language(), "C++");
    // Every style is drawn in the pane's own font, neither bold nor italic.
    for (long style : {0L, 1L, 5L, 6L, 9L}) {
        char family[100] = {};
        pane->SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(style), family);
        EXPECT_EQ(QString::fromLatin1(family), pane->paneFont().family()) << style;
        EXPECT_EQ(pane->SendScintilla(Sci::SCI_STYLEGETITALIC, style), 0) << style;
        EXPECT_LT(pane->SendScintilla(Sci::SCI_STYLEGETWEIGHT, style), 600) << style;
    }

    ASSERT_EQ(textsw_store_file(pane, dir.file("hello.py")), 0);
    ASSERT_NE(pane->lexer(), nullptr);
    EXPECT_STREQ(pane->lexer()->language(), "Python");

    ASSERT_EQ(textsw_load_file(pane, dir.file("notes"), false), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(pane->lexer(), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(styleAt(pane, cSource, "int main"), 0);
    char family[100] = {};
    pane->SendScintilla(Sci::SCI_STYLEGETFONT, 0UL, family);
    EXPECT_EQ(QString::fromLatin1(family), pane->paneFont().family()); // not Scintilla's default

    textsw_set_contents(pane, cSource.data(), static_cast<long>(cSource.size()));
    EXPECT_EQ(pane->lexer(), nullptr);
    textsw_set_highlighting(pane, false);
    ASSERT_EQ(textsw_load_file(pane, dir.file("hello.c"), false), TEXTSW_STATUS_OKAY);
    EXPECT_EQ(pane->lexer(), nullptr);
}

TEST(Highlighting, LongTextIsStyledAsFarAsShownThenWhileIdle)
{
    TempDir dir;
    std::string text = "int f(void) {\n}\n";
    for (int i = 0; i < 150000; ++i)
        text += "int v" + std::to_string(i) + " = " + std::to_string(i) + "; /* note */\n";
    writeFile(dir.file("long.txt"), text);
    ShownPane shown;
    TextPane *pane = &shown.pane;
    ASSERT_EQ(textsw_load_file(pane, dir.file("long.txt"), false), TEXTSW_STATUS_OKAY);
    pane->repaint();
    // Stored as C source, the text gets its lexer: styled as far as shown, not all at once.
    ASSERT_EQ(textsw_store_file(pane, dir.file("long.c")), 0);
    pane->repaint();
    EXPECT_FALSE(styledToTheEnd(pane));
    EXPECT_NE(pane->SendScintilla(Sci::SCI_GETSTYLEAT, 0UL), 0);
    // No fold levels are kept: they would cost memory on every line.
    EXPECT_EQ(pane->SendScintilla(Sci::SCI_GETFOLDLEVEL, 0UL) & Sci::SC_FOLDLEVELHEADERFLAG, 0);

    ASSERT_EQ(textsw_load_file(pane, dir.file("long.c"), false), TEXTSW_STATUS_OKAY);
    pane->repaint();
    EXPECT_FALSE(styledToTheEnd(pane));

    // The end, once shown, is styled in steps while the program is idle.
    pane->SendScintilla(Sci::SCI_DOCUMENTEND);
    pane->repaint();
    EXPECT_FALSE(styledToTheEnd(pane));
    ASSERT_TRUE(waitUntil([&] { return styledToTheEnd(pane); }, 30000));
    const long lastInt = static_cast<long>(text.rfind("int v"));
    EXPECT_EQ(pane->SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(lastInt)),
              pane->SendScintilla(Sci::SCI_GETSTYLEAT, 0UL));
}

// With the X font "fixed" (6x13, beside a 7x13 of the same family and size) every style draws
// its glyphs where the pane measured them: the same glyph at the same column of lines of
// different styles stands at the same place, inside the room measured for it.
TEST(Highlighting, EveryStyleDrawsInThePanesFontSoColumnsLineUp)
{
    const XFontFace *fixed = xv_find_font("fixed");
    ASSERT_NE(fixed, nullptr);
    ShownPane shown;
    TextPane *pane = &shown.pane;
    textsw_set_font(pane, fixed->font);
    const std::string text = "// 4567890X\nint a = b;X\n\"34567890\"X\n";
    textsw_set_contents(pane, text.data(), static_cast<long>(text.size()));
    pane->setFileName("columns.c");
    ASSERT_TRUE(waitUntil([pane] { return styledToTheEnd(pane); }));
    EXPECT_NE(styleAt(pane, text, "//"), styleAt(pane, text, "int"));
    EXPECT_NE(styleAt(pane, text, "int"), styleAt(pane, text, "\"3"));
    const QImage image = pane->viewport()->grab().toImage();
    const long lineHeight = pane->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL);
    std::vector<int> inkEnds;
    for (long line = 0; line < 3; ++line) {
        const long column10 = pane->SendScintilla(Sci::SCI_POSITIONFROMLINE, line) + 10;
        ASSERT_EQ(text[static_cast<size_t>(column10)], 'X');
        const int left = static_cast<int>(pane->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, column10));
        const int right = static_cast<int>(pane->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, column10 + 1));
        const int top = static_cast<int>(pane->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, column10));
        // The rightmost drawn pixel of the line: the right edge of its X.
        int inkEnd = -1;
        for (int y = top; y < top + lineHeight && y < image.height(); ++y)
            for (int x = image.width() - 1; x > inkEnd; --x)
                if (qGray(image.pixel(x, y)) < 160) {
                    inkEnd = x;
                    break;
                }
        EXPECT_GE(inkEnd, left) << "line " << line;
        EXPECT_LT(inkEnd, right) << "line " << line;
        inkEnds.push_back(inkEnd);
    }
    EXPECT_EQ(inkEnds[1], inkEnds[0]);
    EXPECT_EQ(inkEnds[2], inkEnds[0]);
}

TEST(LineNumbers, MarginIsAsWideAsTheLastNumberNeeds)
{
    TextPane pane;
    const auto margin = [&] { return pane.SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL); };
    const auto digitsWidth = [&](const char *nines) {
        return pane.SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER, nines);
    };
    textsw_set_contents(&pane, "a\nb\n", 4);
    EXPECT_EQ(margin(), 0); // off unless asked for
    textsw_set_line_numbers(&pane, true);
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_GETMARGINTYPEN, 0UL), Sci::SC_MARGIN_NUMBER);
    const long two = margin();
    EXPECT_GT(two, digitsWidth("99"));
    EXPECT_LT(two, digitsWidth("9999"));

    std::string lines;
    for (int i = 0; i < 1200; ++i)
        lines += "line\n";
    ASSERT_EQ(textsw_insert(&pane, lines.data(), static_cast<long>(lines.size())), static_cast<long>(lines.size()));
    QApplication::processEvents();
    const long four = margin();
    EXPECT_GT(four, digitsWidth("9999"));
    EXPECT_LT(four, digitsWidth("999999"));
    EXPECT_EQ(four - two, digitsWidth("9999") - digitsWidth("99"));

    textsw_set_contents(&pane, "", 0);
    EXPECT_EQ(margin(), two);
    textsw_set_line_numbers(&pane, false);
    EXPECT_EQ(margin(), 0);
}
