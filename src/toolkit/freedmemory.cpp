// Keeping freed large blocks for reuse (glibc's malloc) and giving them back when unused.
#include "toolkit/freedmemory.h"

#include "toolkit/mappedarray.h"

#include <QTimer>

#include <malloc.h>

namespace {

// Free memory worth giving back, and how often it is looked at: given back when it was there at
// two checks in a row.
constexpr std::size_t worthReturning = std::size_t(64) << 20;
constexpr int checkIntervalMs = 15000;

} // namespace

void keepFreedMemoryForReuse(QObject *owner)
{
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    static bool kept = false; // once per process, whatever builds the main window again
    if (kept)
        return;
    kept = true;
    // Blocks below 1 GiB come from the heap, and the heap's top is not cut back at every free.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    auto *timer = new QTimer(owner);
    timer->callOnTimeout(timer, [freeBefore = false]() mutable {
        mapped::releaseKeptBefore();
        const bool freeNow = mallinfo2().fordblks >= worthReturning;
        if (freeNow && freeBefore) {
            malloc_trim(0);
            freeBefore = false;
            return;
        }
        freeBefore = freeNow;
    });
    timer->start(checkIntervalMs);
#else
    (void)owner;
#endif
}
