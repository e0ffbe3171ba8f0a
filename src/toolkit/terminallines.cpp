// The terminal pane's lines for the program: output lines as they arrive, new command lines, the
// shell's directory, links drawn over the terminal's display and the clicks on them.
//
// The terminal widget offers no way to add filters of our own to its display, so the output is
// read as it arrives (the widget hands out each block it received from the shell's pty) and the
// links are drawn by a transparent layer over the display. Which rows show which lines is read
// from the terminal's whole text, the history first, where a line wider than the terminal fills
// several rows; the display's top row is the position of its scroll bar. Nothing of this runs
// while no line may be a link and no line is highlighted, so that output costs nothing more.
#include "toolkit/terminallines.h"

#include "toolkit/terminalpane.h"
#include "toolkit/terminaltext.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <unistd.h>
#include <vector>

namespace {

const char watchName[] = "TerminalLineWatch";
// After output, the visible lines are looked at again this long after the first change (and not
// more often while output goes on).
constexpr int refreshDelay = 60;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t charactersOf(std::string_view text)
{
    std::size_t count = 0;
    for (char c : text)
        count += !isContinuationByte(c);
    return count;
}

std::string_view withoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The lines drawn over the display: underlines and the highlight box.
class LinkLayer : public QWidget {
public:
    struct Stroke {
        QRect rect;
        QColor colour;
        bool box = false;
    };

    explicit LinkLayer(QWidget *display) : QWidget(display)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void setStrokes(std::vector<Stroke> strokes)
    {
        strokes_ = std::move(strokes);
        setGeometry(parentWidget()->rect());
        setVisible(!strokes_.empty());
        raise();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        for (const Stroke &stroke : strokes_) {
            if (!stroke.box) {
                painter.fillRect(stroke.rect, stroke.colour);
                continue;
            }
            QColor fill(Qt::darkGray), outline(Qt::darkGray);
            fill.setAlpha(70);
            outline.setAlpha(200);
            painter.fillRect(stroke.rect, fill);
            painter.setPen(outline);
            painter.drawRect(stroke.rect.adjusted(0, 0, -1, -1));
        }
    }

private:
    std::vector<Stroke> strokes_;
};

// A line of the terminal's whole text and the rows it fills.
struct TextLine {
    std::string_view text; // without trailing blanks
    int firstRow = 0;
    int rows = 1;
};

class TerminalWatch : public QObject {
public:
    explicit TerminalWatch(TerminalPane *pane) : QObject(pane), pane_(pane)
    {
        setObjectName(watchName);
        for (QWidget *child : pane->findChildren<QWidget *>())
            if (child->inherits("Konsole::TerminalDisplay"))
                display_ = child;
        if (display_) {
            display_->installEventFilter(this);
            scrollBar_ = display_->findChild<QScrollBar *>();
            layer_ = new LinkLayer(display_);
        }
        if (scrollBar_)
            connect(scrollBar_, &QScrollBar::valueChanged, this, [this] { scheduleRefresh(0); });
        refreshTimer_.setSingleShot(true);
        connect(&refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });
    }

    std::function<void(std::string_view)> lineProc;
    std::function<void()> commandProc;
    TerminalLinks links;
    bool linksShown = false;
    std::string highlightText;
    int highlightAfter = 0;
    bool scrollToHighlight = false;
    std::vector<int> linkRows;
    int highlightRow = -1;

    // Reads the output only while something needs it.
    void followOutput()
    {
        const bool wanted = lineProc || linksShown || !highlightText.empty();
        if (wanted == following_)
            return;
        following_ = wanted;
        if (wanted)
            connect(pane_, &QTermWidget::receivedData, this, &TerminalWatch::takeOutput);
        else
            disconnect(pane_, &QTermWidget::receivedData, this, &TerminalWatch::takeOutput);
    }

    void typed(const char *bytes, int length)
    {
        if (commandProc && std::find_if(bytes, bytes + length, [](char c) { return c == '\n' || c == '\r'; }) !=
                               bytes + length)
            commandStarts();
    }

    void scheduleRefresh(int delay)
    {
        if (!linksShown && highlightText.empty()) {
            if (layer_ && layer_->isVisible())
                refresh();
            return;
        }
        if (!refreshTimer_.isActive() || delay == 0)
            refreshTimer_.start(delay);
    }

    void refresh();

    int rowHeight() const { return std::max(1, display_->fontMetrics().height()); }
    int columnWidth() const
    {
        const QString sample(20, QLatin1Char('M'));
        return std::max(1, qRound(display_->fontMetrics().horizontalAdvance(sample) / 20.0));
    }
    int margin() const { return pane_->getMargin(); }
    int topRow() const { return scrollBar_ ? scrollBar_->value() : 0; }
    QRect cellRect(int visibleRow, int column, int columns) const
    {
        return QRect(margin() + column * columnWidth(), margin() + visibleRow * rowHeight(), columns * columnWidth(),
                     rowHeight());
    }
    int visibleRowAt(const QPoint &point) const { return (point.y() - margin()) / rowHeight(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeOutput(const QString &text)
    {
        if (lineProc) {
            const QByteArray bytes = text.toLatin1(); // the widget hands the pty's bytes as Latin-1
            splitter_.take(bytes.constData(), static_cast<std::size_t>(bytes.size()), lineProc);
        }
        scheduleRefresh(refreshDelay);
    }

    void commandStarts()
    {
        // A Return at the shell's own prompt, not one typed into a program the shell runs.
        if (commandProc && !pane_->programInForeground(nullptr))
            commandProc();
    }

    std::vector<TextLine> lines(std::string &whole) const;
    bool openLinkAt(const QPoint &point);

    TerminalPane *pane_;
    QWidget *display_ = nullptr;
    QScrollBar *scrollBar_ = nullptr;
    LinkLayer *layer_ = nullptr;
    TerminalLineSplitter splitter_;
    QTimer refreshTimer_;
    bool following_ = false;
    bool swallowRelease_ = false;
};

TerminalWatch *watchOf(TerminalPane *pane)
{
    if (!pane)
        return nullptr;
    if (auto *watch = pane->findChild<QObject *>(watchName, Qt::FindDirectChildrenOnly))
        return static_cast<TerminalWatch *>(watch);
    return new TerminalWatch(pane);
}

// The lines of the terminal's whole text (`whole` receives it) with their rows.
std::vector<TextLine> TerminalWatch::lines(std::string &whole) const
{
    whole = pane_->wholeText();
    const int columns = std::max(1, pane_->screenColumnsCount());
    std::vector<TextLine> found;
    int row = 0;
    std::size_t start = 0;
    while (start < whole.size()) {
        std::size_t end = whole.find('\n', start);
        if (end == std::string::npos)
            end = whole.size();
        const std::string_view line(whole.data() + start, end - start);
        const int characters = static_cast<int>(std::min<std::size_t>(charactersOf(line), INT_MAX / 2));
        TextLine textLine;
        textLine.text = withoutTrailingBlanks(line);
        textLine.firstRow = row;
        textLine.rows = std::max(1, (characters + columns - 1) / columns);
        found.push_back(textLine);
        row += textLine.rows;
        start = end + 1;
    }
    return found;
}

void TerminalWatch::refresh()
{
    refreshTimer_.stop();
    linkRows.clear();
    highlightRow = -1;
    // A hidden terminal is looked at again when it shows.
    if (!display_ || !display_->isVisible() || (!linksShown && highlightText.empty())) {
        if (layer_)
            layer_->setStrokes({});
        return;
    }
    std::string whole;
    const std::vector<TextLine> all = lines(whole);
    const int columns = std::max(1, pane_->screenColumnsCount());
    const int shownRows = pane_->screenLinesCount();
    int top = topRow();

    // The highlighted line: the equal line that has `highlightAfter` equal lines after it.
    const TextLine *highlighted = nullptr;
    if (!highlightText.empty()) {
        int after = 0;
        for (auto line = all.rbegin(); line != all.rend(); ++line) {
            if (line->text != highlightText)
                continue;
            highlighted = &*line;
            if (after++ == highlightAfter)
                break;
        }
        if (highlighted && scrollToHighlight && scrollBar_) {
            scrollToHighlight = false;
            if (highlighted->firstRow < top || highlighted->firstRow + highlighted->rows > top + shownRows) {
                scrollBar_->setValue(std::max(0, highlighted->firstRow - shownRows / 3));
                top = topRow();
            }
        }
    }

    std::vector<LinkLayer::Stroke> strokes;
    const int underlineHeight = std::max(1, rowHeight() / 12);
    for (const TextLine &line : all) {
        if (line.firstRow + line.rows <= top || line.firstRow >= top + shownRows)
            continue;
        QColor colour;
        if (linksShown && !line.text.empty())
            colour = links.colour(std::string(line.text));
        const int characters = static_cast<int>(charactersOf(line.text));
        for (int row = std::max(line.firstRow, top); row < std::min(line.firstRow + line.rows, top + shownRows); ++row) {
            const int first = (row - line.firstRow) * columns;
            const int count = std::min(characters - first, columns);
            if (&line == highlighted) {
                strokes.push_back({cellRect(row - top, 0, std::max(count, 1)), QColor(), true});
                highlightRow = row - top;
            }
            if (colour.isValid() && count > 0) {
                const QRect rect = cellRect(row - top, 0, count);
                strokes.push_back({QRect(rect.left(), rect.bottom() - underlineHeight, rect.width(), underlineHeight),
                                   colour, false});
                linkRows.push_back(row - top);
            }
        }
    }
    layer_->setStrokes(std::move(strokes));
}

bool TerminalWatch::openLinkAt(const QPoint &point)
{
    if (!linksShown || !links.open || !display_)
        return false;
    const int row = topRow() + visibleRowAt(point);
    std::string whole;
    const std::vector<TextLine> all = lines(whole);
    const auto line = std::find_if(all.begin(), all.end(),
                                   [row](const TextLine &each) { return row >= each.firstRow && row < each.firstRow + each.rows; });
    if (line == all.end() || line->text.empty() || !links.colour(std::string(line->text)).isValid())
        return false;
    const int equalAfter =
        static_cast<int>(std::count_if(line + 1, all.end(), [&](const TextLine &each) { return each.text == line->text; }));
    // The call may change the terminal (highlight, scroll): the text is copied first.
    links.open(std::string(line->text), equalAfter);
    return true;
}

bool TerminalWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            commandStarts();
        break;
    }
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && openLinkAt(mouse->pos()))
            return true;
        break;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier) && openLinkAt(mouse->pos())) {
            swallowRelease_ = true;
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (swallowRelease_) {
            swallowRelease_ = false;
            return true;
        }
        break;
    case QEvent::Resize:
    case QEvent::Show:
        scheduleRefresh(0);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace

void ttysw_set_line_proc(TerminalPane *pane, std::function<void(std::string_view line)> proc)
{
    if (TerminalWatch *watch = watchOf(pane)) {
        watch->lineProc = std::move(proc);
        watch->followOutput();
    }
}

void ttysw_set_command_proc(TerminalPane *pane, std::function<void()> proc)
{
    if (TerminalWatch *watch = watchOf(pane))
        watch->commandProc = std::move(proc);
}

void ttysw_set_links(TerminalPane *pane, TerminalLinks links)
{
    if (TerminalWatch *watch = watchOf(pane))
        watch->links = std::move(links);
}

void ttysw_show_links(TerminalPane *pane, bool any)
{
    TerminalWatch *watch = watchOf(pane);
    if (!watch || (!any && !watch->linksShown))
        return;
    watch->linksShown = any && watch->links.colour;
    watch->followOutput();
    watch->scheduleRefresh(refreshDelay);
}

void ttysw_highlight_line(TerminalPane *pane, const std::string &line, int equalLinesAfter)
{
    TerminalWatch *watch = watchOf(pane);
    if (!watch)
        return;
    watch->highlightText = std::string(withoutTrailingBlanks(line));
    watch->highlightAfter = std::max(0, equalLinesAfter);
    watch->scrollToHighlight = !watch->highlightText.empty();
    watch->followOutput();
    watch->refresh();
}

std::string ttysw_shell_directory(TerminalPane *pane)
{
    const int pid = pane ? pane->shellPid() : 0;
    if (pid <= 0)
        return std::string();
    const std::string link = "/proc/" + std::to_string(pid) + "/cwd";
    char target[4096];
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target)
        return std::string();
    return std::string(target, static_cast<std::size_t>(length));
}

void terminalInputTyped(TerminalPane *pane, const char *bytes, int length)
{
    if (!pane || length <= 0)
        return;
    if (auto *watch = pane->findChild<QObject *>(watchName, Qt::FindDirectChildrenOnly))
        static_cast<TerminalWatch *>(watch)->typed(bytes, length);
}

std::vector<int> terminalLinkRows(TerminalPane *pane)
{
    TerminalWatch *watch = watchOf(pane);
    if (!watch)
        return {};
    watch->refresh();
    return watch->linkRows;
}

int terminalHighlightedRow(TerminalPane *pane)
{
    TerminalWatch *watch = watchOf(pane);
    if (!watch)
        return -1;
    watch->refresh();
    return watch->highlightRow;
}

QPoint terminalCellCentre(TerminalPane *pane, int row, int column)
{
    TerminalWatch *watch = watchOf(pane);
    return watch ? watch->cellRect(row, column, 1).center() : QPoint();
}

QWidget *terminalDisplay(TerminalPane *pane)
{
    for (QWidget *child : pane->findChildren<QWidget *>())
        if (child->inherits("Konsole::TerminalDisplay"))
            return child;
    return nullptr;
}
