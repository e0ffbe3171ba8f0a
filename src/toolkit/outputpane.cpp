#include "toolkit/outputpane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace {

constexpr int padding = 2;       // left of the text, and right of the widest line
constexpr int tabColumns = 8;
constexpr int refreshDelay = 40; // ms: appends coming faster than this are shown together

bool isWordByte(unsigned char byte)
{
    return std::isalnum(byte) || byte == '_' || byte >= 0x80;
}

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

} // namespace

OutputPane::OutputPane(QWidget *parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateScrollBars();
}

// --- Text ------------------------------------------------------------------------------------

long OutputPane::append(const char *bytes, long count)
{
    if (!bytes || count <= 0 || (memoryLimit_ > 0 && count > memoryLimit_ - length()))
        return 0;
    if (!refreshPending_)
        followEnd_ = firstVisibleLine() + visibleLines() >= lineCount();
    const long from = length();
    if (!bytes_.append(bytes, static_cast<std::size_t>(count)))
        return 0;
    validator_.feed(bytes, static_cast<std::size_t>(count));
    noteNewLines(from);
    refreshSoon();
    return count;
}

// Records the lines that the bytes from `from` on begin, and how wide the lines are.
void OutputPane::noteNewLines(long from)
{
    const char *text = bytes_.data();
    const char *at = text + from;
    const char *end = text + length();
    while (at < end) {
        const char *lineEnd = static_cast<const char *>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        const char *stop = lineEnd ? lineEnd : end;
        const long tabs = std::count(at, stop, '\t');
        openColumns_ += (stop - at) + tabs * (tabColumns - 1);
        widestColumns_ = std::max(widestColumns_, openColumns_);
        if (!lineEnd)
            break;
        const long next = lineEnd + 1 - text;
        // Without room for the line index the text is still kept and shown, as one longer line.
        if (lineStarts_.push_back(next))
            openColumns_ = 0;
        at = lineEnd + 1;
    }
}

void OutputPane::clear()
{
    bytes_.clear();
    lineStarts_.clear();
    validator_ = Utf8Validator();
    widestColumns_ = openColumns_ = 0;
    anchor_ = caret_ = secondaryFirst_ = secondaryEnd_ = 0;
    selecting_ = false;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

std::string OutputPane::contents(long first, long lastPlusOne) const
{
    first = std::clamp(first, 0L, length());
    lastPlusOne = std::clamp(lastPlusOne, first, length());
    return std::string(bytes_.data() + first, bytes_.data() + lastPlusOne);
}

long OutputPane::lineOf(long position) const
{
    const long *starts = lineStarts_.data();
    return starts ? std::upper_bound(starts, starts + lineStarts_.size(), position) - starts : 0;
}

// --- Selections ------------------------------------------------------------------------------

void OutputPane::setPrimarySelection(long first, long lastPlusOne)
{
    first = std::clamp(first, 0L, length());
    lastPlusOne = std::clamp(lastPlusOne, 0L, length());
    if (lastPlusOne > first) {
        anchor_ = first;
        caret_ = lastPlusOne;
        claimIfSelected();
    } else {
        anchor_ = caret_;
    }
    viewport()->update();
}

void OutputPane::setSecondarySelection(long first, long lastPlusOne)
{
    secondaryFirst_ = std::clamp(first, 0L, length());
    secondaryEnd_ = std::clamp(lastPlusOne, secondaryFirst_, length());
    viewport()->update();
}

void OutputPane::primarySelection(long *first, long *lastPlusOne) const
{
    *first = std::min(anchor_, caret_);
    *lastPlusOne = std::max(anchor_, caret_);
}

void OutputPane::secondarySelection(long *first, long *lastPlusOne) const
{
    *first = secondaryFirst_;
    *lastPlusOne = secondaryEnd_;
}

void OutputPane::claimIfSelected()
{
    if (anchor_ != caret_)
        selection_claim_primary(this);
}

std::string OutputPane::selectedBytes()
{
    return contents(std::min(anchor_, caret_), std::max(anchor_, caret_));
}

long OutputPane::selectionFirst()
{
    return std::min(anchor_, caret_);
}

long OutputPane::selectionLast()
{
    return std::max(anchor_, caret_) - 1;
}

// --- View ------------------------------------------------------------------------------------

int OutputPane::lineHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

long OutputPane::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

long OutputPane::visibleLines() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

void OutputPane::setTextFont(const QFont &font)
{
    setFont(font);
    advances_.clear();
    updateScrollBars();
    viewport()->update();
}

QSize OutputPane::sizeForChars(int columns, int rows) const
{
    const QFontMetrics metrics = fontMetrics();
    const int frame = 2 * frameWidth();
    return QSize(columns * metrics.horizontalAdvance(QLatin1Char('M')) + 2 * padding + frame +
                     verticalScrollBar()->sizeHint().width(),
                 rows * lineHeight() + frame + horizontalScrollBar()->sizeHint().height());
}

void OutputPane::makeVisible(long position)
{
    if (refreshPending_)
        updateScrollBars();
    position = std::clamp(position, 0L, length());
    const long line = lineOf(position);
    const long first = firstVisibleLine();
    if (line < first || line >= first + visibleLines())
        verticalScrollBar()->setValue(static_cast<int>(std::max(0L, line - visibleLines() / 3)));

    const ShownLine shown = layOut(line, INT_MAX, position);
    const auto at = std::lower_bound(shown.starts.begin(), shown.starts.end(), position);
    const int x = shown.lefts[static_cast<std::size_t>(std::min<long>(at - shown.starts.begin(), shown.lefts.size() - 1))];
    const int left = horizontalScrollBar()->value();
    const int width = viewport()->width();
    if (x < left || x > left + width - advance('M'))
        horizontalScrollBar()->setValue(std::max(0, x - width / 3));
}

void OutputPane::updateScrollBars()
{
    const long lines = lineCount();
    const long shown = visibleLines();
    verticalScrollBar()->setRange(0, static_cast<int>(std::clamp(lines - shown, 0L, long(INT_MAX))));
    verticalScrollBar()->setPageStep(static_cast<int>(shown));
    verticalScrollBar()->setSingleStep(1);
    const long widest = std::min(widestColumns_ * advance('M') + 2 * padding, long(INT_MAX));
    horizontalScrollBar()->setRange(0, static_cast<int>(std::max(0L, widest - viewport()->width())));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(advance('M'));
}

// Appends come in many small pieces: the view follows them at most every refreshDelay ms. A view
// that showed the end when the run of appends began is scrolled to the new end.
void OutputPane::refreshSoon()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(refreshDelay, this, [this] { refresh(); });
}

void OutputPane::refresh()
{
    refreshPending_ = false;
    updateScrollBars();
    if (followEnd_)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

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
    const auto *text = reinterpret_cast<const unsigned char *>(bytes_.data());
    const bool utf8 = isUtf8();
    const int tabWidth = tabColumns * advance(' ');
    int x = padding;
    long at = start;
    QString run;
    int runLeft = x;
    auto endRun = [&] {
        if (!run.isEmpty())
            shown.runs.push_back({runLeft, run});
        run.clear();
    };
    while (at < end && x <= rightmost && at <= lastByte) {
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

// The x of a position in a laid-out line; right of the view for a position beyond the layout.
static int xOf(const std::vector<long> &starts, const std::vector<int> &lefts, long position, int beyond)
{
    const auto at = std::lower_bound(starts.begin(), starts.end(), position);
    if (at == starts.end())
        return beyond;
    const std::size_t index = static_cast<std::size_t>(at - starts.begin());
    // Inside a character: its left edge.
    return *at == position || index == 0 ? lefts[index] : lefts[index - 1];
}

void OutputPane::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setFont(font());
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const int left = horizontalScrollBar()->value();
    const int rightmost = left + viewport()->width();
    const int lineEndWidth = advance(' ');
    painter.translate(-left, 0);

    long primaryFirst, primaryEnd;
    primarySelection(&primaryFirst, &primaryEnd);
    QColor box(Qt::darkGray);
    box.setAlpha(70);
    QColor outline(Qt::darkGray);
    outline.setAlpha(200);

    for (long line = firstVisibleLine(), row = 0; line < lineCount() && row * height < viewport()->height();
         ++line, ++row) {
        const ShownLine shown = layOut(line, rightmost);
        const int top = static_cast<int>(row * height);
        const long start = lineStart(line), end = lineEnd(line);
        // The horizontal band of a range on this line; a range over the line end takes a space.
        auto band = [&](long first, long lastPlusOne) -> QRect {
            if (lastPlusOne <= start || first > end || lastPlusOne <= first)
                return QRect();
            const int from = xOf(shown.starts, shown.lefts, std::max(first, start), rightmost + 1);
            int to = xOf(shown.starts, shown.lefts, std::min(lastPlusOne, end), rightmost + 1);
            if (lastPlusOne > end)
                to += lineEndWidth;
            return QRect(from, top, std::max(0, to - from), height);
        };
        const QRect secondary = band(secondaryFirst_, secondaryEnd_);
        if (!secondary.isEmpty()) {
            painter.fillRect(secondary, box);
            painter.setPen(outline);
            painter.drawRect(secondary.adjusted(0, 0, -1, -1));
        }
        const QRect primary = band(primaryFirst, primaryEnd);
        if (!primary.isEmpty())
            painter.fillRect(primary, palette().highlight());
        const int baseline = top + metrics.ascent();
        painter.setPen(palette().text().color());
        for (const ShownLine::Run &run : shown.runs)
            painter.drawText(run.left, baseline, run.text);
        if (!primary.isEmpty()) {
            painter.save();
            painter.setClipRect(primary);
            painter.setPen(palette().highlightedText().color());
            for (const ShownLine::Run &run : shown.runs)
                painter.drawText(run.left, baseline, run.text);
            painter.restore();
        }
    }
}

void OutputPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

// --- Mouse and keys --------------------------------------------------------------------------

long OutputPane::positionAt(const QPoint &point) const
{
    const long row = point.y() < 0 ? -1 : point.y() / lineHeight();
    const long line = firstVisibleLine() + row;
    if (line < 0)
        return 0;
    if (line >= lineCount())
        return length();
    const int x = point.x() + horizontalScrollBar()->value();
    const ShownLine shown = layOut(line, x);
    for (std::size_t i = 0; i + 1 < shown.lefts.size(); ++i)
        if (x < (shown.lefts[i] + shown.lefts[i + 1]) / 2)
            return shown.starts[i];
    return shown.starts.back();
}

void OutputPane::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const long position = positionAt(event->pos());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor_ = position;
    caret_ = position;
    selecting_ = true;
    viewport()->update();
}

void OutputPane::mouseMoveEvent(QMouseEvent *event)
{
    if (!selecting_ || !(event->buttons() & Qt::LeftButton))
        return;
    // Dragging past the top or bottom scrolls a line at a time.
    if (event->pos().y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (event->pos().y() >= viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    caret_ = positionAt(event->pos());
    viewport()->update();
}

void OutputPane::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && selecting_) {
        selecting_ = false;
        claimIfSelected();
    }
}

void OutputPane::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const long position = positionAt(event->pos());
    const auto *text = reinterpret_cast<const unsigned char *>(bytes_.data());
    long first = position, end = position;
    while (first > 0 && isWordByte(text[first - 1]))
        --first;
    while (end < length() && isWordByte(text[end]))
        ++end;
    if (end == first && end < length() && text[end] != '\n')
        ++end;
    anchor_ = first;
    caret_ = end;
    selecting_ = false;
    claimIfSelected();
    viewport()->update();
}

void OutputPane::contextMenuEvent(QContextMenuEvent *event)
{
    if (!popupMenu_) {
        event->ignore();
        return;
    }
    popupMenu_->popup(event->globalPos());
    event->accept();
}

void OutputPane::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        const std::string bytes = selectedBytes();
        if (!bytes.empty())
            QApplication::clipboard()->setText(isUtf8() ? QString::fromUtf8(bytes.data(), static_cast<int>(bytes.size()))
                                                        : QString::fromLatin1(bytes.data(), static_cast<int>(bytes.size())));
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        setPrimarySelection(0, length());
        return;
    }
    QScrollBar *vertical = verticalScrollBar();
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Home:
        if (control)
            vertical->triggerAction(QAbstractSlider::SliderToMinimum);
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        if (control)
            vertical->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    default:
        // Arrows and page keys scroll.
        QAbstractScrollArea::keyPressEvent(event);
    }
}

// --- textsw_ operations ----------------------------------------------------------------------

long textsw_append(OutputPane *pane, const char *bytes, long length)
{
    return pane ? pane->append(bytes, length) : 0;
}

void textsw_set_contents(OutputPane *pane, const char *bytes, long length)
{
    if (!pane)
        return;
    pane->clear();
    pane->append(bytes, length);
}

Textsw_index textsw_length(OutputPane *pane)
{
    return pane ? pane->length() : 0;
}

std::string textsw_contents(OutputPane *pane, Textsw_index first, Textsw_index last_plus_one)
{
    return pane ? pane->contents(first, last_plus_one) : std::string();
}

bool textsw_is_utf8(OutputPane *pane)
{
    return pane && pane->isUtf8();
}

void textsw_set_selection(OutputPane *pane, Textsw_index first, Textsw_index last_plus_one, unsigned type)
{
    if (!pane)
        return;
    if (type == TEXTSW_SEL_SECONDARY)
        pane->setSecondarySelection(first, last_plus_one);
    else
        pane->setPrimarySelection(first, last_plus_one);
}

int textsw_get_selection(OutputPane *pane, Textsw_index *first, Textsw_index *last_plus_one, unsigned type)
{
    Textsw_index from = 0, to = 0;
    if (pane) {
        if (type == TEXTSW_SEL_SECONDARY)
            pane->secondarySelection(&from, &to);
        else
            pane->primarySelection(&from, &to);
    }
    if (first)
        *first = from;
    if (last_plus_one)
        *last_plus_one = to;
    return to > from ? 1 : 0;
}

void textsw_possibly_normalize(OutputPane *pane, Textsw_index position)
{
    if (pane)
        pane->makeVisible(position);
}

void textsw_set_memory_limit(OutputPane *pane, long limit)
{
    if (pane)
        pane->setMemoryLimit(limit);
}

long textsw_memory_limit(OutputPane *pane)
{
    return pane ? pane->memoryLimit() : 0;
}

void textsw_set_menu(OutputPane *pane, QMenu *menu)
{
    if (pane)
        pane->setPopupMenu(menu);
}

void textsw_set_font(OutputPane *pane, const QFont &font)
{
    if (pane)
        pane->setTextFont(font);
}

QSize textsw_size_for_chars(OutputPane *pane, int columns, int rows)
{
    return pane ? pane->sizeForChars(columns, rows) : QSize();
}
