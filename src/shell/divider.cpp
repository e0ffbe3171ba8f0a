#include "shell/divider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

Divider::Divider(QWidget *parent, std::function<void(int)> moved) : QWidget(parent), moved_(std::move(moved))
{
    setObjectName("Divider");
    setCursor(Qt::SplitVCursor);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("Drag to share the height between the text and the terminal"));
}

void Divider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    // A splitter's handle between panes above and below each other.
    option.state &= ~QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void Divider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    hold_ = event->pos().y();
    event->accept();
}

void Divider::mouseMoveEvent(QMouseEvent *event)
{
    if (hold_ < 0 || !parentWidget())
        return;
    // The strip moves with every step: its new place is read in the parent's pixels.
    const int top = parentWidget()->mapFromGlobal(event->globalPos()).y() - hold_;
    if (moved_ && top != y())
        moved_(top);
    event->accept();
}

void Divider::mouseReleaseEvent(QMouseEvent *event)
{
    hold_ = -1;
    event->accept();
}
