#include "toolkit/outputpane.h"

#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

constexpr int refreshDelay = 40; // ms: appends coming faster than this are shown together

} // namespace

OutputPane::OutputPane(QWidget *parent) : QAbstractScrollArea(parent), text_(std::make_shared<OutputText>())
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    updateScrollBars();
}

OutputPane::~OutputPane() = default;

// --- Text ------------------------------------------------------------------------------------

long OutputPane::append(const char *bytes, long count)
{
    if (!bytes || count <= 0 || (memoryLimit_ > 0 && count > memoryLimit_ - static_cast<long>(text_->size())))
        return 0;
    if (!text_->append(bytes, static_cast<std::size_t>(count)))
        return 0;
    showMore();
    return count;
}

bool OutputPane::showMore()
{
    const long end = static_cast<long>(text_->size());
    if (end == shown_)
        return true;
    if (memoryLimit_ > 0 && end > memoryLimit_)
        return false;
    if (!refreshPending_)
        followEnd_ = showsEnd();
    shown_ = end;
    shownLines_ = text_->lineCount();
    refreshSoon();
    return true;
}

void OutputPane::clear()
{
    showText(std::make_shared<OutputText>());
}

void OutputPane::showText(std::shared_ptr<OutputText> text)
{
    text_ = text ? std::move(text) : std::make_shared<OutputText>();
    shown_ = 0;
    shownLines_ = 1;
    footer_.clear();
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
    return std::string(text_->data() + first, text_->data() + lastPlusOne);
}

void OutputPane::setFooter(const QString &footer)
{
    if (!refreshPending_)
        followEnd_ = showsEnd();
    footer_ = footer;
    refreshSoon();
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

// Whether the view shows the last row (the last line, or the footer under it).
bool OutputPane::showsEnd() const
{
    const long rows = lineCount() + (footer_.isEmpty() ? 0 : 1);
    return firstVisibleLine() + visibleLines() >= rows;
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
    const long rows = lineCount() + (footer_.isEmpty() ? 0 : 1);
    const long shown = visibleLines();
    verticalScrollBar()->setRange(0, static_cast<int>(std::clamp(rows - shown, 0L, long(INT_MAX))));
    verticalScrollBar()->setPageStep(static_cast<int>(shown));
    verticalScrollBar()->setSingleStep(1);
    const long footerColumns = footer_.size();
    const long columns = std::max(text_->widestColumns(), footerColumns);
    const long widest = std::min(columns * advance('M') + 2 * padding, long(INT_MAX));
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

void OutputPane::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
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
