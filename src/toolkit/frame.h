#pragma once
// Frame titles shown exactly as given. Qt reads "[*]" in a window title as the place of a
// modified mark and removes it; a file name may hold those three characters.
#include <QString>

class QWidget;

void frame_set_label(QWidget *frame, const QString &title);
// The title as given to frame_set_label.
QString frame_label(const QWidget *frame);
