#pragma once
// The output pane: a read-only view of an OutputText (a text that only grows at its end, such as
// a compiler's output), and the textsw_ operations the program uses on it. Positions and lengths
// count bytes from 0.
//
// The pane shows the text it is given without copying it: the program may keep the same text as
// its own record of the output, and the pane shows its first length() bytes. The pane shows no
// more than its memory limit; what arrives beyond is kept in the text but not shown. A text that
// is valid UTF-8 is shown as UTF-8, anything else as Latin-1; tab stops are every 8 columns,
// control characters are shown as their symbols, and the text's styles as colours.
//
// The user selects with the mouse (double click: a word, unless the program takes the double
// click; shift: extends); a primary selection that is not empty claims the X PRIMARY for the
// pane, which then answers with its bytes and positions. The program sets a secondary selection,
// shown with a box, and may show a footer line after the text (not part of it).
//
// Files: outputpane.cpp (text, selections, view), outputdrawing.cpp (layout and painting),
// outputmouse.cpp (mouse and keys).

#include "toolkit/outputtext.h"
#include "toolkit/selection.h"
#include "toolkit/textpane.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QString>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;

class OutputPane : public QAbstractScrollArea, public SelectionHolder {
    Q_OBJECT

public:
    explicit OutputPane(QWidget *parent = nullptr);
    ~OutputPane() override;

    // The number of bytes shown.
    long length() const { return shown_; }
    // Appends the bytes to the text and shows them; returns how many went in: all of them, or 0
    // when they would pass the memory limit or no memory is left for them.
    long append(const char *bytes, long count);
    // Empties the pane: it shows a new, empty text of its own; selections and footer go.
    void clear();
    // Shows `text`, of which nothing is shown yet (showMore shows it); selections and footer go.
    void showText(std::shared_ptr<OutputText> text);
    // Shows the text up to its present end. False, showing nothing more, when that would pass
    // the memory limit.
    bool showMore();
    const OutputText &text() const { return *text_; }
    std::string contents(long first, long lastPlusOne) const;
    bool isUtf8() const { return text_->isUtf8(); }

    // A line drawn after the text in its own colour; not part of the text. Empty: none.
    void setFooter(const QString &footer);
    const QString &footer() const { return footer_; }

    long memoryLimit() const { return memoryLimit_; }
    void setMemoryLimit(long limit) { memoryLimit_ = limit; }
    void setPopupMenu(QMenu *menu) { popupMenu_ = menu; }
    // Called with the position of a left double click; when it returns true the double click
    // was taken, and no word is selected.
    void setDoubleClickProc(std::function<bool(long position)> proc) { doubleClickProc_ = std::move(proc); }
    void setTextFont(const QFont &font);
    QSize sizeForChars(int columns, int rows) const;

    long lineCount() const { return shownLines_; }
    long lineOf(long position) const { return text_->lineOf(std::min(position, shown_)); }
    long lineStart(long line) const { return line <= 0 ? 0 : text_->lineStart(line); }
    // The end of the line's text, before its line end.
    long lineEnd(long line) const { return std::min(text_->lineEndFrom(lineStart(line)), shown_); }
    long firstVisibleLine() const;
    long visibleLines() const;

    // An empty primary range drops the primary selection; an empty secondary range removes it.
    void setPrimarySelection(long first, long lastPlusOne);
    void setSecondarySelection(long first, long lastPlusOne);
    void primarySelection(long *first, long *lastPlusOne) const;
    void secondarySelection(long *first, long *lastPlusOne) const;
    // Scrolls so that the position is visible, if it is not: its line then a third of the way
    // down, and the position inside the width.
    void makeVisible(long position);

    // SelectionHolder. The text cannot be deleted: the delete request does nothing.
    std::string selectedBytes() override;
    long selectionFirst() override;
    long selectionLast() override;
    void deleteSelection() override {}

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static constexpr int padding = 2; // left of the text, and right of the widest line

    // One line as shown: for each character the byte it starts at and its left edge, and the
    // text drawn in runs, which break at tabs and where the style changes.
    struct ShownLine {
        struct Run {
            int left;
            int right;
            QString text;
            const TextStyle *style;
        };
        std::vector<long> starts; // byte of each character, then where the layout ended
        std::vector<int> lefts;   // left edge of each character, then the right edge of the last
        std::vector<Run> runs;
    };
    ShownLine layOut(long line, int rightmost, long lastByte = LONG_MAX) const;
    int advance(char32_t character) const;
    void paintLine(QPainter &painter, long line, int top, int rightmost);
    void paintRuns(QPainter &painter, const ShownLine &shown, int top, bool backgrounds);
    long positionAt(const QPoint &point) const;
    void selectWordAt(long position);
    void refreshSoon();
    void refresh();
    void updateScrollBars();
    void claimIfSelected();
    int lineHeight() const;
    bool showsEnd() const;

    std::shared_ptr<OutputText> text_;
    long shown_ = 0;
    long shownLines_ = 1;
    QString footer_;
    long memoryLimit_ = 0;
    QMenu *popupMenu_ = nullptr;
    std::function<bool(long)> doubleClickProc_;

    long anchor_ = 0, caret_ = 0; // the primary selection, in the order the mouse made it
    long secondaryFirst_ = 0, secondaryEnd_ = 0;
    bool selecting_ = false;
    bool refreshPending_ = false;
    bool followEnd_ = false;
    mutable QHash<char32_t, int> advances_;
};

// The textsw_ operations on an output pane; they do what their TextPane namesakes do.
long textsw_append(OutputPane *pane, const char *bytes, long length);
// Replaces the whole text (an empty one empties the pane).
void textsw_set_contents(OutputPane *pane, const char *bytes, long length);
Textsw_index textsw_length(OutputPane *pane);
std::string textsw_contents(OutputPane *pane, Textsw_index first, Textsw_index last_plus_one);
bool textsw_is_utf8(OutputPane *pane);
void textsw_set_selection(OutputPane *pane, Textsw_index first, Textsw_index last_plus_one, unsigned type);
int textsw_get_selection(OutputPane *pane, Textsw_index *first, Textsw_index *last_plus_one, unsigned type);
void textsw_possibly_normalize(OutputPane *pane, Textsw_index position);
void textsw_set_memory_limit(OutputPane *pane, long limit);
long textsw_memory_limit(OutputPane *pane);
void textsw_set_menu(OutputPane *pane, QMenu *menu);
void textsw_set_font(OutputPane *pane, const QFont &font);
QSize textsw_size_for_chars(OutputPane *pane, int columns, int rows);
