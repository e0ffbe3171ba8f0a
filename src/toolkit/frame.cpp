#include "toolkit/frame.h"

#include <QWidget>

namespace {

const QString placeholder = QStringLiteral("[*]");
const QString doubled = QStringLiteral("[*][*]");

} // namespace

void frame_set_label(QWidget *frame, const QString &title)
{
    // Qt shows a doubled placeholder as one literal "[*]".
    if (frame)
        frame->setWindowTitle(QString(title).replace(placeholder, doubled));
}

QString frame_label(const QWidget *frame)
{
    return frame ? frame->windowTitle().replace(doubled, placeholder) : QString();
}
