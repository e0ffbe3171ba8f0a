// Highlighting of a 40 MB C file in an editor pane (line numbers and highlighting on, as the main
// pane has them): loading and showing it with its lexer, next to the same bytes under a name that
// chooses no lexer; and the longest time the window goes unanswered while the view jumps to the
// end of the file and back, as Ctrl+End and Ctrl+Home do, with the memory held then.
//
// The file is TSL_BENCH_SOURCE when set (bench/highlighting.sh passes the file of
// bench/startup.sh), else the benchmarks' own 40 MB text. Memory figures are the growth of the
// process's peak resident size over the file's size: run each benchmark in a process of its own
// for them (bench/highlighting.sh does).
#include "benchsupport.h"
#include "toolkit/textpane.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Sci = QsciScintillaBase;

// The file as C source, and the same bytes under a plain name (a symbolic link).
const std::string &cFile()
{
    static const std::string name = [] {
        if (const char *given = getenv("TSL_BENCH_SOURCE"))
            return std::string(given);
        const std::string path = sourceFile() + ".c";
        if (symlink(sourceFile().c_str(), path.c_str()) != 0)
            std::abort();
        static const std::string *removed = new std::string(path);
        std::atexit([] { unlink(removed->c_str()); });
        return path;
    }();
    return name;
}

const std::string &plainFile()
{
    static const std::string name = [] {
        const std::string path = "/tmp/tsl-bench-plain-" + std::to_string(getpid()) + ".txt";
        char real[4096];
        if (!realpath(cFile().c_str(), real) || symlink(real, path.c_str()) != 0)
            std::abort();
        static const std::string *removed = new std::string(path);
        std::atexit([] { unlink(removed->c_str()); });
        return path;
    }();
    return name;
}

long fileSize(const std::string &name)
{
    struct stat st;
    return stat(name.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 1;
}

long peakResident()
{
    return processSize("VmHWM:");
}

std::unique_ptr<TextPane> editorPane()
{
    auto pane = std::make_unique<TextPane>();
    textsw_set_line_numbers(pane.get(), true);
    textsw_set_highlighting(pane.get(), true);
    pane->resize(900, 700);
    pane->show();
    QApplication::processEvents();
    return pane;
}

// Peak memory is measured by the first run of a benchmark in its process.
void loadAndShow(benchmark::State &state, const std::string &file, double &bytesPerByte)
{
    ensureApplication();
    long before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = editorPane();
        before = peakResident();
        state.ResumeTiming();
        if (textsw_load_file(pane.get(), file, false) != 0)
            state.SkipWithError("load failed");
        pane->repaint();
        state.PauseTiming();
        if (bytesPerByte == 0)
            bytesPerByte = static_cast<double>(peakResident() - before) / fileSize(file);
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_byte"] = bytesPerByte;
}

void BM_LoadAndShow_Highlighted(benchmark::State &state)
{
    static double bytesPerByte = 0;
    loadAndShow(state, cFile(), bytesPerByte);
}

void BM_LoadAndShow_NoLexer(benchmark::State &state)
{
    static double bytesPerByte = 0;
    loadAndShow(state, plainFile(), bytesPerByte);
}

// Processes events for `ms` milliseconds, or until `done` holds when it is given.
template <typename Done>
void runEvents(int ms, Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !done())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Jumps to the end, waits until the whole text is styled, jumps back to the top.
void BM_JumpToEndAndBack_Highlighted(benchmark::State &state)
{
    ensureApplication();
    const std::string &file = cFile();
    qint64 worst = 0;
    double stylingMs = 0;
    static double bytesPerByte = 0;
    static double residentPerByte = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = editorPane();
        const long before = peakResident();
        const long residentBefore = processSize("VmRSS:");
        if (textsw_load_file(pane.get(), file, false) != 0)
            state.SkipWithError("load failed");
        pane->repaint();
        runEvents(200, [] { return false; });
        state.ResumeTiming();

        GapWatch watch(5);
        QElapsedTimer styling;
        styling.start();
        QTimer::singleShot(0, [&] { pane->SendScintilla(Sci::SCI_DOCUMENTEND); });
        runEvents(60000, [&] {
            return pane->SendScintilla(Sci::SCI_GETENDSTYLED) >= textsw_length(pane.get()) && !pane->stylingBehind();
        });
        stylingMs = static_cast<double>(styling.elapsed());
        QTimer::singleShot(0, [&] { pane->SendScintilla(Sci::SCI_DOCUMENTSTART); });
        runEvents(300, [] { return false; });
        worst = std::max(worst, watch.worstGap());

        state.PauseTiming();
        if (bytesPerByte == 0) {
            bytesPerByte = static_cast<double>(peakResident() - before) / fileSize(file);
            residentPerByte = static_cast<double>(processSize("VmRSS:") - residentBefore) / fileSize(file);
        }
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["resident_bytes_per_byte"] = residentPerByte;
    state.counters["longest_gap_ms"] = static_cast<double>(worst);
    state.counters["styled_to_end_ms"] = stylingMs;
    state.counters["peak_bytes_per_byte"] = bytesPerByte;
}

} // namespace

BENCHMARK(BM_LoadAndShow_Highlighted)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_LoadAndShow_NoLexer)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_JumpToEndAndBack_Highlighted)->Unit(benchmark::kMillisecond)->Iterations(1)
    ->UseRealTime();
