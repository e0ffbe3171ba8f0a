#pragma once
// What the benchmarks share: the QApplication and the main window, the 40 MB test text, timed
// changes of the main window's text, the process's memory, and a watch on how long the event
// loop goes without answering.
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

// The benchmark main has no QApplication; the first benchmark that needs one makes it. It is
// never destroyed: at static destruction time Qt's own globals may already be gone.
void ensureApplication();

// Called after the application has delivered an event (set while timing, cleared after).
extern std::function<void(QObject *receiver, QEvent *event)> afterEvent;

// The real main window with the shipped configuration, built once by the first call in the
// current directory with `file` loaded (none when null), its text pane without a memory limit.
void ensureMainWindow(const char *file = nullptr);

// Times `change` of `text`, which is put into the main window's text pane before each run
// (untimed, with the events it leaves handled), after one untimed change; `change` returns false
// when it went wrong.
void timeChangeOfText(benchmark::State &state, const std::string &text, const std::function<bool()> &change);

// The same with the text loaded from `input` (untimed), as timeLoadChangeStore loads it.
void timeChangeOfFile(benchmark::State &state, const std::string &input, const std::function<bool()> &change);

// Times loading `input` into the main window's text pane, `change` and storing the text, after
// one untimed load and change. With
// the environment variable `keepVariable` set, the text is stored into the file it names and
// kept (to be compared with another program's result); else it goes next to `input` and is
// removed.
void timeLoadChangeStore(benchmark::State &state, const std::string &input, const std::function<bool()> &change,
                         const char *keepVariable);

// A size of this process from /proc/self/status, in bytes: "VmRSS:" (resident now) or "VmHWM:"
// (the peak resident size, since the start or the last resetPeakResident()).
long processSize(const char *field);
void resetPeakResident();

constexpr int sourceLineCount = 1000000;

// 1,000,000 lines of about 40 bytes of C, each holding the word "counter" once: 40 MB. Line i
// is printf("    sum += counter * %7d; /* s%05d */\n", i, i % 100000).
const std::string &sourceText();

// The generated text as a file, written once per run and removed at exit.
const std::string &sourceFile();

// Writes `text` into a new temporary file in /tmp whose name begins with `prefix` and ends with
// `suffix`, removed at exit.
std::string temporaryFile(const char *prefix, const std::string &text, const char *suffix = "");

// The longest gap between two expiries of a timer of `periodMs`, from construction to now.
// With TSL_BENCH_GAPS set, each gap over one and a half periods (or over the milliseconds it gives)
// is printed with the time it ended.
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
            if (traceGaps && now - last > std::max(periodMs * 3 / 2, atoi(getenv("TSL_BENCH_GAPS"))))
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
