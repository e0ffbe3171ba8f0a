// A compile whose compiler writes 100 MB of gcc-like lines, captured into the results pane of the
// real main window, against a bare loop that only reads the same pipe, 64 KiB at a time; the same
// 100 MB with the colour sequences of gcc in every line. Reports MB/s (of the output without the
// sequences), the longest gap between two expiries of a 5 ms timer while the output arrives (how
// long the window was kept from answering), and the peak of resident memory per byte of output.
// Run under a virtual display: xvfb-run -a build/bench/tsl_bench --benchmark_filter=CompileOutput
#include "compiler/compilerprocess.h"
#include "compiler/compilestate.h"
#include "compiler/compiling.h"
#include "compiler/errornavigation.h"
#include "compiler/errorparser.h"
#include "config/configuration.h"
#include "toolkit/outputtext.h"

#include "benchsupport.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <string>
#include <unistd.h>

namespace {

// The working directory of the benchmark, with the source file prog.c.
const std::string &workDirectory()
{
    static const std::string path = [] {
        char name[] = "/tmp/tslbench.XXXXXX";
        std::string dir = mkdtemp(name) ? name : "/tmp";
        FILE *out = fopen((dir + "/prog.c").c_str(), "wb");
        fputs("int x;\n", out);
        fclose(out);
        // Kept past the static strings' destruction, which runs before this handler.
        static const std::string *removed = new std::string(dir);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*removed, ignored);
        });
        return dir;
    }();
    return path;
}

// Writes `bytes` of gcc-like lines into output-<bytes>.txt in the working directory; returns its name.
// With `coloured` every line carries the colour sequences of gcc -fdiagnostics-color=always
// (output-<bytes>-coloured.txt), and without them it is the same text.
std::string outputFile(long bytes, bool coloured = false)
{
    const std::string name = "output-" + std::to_string(bytes) + (coloured ? "-coloured" : "") + ".txt";
    const std::string path = workDirectory() + "/" + name;
    if (access(path.c_str(), F_OK) == 0)
        return name;
    std::string text, plain;
    text.reserve(static_cast<size_t>(bytes) * (coloured ? 2 : 1) + 256);
    const std::string bold = coloured ? "\x1b[01m\x1b[K" : "", red = coloured ? "\x1b[01;31m\x1b[K" : "",
                      reset = coloured ? "\x1b[m\x1b[K" : "";
    for (long i = 0; static_cast<long>(plain.size()) < bytes; ++i) {
        const std::string number = std::to_string(i % 5000 + 1);
        const std::string message = "prog.c:" + number + ":13: error: \xE2\x80\x98value\xE2\x80\x99 undeclared (first use in this function)\n";
        const std::string source = "    " + number + " |     int x = value;\n";
        if (static_cast<long>(plain.size() + message.size() + source.size()) > bytes) {
            // The last lines, cut at the size, without colours.
            const std::string rest = (message + source).substr(0, static_cast<size_t>(bytes) - plain.size());
            text += rest;
            plain += rest;
            break;
        }
        plain += message;
        plain += source;
        text += bold + "prog.c:" + number + ":13:" + reset + " " + red + "error: " + reset + "\xE2\x80\x98" + bold +
                "value" + reset + "\xE2\x80\x99 undeclared (first use in this function)\n";
        text += "    " + number + " |     int x = " + red + "value" + reset + ";\n";
    }
    FILE *out = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
    return name;
}

// The real main window with the shipped configuration and prog.c loaded, made once.
void ensureMainWindowOnProgram()
{
    if (chdir(workDirectory().c_str()) != 0)
        perror("chdir");
    ensureMainWindow("prog.c");
}

// state.range(0): megabytes of output (without colour sequences); state.range(1): 1 when every
// line is coloured.
void BM_CompileOutputIntoResultsPane(benchmark::State &state)
{
    const long outputBytes = state.range(0) * 1024 * 1024;
    ensureMainWindowOnProgram();
    // "cat" stands in for a compiler: it writes the output into the pipe as fast as it can.
    snprintf(configurationTable[currentConfiguration].compilerCall, 4096, "cat %s",
             outputFile(outputBytes, state.range(1) != 0).c_str());
    qint64 worst = 0;
    double peakPerByte = 0;
    for (auto _ : state) {
        resetPeakResident();
        const long before = processSize("VmRSS:");
        // A timer of 5 ms: the gap between two of its expiries is at most 5 ms more than the
        // longest the event loop was held (one of 50 ms would never report less than 50).
        GapWatch watch(5);
        startCompile();
        while (compileRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worst = std::max(worst, watch.worstGap());
        state.PauseTiming();
        peakPerByte = std::max(peakPerByte, static_cast<double>(processSize("VmHWM:") - before) / outputBytes);
        if (!compilerOutput || static_cast<long>(compilerOutput->size()) != outputBytes + 4)
            state.SkipWithError("the output did not arrive whole");
        closeResults();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * outputBytes);
    state.counters["worst_gap_ms"] = static_cast<double>(worst);
    state.counters["peak_memory_per_byte"] = peakPerByte;
}

// The same child and pipe, read in 64 KiB pieces by a plain poll loop that keeps nothing; with
// state.range(1), straight into fresh memory that it keeps (2 MB pages asked for, as the results
// pane's arrays do): what any program that keeps the output pays for its memory, whatever else
// it does.
void BM_CompileOutputBarePipeLoop(benchmark::State &state)
{
    const long outputBytes = state.range(0) * 1024 * 1024;
    const bool keep = state.range(1) != 0;
    const std::string file = outputFile(outputBytes);
    if (chdir(workDirectory().c_str()) != 0)
        perror("chdir");
    static char buffer[65536];
    for (auto _ : state) {
        const std::size_t room = keep ? static_cast<std::size_t>(outputBytes) + sizeof buffer : 0;
        void *kept = keep ? mmap(nullptr, room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) : nullptr;
        if (kept == MAP_FAILED) {
            state.SkipWithError("no memory");
            break;
        }
        if (keep)
            madvise(kept, room, MADV_HUGEPAGE);
        CompilerProcess process;
        process.start({"cat", file});
        std::size_t total = 0;
        for (;;) {
            pollfd readable{process.outputDescriptor(), POLLIN, 0};
            poll(&readable, 1, -1);
            char *into = keep ? static_cast<char *>(kept) + total : buffer;
            const std::size_t piece = keep ? std::min(sizeof buffer, room - total) : sizeof buffer;
            const ssize_t n = read(process.outputDescriptor(), into, piece);
            if (n == 0 || piece == 0)
                break;
            total += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        benchmark::DoNotOptimize(total);
        waitpid(process.processId(), nullptr, 0);
        process.closeOutput();
        if (keep)
            munmap(kept, room);
    }
    state.SetBytesProcessed(state.iterations() * outputBytes);
}

// The steps of a capture without pipe or window, each alone: the same 100 MB (state.range(0): 1
// with colour sequences) handed in pieces of state.range(1) bytes to an OutputText (keeping,
// indexing the lines and taking out the sequences), and with state.range(2) also to the error
// parser as the compile does after each read. Tells which step bounds the capture.
void BM_CompileOutputSteps(benchmark::State &state)
{
    const long outputBytes = 100L * 1024 * 1024;
    const std::string path = workDirectory() + "/" + outputFile(outputBytes, state.range(0) != 0);
    const std::size_t piece = static_cast<std::size_t>(state.range(1));
    const bool parse = state.range(2) != 0;
    std::string bytes;
    if (FILE *in = fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, in)) > 0;)
            bytes.append(buffer, n);
        fclose(in);
    }
    long entries = 0;
    for (auto _ : state) {
        OutputText text;
        IncrementalErrorParser parser("*#:%", "prog.c", {});
        for (size_t at = 0; at < bytes.size(); at += piece) {
            text.appendProgramOutput(bytes.data() + at, std::min(piece, bytes.size() - at));
            if (parse)
                parser.parseArrived(text.text());
        }
        if (parse)
            entries = static_cast<long>(parser.finish(text.text()).size());
        if (static_cast<long>(text.size()) != outputBytes)
            state.SkipWithError("the text is not the output without its sequences");
    }
    state.SetBytesProcessed(state.iterations() * outputBytes);
    state.counters["entries"] = static_cast<double>(entries);
}

} // namespace

BENCHMARK(BM_CompileOutputSteps)
    ->Args({0, 1024, 0})
    ->Args({0, 65536, 0})
    ->Args({1, 65536, 0})
    ->Args({0, 65536, 1})
    ->Args({1, 65536, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_CompileOutputIntoResultsPane)
    ->Args({10, 0})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({159, 0}) // as many bytes through the pipe as the coloured 100 MB
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_CompileOutputBarePipeLoop)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
