// The output pane's mouse selection, its pop-up menu and its keys.
#include "toolkit/outputpane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

#include <cctype>

namespace {

bool isWordByte(unsigned char byte)
{
    return std::isalnum(byte) || byte == '_' || byte >= 0x80;
}

} // namespace

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
    selecting_ = false;
    const long position = positionAt(event->pos());
    if (doubleClickProc_ && doubleClickProc_(position))
        return;
    selectWordAt(position);
}

void OutputPane::selectWordAt(long position)
{
    const auto *text = reinterpret_cast<const unsigned char *>(text_->data());
    long first = position, end = position;
    while (first > 0 && isWordByte(text[first - 1]))
        --first;
    while (end < length() && isWordByte(text[end]))
        ++end;
    if (end == first && end < length() && text[end] != '\n')
        ++end;
    anchor_ = first;
    caret_ = end;
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
