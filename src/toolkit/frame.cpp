#include "toolkit/frame.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const QString placeholder = QStringLiteral("[*]");
const QString doubled = QStringLiteral("[*][*]");

#ifndef MADV_POPULATE_WRITE
constexpr int MADV_POPULATE_WRITE = 23; // Linux 5.14; older kernels refuse it
#endif

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

void frame_prepare_buffer(QWidget *frame)
{
    if (!frame || !frame->isWindow())
        return;
    frame->winId(); // creates the window
    QBackingStore *store = frame->backingStore();
    if (!store)
        return;
    // The size the first paint asks for: the store is not made again then.
    store->resize(frame->size());
    const auto *image = dynamic_cast<const QImage *>(store->paintDevice());
    if (!image || image->isNull())
        return;
    const auto first = reinterpret_cast<std::uintptr_t>(image->constBits());
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = first & ~(page - 1);
    const std::uintptr_t end = first + static_cast<std::uintptr_t>(image->sizeInBytes());
    madvise(reinterpret_cast<void *>(start), end - start, MADV_POPULATE_WRITE);
}
