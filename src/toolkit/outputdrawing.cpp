// The output pane's layout of a line and its painting: characters, tabs, control symbols, the
// text's colours, the two selections and the footer.
#include "toolkit/outputpane.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int tabColumns = 8;

const TextStyle plainStyle;

// The character shown for a control character: its symbol from the Control Pictures block.
char32_t shownCharacter(char32_t character)
{
    if (character < 0x20)
        return 0x2400 + character;
    if (character == 0x7F)
        return 0x2421;
    return character;
}

// Decodes the UTF-8 character at `bytes` (known valid up to `end`); sets its length.
char32_t decodeUtf8(const unsigned char *bytes, const unsigned char *end, int *length)
{
    const unsigned char lead = bytes[0];
    const int size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (end - bytes < size) { // the rest of the character has not arrived yet
        *length = 1;
        return 0xFFFD;
    }
    char32_t character = lead & (0x7F >> size);
    for (int i = 1; i < size; ++i)
        character = (character << 6) | (bytes[i] & 0x3F);
    *length = size;
    return character;
}

void appendCharacter(QString &text, char32_t character)
{
    if (character > 0xFFFF) {
        text += QChar(QChar::highSurrogate(character));
        text += QChar(QChar::lowSurrogate(character));
    } else {
        text += QChar(static_cast<ushort>(character));
    }
}

// The x of a position in a laid-out line; right of the view for a position beyond the layout.
int xOf(const std::vector<long> &starts, const std::vector<int> &lefts, long position, int beyond)
{
    const auto at = std::lower_bound(starts.begin(), starts.end(), position);
    if (at == starts.end())
        return beyond;
    const std::size_t index = static_cast<std::size_t>(at - starts.begin());
    // Inside a character: its left edge.
    return *at == position || index == 0 ? lefts[index] : lefts[index - 1];
}

QColor colourOf(std::uint32_t rgba)
{
    return QColor::fromRgba(rgba);
}

} // namespace

int OutputPane::advance(char32_t character) const
{
    auto known = advances_.constFind(character);
    if (known != advances_.constEnd())
        return *known;
    QString text;
    appendCharacter(text, character);
    const int width = fontMetrics().horizontalAdvance(text);
    advances_.insert(character, width);
    return width;
}

// Lays the line out from its start until a character starts right of `rightmost` or after
// `lastByte`.
OutputPane::ShownLine OutputPane::layOut(long line, int rightmost, long lastByte) const
{
    ShownLine shown;
    const long start = lineStart(line);
    const long end = lineEnd(line);
    const auto *text = reinterpret_cast<const unsigned char *>(text_->data());
    const bool utf8 = isUtf8();
    const int tabWidth = tabColumns * advance(' ');

    // The style runs: the one in effect at the line's start, and where the next one begins.
    const StyleRuns &styles = text_->styles();
    const std::size_t runs = styles.runCount();
    const std::size_t atStart = styles.runAt(start);
    std::size_t nextRun = atStart == runs ? 0 : atStart + 1;
    const TextStyle *style = atStart == runs ? &plainStyle : &styles.runStyle(atStart);
    long nextChange = nextRun < runs ? styles.runStart(nextRun) : LONG_MAX;

    int x = padding;
    long at = start;
    QString run;
    int runLeft = x;
    auto endRun = [&] {
        if (!run.isEmpty())
            shown.runs.push_back({runLeft, x, run, style});
        run.clear();
        runLeft = x;
    };
    while (at < end && x <= rightmost && at <= lastByte) {
        if (at >= nextChange) {
            endRun();
            while (nextRun < runs && styles.runStart(nextRun) <= at)
                style = &styles.runStyle(nextRun++);
            nextChange = nextRun < runs ? styles.runStart(nextRun) : LONG_MAX;
        }
        int size = 1;
        const char32_t character =
            utf8 && text[at] >= 0x80 ? decodeUtf8(text + at, text + end, &size) : text[at];
        shown.starts.push_back(at);
        shown.lefts.push_back(x);
        if (character == '\t') {
            endRun();
            x = padding + ((x - padding) / tabWidth + 1) * tabWidth;
            runLeft = x;
        } else {
            const char32_t shownAs = shownCharacter(character);
            appendCharacter(run, shownAs);
            x += advance(shownAs);
        }
        at += size;
    }
    endRun();
    shown.starts.push_back(at);
    shown.lefts.push_back(x);
    return shown;
}

// Draws the runs' backgrounds, or their text in their colours and attributes.
void OutputPane::paintRuns(QPainter &painter, const ShownLine &shown, int top, bool backgrounds)
{
    const int height = lineHeight();
    const int baseline = top + fontMetrics().ascent();
    const QColor text = palette().text().color();
    const QColor base = palette().base().color();
    for (const ShownLine::Run &run : shown.runs) {
        const TextStyle &style = *run.style;
        QColor foreground = style.foreground ? colourOf(style.foreground) : text;
        QColor background = style.background ? colourOf(style.background) : QColor();
        if (style.flags & TextStyle::inverse) {
            const QColor was = foreground;
            foreground = background.isValid() ? background : base;
            background = was;
        }
        if (backgrounds) {
            if (background.isValid())
                painter.fillRect(run.left, top, run.right - run.left, height, background);
            continue;
        }
        if (style.flags & TextStyle::faint)
            foreground = QColor((foreground.red() + base.red()) / 2, (foreground.green() + base.green()) / 2,
                                (foreground.blue() + base.blue()) / 2);
        painter.setPen(foreground);
        painter.drawText(run.left, baseline, run.text);
        // Bold is drawn twice, a pixel apart, so that every character keeps its width.
        if (style.flags & TextStyle::bold)
            painter.drawText(run.left + 1, baseline, run.text);
        if (style.flags & TextStyle::underline)
            painter.drawLine(run.left, baseline + 1, run.right - 1, baseline + 1);
        if (style.flags & TextStyle::crossedOut)
            painter.drawLine(run.left, top + height / 2, run.right - 1, top + height / 2);
    }
}

void OutputPane::paintLine(QPainter &painter, long line, int top, int rightmost)
{
    const ShownLine shown = layOut(line, rightmost);
    const int height = lineHeight();
    const long start = lineStart(line), end = lineEnd(line);
    // The horizontal band of a range on this line; a range over the line end takes a space.
    auto band = [&](long first, long lastPlusOne) -> QRect {
        if (lastPlusOne <= start || first > end || lastPlusOne <= first)
            return QRect();
        const int from = xOf(shown.starts, shown.lefts, std::max(first, start), rightmost + 1);
        int to = xOf(shown.starts, shown.lefts, std::min(lastPlusOne, end), rightmost + 1);
        if (lastPlusOne > end)
            to += advance(' ');
        return QRect(from, top, std::max(0, to - from), height);
    };
    paintRuns(painter, shown, top, true);
    const QRect secondary = band(secondaryFirst_, secondaryEnd_);
    if (!secondary.isEmpty()) {
        QColor box(Qt::darkGray);
        box.setAlpha(70);
        QColor outline(Qt::darkGray);
        outline.setAlpha(200);
        painter.fillRect(secondary, box);
        painter.setPen(outline);
        painter.drawRect(secondary.adjusted(0, 0, -1, -1));
    }
    long primaryFirst, primaryEnd;
    primarySelection(&primaryFirst, &primaryEnd);
    const QRect primary = band(primaryFirst, primaryEnd);
    if (!primary.isEmpty())
        painter.fillRect(primary, palette().highlight());
    paintRuns(painter, shown, top, false);
    if (!primary.isEmpty()) {
        painter.save();
        painter.setClipRect(primary);
        painter.setPen(palette().highlightedText().color());
        const int baseline = top + fontMetrics().ascent();
        for (const ShownLine::Run &run : shown.runs)
            painter.drawText(run.left, baseline, run.text);
        painter.restore();
    }
}

void OutputPane::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setFont(font());
    const int height = lineHeight();
    const int left = horizontalScrollBar()->value();
    const int rightmost = left + viewport()->width();
    painter.translate(-left, 0);

    long line = firstVisibleLine();
    int top = 0;
    for (; line < lineCount() && top < viewport()->height(); ++line, top += height)
        paintLine(painter, line, top, rightmost);
    if (line == lineCount() && !footer_.isEmpty() && top < viewport()->height()) {
        painter.setPen(QColor(0xA0, 0x10, 0x10));
        painter.drawText(padding, top + fontMetrics().ascent(), footer_);
    }
}
