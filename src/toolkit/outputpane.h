#pragma once
// The output pane: a read-only text that only grows at its end, such as a compiler's output, and
// the textsw_ operations the program uses on it. Positions and lengths count bytes from 0.
//
// The bytes are kept exactly as appended, in mapped arrays that grow without copying what they
// hold, so that appending costs the same at 100 MB as at 100 bytes and a long output never makes
// the window wait. A text that is valid UTF-8 is shown as UTF-8, anything else as Latin-1; tab
// stops are every 8 columns and control characters are shown as their symbols.
//
// The user selects with the mouse (double click: a word; shift: extends); a primary selection
// that is not empty claims the X PRIMARY for the pane, which then answers with its bytes and
// positions. The program sets a secondary selection, shown with a box.

#include "toolkit/mappedarray.h"
#include "toolkit/selection.h"
#include "toolkit/textpane.h"
#include "toolkit/utf8check.h"

#include <QAbstractScrollArea>
#include <QHash>

#include <climits>

#include <string>
#include <vector>

class QMenu;

class OutputPane : public QAbstractScrollArea, public SelectionHolder {
    Q_OBJECT

public:
    explicit OutputPane(QWidget *parent = nullptr);

    long length() const { return static_cast<long>(bytes_.size()); }
    // Appends the bytes and returns how many went in: all of them, or 0 when they would pass
    // the memory limit or no memory is left for them.
    long append(const char *bytes, long count);
    // Empties the pane; both selections go with the text.
    void clear();
    std::string contents(long first, long lastPlusOne) const;
    bool isUtf8() const { return validator_.valid(); }

    long memoryLimit() const { return memoryLimit_; }
    void setMemoryLimit(long limit) { memoryLimit_ = limit; }
    void setPopupMenu(QMenu *menu) { popupMenu_ = menu; }
    void setTextFont(const QFont &font);
    QSize sizeForChars(int columns, int rows) const;

    long lineCount() const { return static_cast<long>(lineStarts_.size()) + 1; }
    long lineOf(long position) const;
    long lineStart(long line) const { return line <= 0 ? 0 : lineStarts_[static_cast<std::size_t>(line - 1)]; }
    // The end of the line's text, before its line end.
    long lineEnd(long line) const { return line + 1 < lineCount() ? lineStart(line + 1) - 1 : length(); }
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
    // One line as shown: for each character the byte it starts at and its left edge, and the
    // text drawn in runs between tabs.
    struct ShownLine {
        struct Run {
            int left;
            QString text;
        };
        std::vector<long> starts; // byte of each character, then where the layout ended
        std::vector<int> lefts;   // left edge of each character, then the right edge of the last
        std::vector<Run> runs;
    };
    ShownLine layOut(long line, int rightmost, long lastByte = LONG_MAX) const;
    int advance(char32_t character) const;
    long positionAt(const QPoint &point) const;
    void noteNewLines(long from);
    void refreshSoon();
    void refresh();
    void updateScrollBars();
    void claimIfSelected();
    int lineHeight() const;
    int rowOf(long line) const;

    MappedArray<char> bytes_;
    MappedArray<long> lineStarts_; // where each line after the first begins
    Utf8Validator validator_;
    long widestColumns_ = 0; // of the lines so far, counting each byte a column and a tab eight
    long openColumns_ = 0;   // of the last line, which has no line end yet
    long memoryLimit_ = 0;
    QMenu *popupMenu_ = nullptr;

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
