#pragma once
// Left-button mouse events sent straight to a widget, as the user's hand would produce them.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

inline void mouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// Drags the left button from one point of the widget to another, through the point between.
inline void drag(QWidget *widget, QPoint from, QPoint to)
{
    mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}
