// The output pane: bytes and lines as appended, what the user sees and selects, and the view
// following the output.
#include "support/mouse.h"
#include "support/waiting.h"
#include "toolkit/mappedarray.h"
#include "toolkit/outputpane.h"
#include "toolkit/textstyles.h"
#include "toolkit/selection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// A shown pane in a fixed-width font, so that columns can be clicked.
struct ShownPane {
    OutputPane pane;
    ShownPane(int columns = 40, int rows = 10)
    {
        textsw_set_font(&pane, QFontDatabase::systemFont(QFontDatabase::FixedFont));
        pane.resize(textsw_size_for_chars(&pane, columns, rows));
        pane.show();
    }
    void append(const std::string &bytes) { pane.append(bytes.data(), static_cast<long>(bytes.size())); }
    // A point inside the given column of the given visible row, left of the character's middle.
    QPoint at(int row, int column) const
    {
        const QFontMetrics metrics = pane.fontMetrics();
        return QPoint(2 + column * metrics.horizontalAdvance('M') + 1, row * metrics.lineSpacing() + 2);
    }
    std::string selected()
    {
        Textsw_index first = 0, last = 0;
        textsw_get_selection(&pane, &first, &last, TEXTSW_SEL_PRIMARY);
        return textsw_contents(&pane, first, last);
    }
    // Lets the deferred refresh of the view run.
    void settle()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 120)
            QApplication::processEvents();
    }
};

} // namespace

TEST(MappedArray, KeepsEveryValueAcrossGrowthAndMoves)
{
    MappedArray<char> bytes;
    std::string expected;
    std::mt19937 random(7);
    while (expected.size() < 3'000'000) { // past many doublings from the first 64 KiB
        std::string piece(random() % 5000, '\0');
        for (char &c : piece)
            c = static_cast<char>(random());
        ASSERT_TRUE(bytes.append(piece.data(), piece.size()));
        expected += piece;
    }
    EXPECT_EQ(textOf(bytes), expected);

    MappedArray<char> moved = std::move(bytes);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(textOf(moved), expected);
    bytes = std::move(moved);
    EXPECT_EQ(textOf(bytes), expected);
    bytes.clear();
    EXPECT_EQ(textOf(bytes), "");
    EXPECT_TRUE(bytes.append("again", 5));
    EXPECT_EQ(textOf(bytes), "again");

    MappedArray<long> numbers;
    for (long i = 0; i < 100000; ++i)
        ASSERT_TRUE(numbers.push_back(i * 3));
    EXPECT_EQ(numbers.size(), 100000u);
    EXPECT_EQ(numbers[99999], 299997);
    EXPECT_EQ(numbers[12345], 37035);
}

TEST(OutputPane, KeepsTheBytesAndLinesAsAppendedInAnyPieces)
{
    OutputPane pane;
    std::string expected;
    std::mt19937 random(11);
    const std::string alphabet("ab\n\t\0\xC3\xA9:", 9);
    while (expected.size() < 200000) {
        std::string piece(random() % 300 + 1, ' ');
        for (char &c : piece)
            c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(pane.append(piece.data(), static_cast<long>(piece.size())), static_cast<long>(piece.size()));
        expected += piece;
    }
    ASSERT_EQ(textsw_contents(&pane, 0, pane.length()), expected);
    EXPECT_EQ(textsw_contents(&pane, 10, 20), expected.substr(10, 10));

    long line = 0, start = 0;
    for (long position = 0; position <= static_cast<long>(expected.size()); ++position) {
        ASSERT_EQ(pane.lineOf(position), line) << position;
        if (position < static_cast<long>(expected.size()) && expected[position] == '\n') {
            ASSERT_EQ(pane.lineStart(line), start);
            ASSERT_EQ(pane.lineEnd(line), position);
            ++line;
            start = position + 1;
        }
    }
    EXPECT_EQ(pane.lineCount(), line + 1);
    EXPECT_EQ(pane.lineEnd(line), static_cast<long>(expected.size()));
}

TEST(OutputPane, TellsUtf8FromOtherBytesAndKeepsToItsMemoryLimit)
{
    OutputPane pane;
    // An e-acute split between two appends is still UTF-8.
    EXPECT_EQ(textsw_append(&pane, "caf\xC3", 4), 4);
    EXPECT_EQ(textsw_append(&pane, "\xA9\n", 2), 2);
    EXPECT_TRUE(textsw_is_utf8(&pane));
    EXPECT_EQ(textsw_append(&pane, "\xFF", 1), 1);
    EXPECT_FALSE(textsw_is_utf8(&pane));
    textsw_set_contents(&pane, "", 0);
    EXPECT_TRUE(textsw_is_utf8(&pane));
    EXPECT_EQ(pane.lineCount(), 1);

    textsw_set_memory_limit(&pane, 10);
    EXPECT_EQ(textsw_append(&pane, "12345678", 8), 8);
    EXPECT_EQ(textsw_append(&pane, "abc", 3), 0); // would pass the limit: nothing goes in
    EXPECT_EQ(textsw_append(&pane, "ab", 2), 2);  // exactly up to it
    EXPECT_EQ(textsw_contents(&pane, 0, 100), "12345678ab");
}

TEST(OutputPane, ClicksFindTheBytesUnderTabsAndMultiByteCharacters)
{
    {
        ShownPane shown;
        shown.append("\tX\n\xC3\xA9\xC3\xA9Z\n");
        // A tab reaches column 8; the two e-acutes take one column each.
        drag(shown.pane.viewport(), shown.at(0, 0), shown.at(0, 8));
        EXPECT_EQ(shown.selected(), "\t");
        drag(shown.pane.viewport(), shown.at(1, 0), shown.at(1, 2));
        EXPECT_EQ(shown.selected(), "\xC3\xA9\xC3\xA9");
    }
    {
        ShownPane shown;
        shown.append("\xE9\xE9Z\n"); // not UTF-8: one byte a column
        drag(shown.pane.viewport(), shown.at(0, 0), shown.at(0, 2));
        EXPECT_EQ(shown.selected(), "\xE9\xE9");
    }
}

TEST(OutputPane, MouseSelectionClaimsThePrimaryAndAnswersForIt)
{
    ShownPane shown;
    shown.append("gcc -c prog.c\nprog.c:12: parse error\n");
    QWidget *view = shown.pane.viewport();
    drag(view, shown.at(1, 0), shown.at(1, 6));
    EXPECT_EQ(shown.selected(), "prog.c");
    SelectionOwner owner = selection_inquire();
    ASSERT_EQ(owner.kind, SelectionOwner::Holder);
    EXPECT_EQ(owner.holder, static_cast<SelectionHolder *>(&shown.pane));
    SelectionReply reply = selection_ask(owner);
    EXPECT_EQ(reply.text, "prog.c");
    EXPECT_EQ(reply.first, 14);
    EXPECT_EQ(reply.last, 19);

    // Shift extends from the same anchor; a double click takes a word.
    mouse(view, QEvent::MouseButtonPress, shown.at(1, 9), Qt::LeftButton, Qt::ShiftModifier);
    mouse(view, QEvent::MouseButtonRelease, shown.at(1, 9), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(shown.selected(), "prog.c:12");
    mouse(view, QEvent::MouseButtonDblClick, shown.at(1, 12), Qt::LeftButton);
    EXPECT_EQ(shown.selected(), "parse");

    // The delete request leaves the output as it is.
    selection_delete(selection_inquire());
    EXPECT_EQ(shown.pane.length(), 37);

    // The right button shows the pane's menu.
    QMenu menu;
    menu.addAction("Compile");
    textsw_set_menu(&shown.pane, &menu);
    QContextMenuEvent press(QContextMenuEvent::Mouse, shown.at(0, 1), view->mapToGlobal(shown.at(0, 1)));
    QApplication::sendEvent(view, &press);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST(OutputPane, FollowsTheEndUnlessTheUserScrolledAway)
{
    ShownPane shown(40, 5);
    for (int i = 0; i < 100; ++i)
        shown.append("line " + std::to_string(i) + "\n");
    shown.settle();
    QScrollBar *bar = shown.pane.verticalScrollBar();
    EXPECT_EQ(shown.pane.firstVisibleLine() + shown.pane.visibleLines(), shown.pane.lineCount());

    bar->setValue(10);
    for (int i = 0; i < 100; ++i)
        shown.append("more\n");
    shown.settle();
    EXPECT_EQ(shown.pane.firstVisibleLine(), 10);

    // A position out of view is brought a third of the way down; one in view leaves it.
    textsw_possibly_normalize(&shown.pane, shown.pane.lineStart(150));
    EXPECT_EQ(shown.pane.firstVisibleLine(), 150 - shown.pane.visibleLines() / 3);
    const long first = shown.pane.firstVisibleLine();
    textsw_possibly_normalize(&shown.pane, shown.pane.lineStart(first + 1));
    EXPECT_EQ(shown.pane.firstVisibleLine(), first);

    // Far along a long line the view moves right, so that the position shows.
    shown.append(std::string(300, 'x') + "END\n");
    shown.settle();
    QScrollBar *across = shown.pane.horizontalScrollBar();
    EXPECT_EQ(across->value(), 0);
    const long end = shown.pane.lineStart(shown.pane.lineCount() - 2) + 300;
    textsw_possibly_normalize(&shown.pane, end);
    const int x = 2 + 300 * shown.pane.fontMetrics().horizontalAdvance('M');
    EXPECT_GT(x, across->value());
    EXPECT_LT(x, across->value() + shown.pane.viewport()->width());
}

TEST(OutputPane, ClearingTakesTheSelectionsWithTheText)
{
    ShownPane shown;
    shown.append("one\ntwo\n");
    textsw_set_selection(&shown.pane, 4, 7, TEXTSW_SEL_SECONDARY);
    textsw_set_selection(&shown.pane, 0, 3, TEXTSW_SEL_PRIMARY);
    Textsw_index first = -1, last = -1;
    EXPECT_EQ(textsw_get_selection(&shown.pane, &first, &last, TEXTSW_SEL_SECONDARY), 1);
    EXPECT_EQ(textsw_contents(&shown.pane, first, last), "two");
    // Out-of-range ends are held to the text.
    textsw_set_selection(&shown.pane, 5, 500, TEXTSW_SEL_SECONDARY);
    textsw_get_selection(&shown.pane, &first, &last, TEXTSW_SEL_SECONDARY);
    EXPECT_EQ(last, 8);

    textsw_set_contents(&shown.pane, "", 0);
    EXPECT_EQ(textsw_get_selection(&shown.pane, &first, &last, TEXTSW_SEL_SECONDARY), 0);
    EXPECT_EQ(textsw_get_selection(&shown.pane, &first, &last, TEXTSW_SEL_PRIMARY), 0);
    EXPECT_EQ(selection_ask(selection_inquire()).text, "");
    shown.pane.grab(); // paints an empty pane
}

TEST(OutputPane, SlowOutputAfterTheViewIsFullKeepsTheEndInView)
{
    ShownPane shown(40, 5);
    for (int i = 0; i < 20; ++i)
        shown.append("line " + std::to_string(i) + "\n");
    shown.settle();
    auto showsLastLine = [&] { return shown.pane.firstVisibleLine() + shown.pane.visibleLines() >= shown.pane.lineCount(); };
    ASSERT_TRUE(showsLastLine());
    // Each piece comes after the view has caught up with the one before.
    for (int i = 0; i < 6; ++i) {
        shown.append("slow " + std::to_string(i) + "\n");
        shown.settle();
        EXPECT_TRUE(showsLastLine()) << i;
    }
    // A footer under the text is the new end.
    shown.pane.setFooter("--- told ---");
    shown.settle();
    EXPECT_EQ(shown.pane.firstVisibleLine() + shown.pane.visibleLines(), shown.pane.lineCount() + 1);
    EXPECT_EQ(shown.pane.length(), textsw_length(&shown.pane));
    EXPECT_EQ(textsw_contents(&shown.pane, 0, 6), "line 0");
}

TEST(OutputPane, ShowsAnotherTextsBytesInItsColoursUpToItsLimit)
{
    ShownPane shown(40, 5);
    auto text = std::make_shared<OutputText>();
    shown.pane.showText(text);
    textsw_set_memory_limit(&shown.pane, 30);
    const std::string output = "\x1b[01;31mRED\x1b[m plain text\n";
    text->appendProgramOutput(output.data(), output.size());
    EXPECT_EQ(shown.pane.length(), 0);
    EXPECT_TRUE(shown.pane.showMore());
    EXPECT_EQ(textsw_contents(&shown.pane, 0, 100), "RED plain text\n");
    shown.settle();

    // The red of the first word is drawn, and only there.
    const QImage image = shown.pane.viewport()->grab().toImage();
    const QRgb red = paletteColour(1);
    const int redEnd = 2 + 4 * shown.pane.fontMetrics().horizontalAdvance('M');
    int redInWord = 0, redElsewhere = 0;
    for (int y = 0; y < shown.pane.fontMetrics().lineSpacing(); ++y)
        for (int x = 0; x < image.width() / 2; ++x)
            if (image.pixel(x, y) == red)
                ++(x < redEnd ? redInWord : redElsewhere);
    EXPECT_GT(redInWord, 10);
    EXPECT_EQ(redElsewhere, 0);

    // What passes the limit stays in the text but is not shown.
    text->append(std::string(20, 'x'));
    EXPECT_FALSE(shown.pane.showMore());
    EXPECT_EQ(shown.pane.length(), 15);
    EXPECT_EQ(shown.pane.lineCount(), 2);
    EXPECT_EQ(text->size(), 35u);
}
