// Keystrokes in a large file: the main window with a C file of 40 or 160 MB loaded as the user
// opens it (line numbers and highlighting on), and keys typed at the start, the middle and the end
// of the text, the first key after the load included. Each key is timed from the moment it reaches
// the pane until the pane has repainted it; before the first key at each place the program is left
// idle as long as a user takes to start typing after a jump. Optionally 200,000 lines carry margin marks.
// The same keys in a 100 KB file of the same text are the baseline.
//
// state.range(0): megabytes of text; state.range(1): 1 with the marks. Counters: worst_key_ms
// (the slowest key, the first ones included), first_key_ms (the slowest of the first keys at the
// three places), worst_key_processor_ms (the most processor time a key took: what a busy machine
// adds to the times is waiting), small_file_worst_key_ms (the baseline). Each run wants a process of its own:
//   xvfb-run -a build/bench/tsl_bench --benchmark_filter='Keystrokes/160/1'
// With TSL_BENCH_KEYS set every key is printed with its time and the processor time it took; with
// TSL_BENCH_KEYS_TXT the file is named .txt, so that it is not highlighted.
#include "benchsupport.h"
#include "documents/document.h"
#include "frame/mainframe.h"
#include "shell/startup.h"
#include "toolkit/textmarks.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <unistd.h>

namespace {

// How long a user takes from a jump to the first key, and between two keys.
constexpr int pauseBeforeTyping = 400;
constexpr int pauseBetweenKeys = 60;

// At least `bytes` of the benchmarks' C text (lines of about 40 bytes) as a file in /tmp, made
// once per size.
std::string cFileOf(long bytes)
{
    static std::map<long, std::string> made;
    std::string &path = made[bytes];
    if (!path.empty())
        return path;
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes) + 64);
    char line[64];
    for (long i = 0; static_cast<long>(text.size()) < bytes; ++i) {
        std::snprintf(line, sizeof line, "    sum += counter * %7ld; /* s%05ld */\n", i, i % 100000);
        text += line;
    }
    path = temporaryFile("tsl-bench-keys-", text, getenv("TSL_BENCH_KEYS_TXT") ? ".txt" : ".c");
    return path;
}

void runEventsFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Opens the file as "tsl file" does, with the window shown.
void openAsUser(const std::string &file)
{
    document.edited = true;
    openCommandLineFile(file.c_str());
    document.edited = false;
    QApplication::processEvents();
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// One key typed into the pane: milliseconds from the key to the end of the pane's repaint. With
// TSL_BENCH_KEYS set, each key's time and the processor time it took are printed.
double typeKey(int key, const QString &text, const char *place, double *processorMs)
{
    QElapsedTimer clock;
    double ms = -1, cpuAtPaint = 0;
    afterEvent = [&](QObject *receiver, QEvent *event) {
        if (ms < 0 && receiver == textPane->viewport() && event->type() == QEvent::Paint) {
            ms = clock.nsecsElapsed() / 1e6;
            cpuAtPaint = threadCpuMs();
        }
    };
    const double cpuBefore = threadCpuMs();
    clock.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(textPane, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(textPane, &release);
    while (ms < 0 && clock.elapsed() < 5000)
        QApplication::processEvents();
    afterEvent = nullptr;
    if (ms < 0) {
        ms = clock.nsecsElapsed() / 1e6;
        cpuAtPaint = threadCpuMs();
    }
    *processorMs = cpuAtPaint - cpuBefore;
    if (getenv("TSL_BENCH_KEYS"))
        fprintf(stderr, "%-6s key %-6s %8.2f ms (processor %8.2f ms)\n", place,
                text == QLatin1String("\r") ? "Return" : text.toLatin1().constData(), ms, cpuAtPaint - cpuBefore);
    return ms;
}

struct Typing {
    double worst = 0;
    double worstFirst = 0;
    double worstProcessor = 0;
};

// At the start, the middle and the end: a jump there, a pause, then x, x, Return, x.
Typing typeAtThreePlaces()
{
    Typing typing;
    const char *const places[] = {"start", "middle", "end"};
    for (int place = 0; place < 3; ++place) {
        const long length = textsw_length(textPane);
        long at = place == 0 ? 0 : place == 2 ? length : length / 2;
        if (place == 1)
            at = textPane->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                         textPane->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, at));
        textsw_set_insertion_point(textPane, at);
        textsw_possibly_normalize(textPane, at);
        runEventsFor(pauseBeforeTyping);
        if (getenv("TSL_BENCH_KEYS"))
            fprintf(stderr, "%s: caret %ld, gap of the bytes at %ld, styling behind: %d\n", places[place], at,
                    static_cast<long>(textPane->SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION)),
                    textPane->stylingBehind());
        const std::pair<int, const char *> keys[] = {{Qt::Key_X, "x"}, {Qt::Key_X, "x"}, {Qt::Key_Return, "\r"}, {Qt::Key_X, "x"}};
        bool first = true;
        for (const auto &[key, text] : keys) {
            double processorMs = 0;
            const double ms = typeKey(key, QString::fromLatin1(text), places[place], &processorMs);
            typing.worst = std::max(typing.worst, ms);
            typing.worstProcessor = std::max(typing.worstProcessor, processorMs);
            if (first)
                typing.worstFirst = std::max(typing.worstFirst, ms);
            first = false;
            runEventsFor(pauseBetweenKeys);
        }
    }
    return typing;
}

void addMarks(long count)
{
    const long lines = textPane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    for (long i = 0; i < count; ++i)
        textsw_add_mark(textPane, i * (lines - 1) / count, i % 3 ? TEXTSW_MARK_ERROR : TEXTSW_MARK_WARNING);
}

void BM_Keystrokes(benchmark::State &state)
{
    const long bytes = state.range(0) * 1024 * 1024;
    const bool marks = state.range(1) != 0;
    const std::string big = cFileOf(bytes), small = cFileOf(100 * 1024);
    ensureMainWindow();
    mainFrame->show();
    runEventsFor(300);
    Typing large, baseline;
    for (auto _ : state) {
        openAsUser(small);
        if (marks)
            addMarks(2000);
        baseline = typeAtThreePlaces();
        openAsUser(big);
        const long loaded = textsw_length(textPane);
        if (marks)
            addMarks(200000);
        large = typeAtThreePlaces();
        // Nine letters and three line ends (each with the indent of the line above).
        if (loaded < bytes || textsw_length(textPane) < loaded + 12)
            state.SkipWithError("the file did not load, or keys went missing");
    }
    state.counters["worst_key_ms"] = large.worst;
    state.counters["first_key_ms"] = large.worstFirst;
    state.counters["worst_key_processor_ms"] = large.worstProcessor;
    state.counters["small_file_worst_key_ms"] = baseline.worst;
}

} // namespace

BENCHMARK(BM_Keystrokes)
    ->Args({40, 0})
    ->Args({40, 1})
    ->Args({160, 0})
    ->Args({160, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
