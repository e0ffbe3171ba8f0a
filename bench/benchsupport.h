#pragma once
// What the benchmarks share: the QApplication, the 40 MB test text, and a watch on how long the
// event loop goes without answering.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

// The benchmark main has no QApplication; the first benchmark that needs one makes it. It is
// never destroyed: at static destruction time Qt's own globals may already be gone.
void ensureApplication();

// The real main window with the shipped configuration and no file, built once, its text pane
// without a memory limit.
void ensureMainWindow();

constexpr int sourceLineCount = 1000000;

// 1,000,000 lines of about 40 bytes of C, each holding the word "counter" once: 40 MB. Line i
// is printf("    sum += counter * %7d; /* s%05d */\n", i, i % 100000).
const std::string &sourceText();

// The generated text as a file, written once per run and removed at exit.
const std::string &sourceFile();

// Writes `text` into a new temporary file whose name begins with `prefix`, removed at exit.
std::string temporaryFile(const char *prefix, const std::string &text);
// The longest gap between two expiries of a timer of `periodMs`, from construction to now.
// With TSL_BENCH_GAPS set, each gap over one and a half periods is printed with the time it ended.
struct GapWatch {
    const bool traceGaps = getenv("TSL_BENCH_GAPS") != nullptr;
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    explicit GapWatch(int periodMs = 50)
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this, periodMs] {
            const qint64 now = clock.elapsed();
            worst = std::max(worst, now - last);
            if (traceGaps && (now - last) * 2 > periodMs * 3)
                fprintf(stderr, "gap of %lld ms at %lld ms\n", now - last, now);
            last = now;
        });
        clock.start();
        timer.start(periodMs);
    }
    qint64 worstGap()
    {
        if (traceGaps)
            fprintf(stderr, "end after %lld ms, %lld ms since the last expiry\n", clock.elapsed(),
                    clock.elapsed() - last);
        return std::max(worst, clock.elapsed() - last);
    }
};
