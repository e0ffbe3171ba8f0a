#pragma once
// Frame titles shown exactly as given. Qt reads "[*]" in a window title as the place of a
// modified mark and removes it; a file name may hold those three characters. And the memory a
// frame is painted into, taken before it is first shown.
#include <QString>

class QWidget;

void frame_set_label(QWidget *frame, const QString &title);
// The title as given to frame_set_label.
QString frame_label(const QWidget *frame);

// Creates the top-level `frame` at its present size and has the system give its backing store all
// of its memory in one call: the first paint would otherwise take it a page at a time, each page
// a fault, which is most of what painting a new window costs when many open at once (a project).
// Without the call (other systems, older kernels) the paint takes the memory as before.
void frame_prepare_buffer(QWidget *frame);
