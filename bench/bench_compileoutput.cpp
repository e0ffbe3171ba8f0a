// A compile whose compiler writes 100 MB of gcc-like lines, captured into the results pane of the
// real main window, against a bare loop that only reads the same pipe. Reports MB/s and the
// longest gap between two expiries of a 50 ms timer while the output arrives (how long the window
// was kept from answering). Run under a virtual display: xvfb-run -a build/bench/tsl_bench
// --benchmark_filter=CompileOutput
#include "benchsupport.h"
#include "compiler/compilerprocess.h"
#include "compiler/compilestate.h"
#include "compiler/errornavigation.h"
#include "compiler/resultswindow.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "shell/operations.h"
#include "shell/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
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
std::string outputFile(long bytes)
{
    const std::string name = "output-" + std::to_string(bytes) + ".txt";
    const std::string path = workDirectory() + "/" + name;
    if (access(path.c_str(), F_OK) == 0)
        return name;
    std::string text;
    text.reserve(static_cast<size_t>(bytes) + 256);
    for (long i = 0; static_cast<long>(text.size()) < bytes; ++i) {
        text += "prog.c:" + std::to_string(i % 5000 + 1) +
                ":13: error: \xE2\x80\x98value\xE2\x80\x99 undeclared (first use in this function)\n";
        text += "    " + std::to_string(i % 5000 + 1) + " |     int x = value;\n";
    }
    text.resize(static_cast<size_t>(bytes));
    FILE *out = fopen(path.c_str(), "wb");
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
    return name;
}

// The real main window with the shipped configuration and prog.c loaded, made once.
void ensureMainWindow()
{
    static bool built = false;
    if (built)
        return;
    built = true;
    static int argc = 1;
    static char name[] = "tsl_bench";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    if (chdir(workDirectory().c_str()) != 0)
        perror("chdir");
    FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r");
    readConfigurationFrom(file);
    fclose(file);
    buildMainWindow("prog.c");
}

// state.range(0): megabytes of output.
void BM_CompileOutputIntoResultsPane(benchmark::State &state)
{
    const long outputBytes = state.range(0) * 1024 * 1024;
    ensureMainWindow();
    // "cat" stands in for a compiler: it writes the output into the pipe as fast as it can.
    snprintf(configurationTable[currentConfiguration].compilerCall, 4096, "cat %s", outputFile(outputBytes).c_str());
    qint64 worst = 0;
    for (auto _ : state) {
        GapWatch watch;
        startCompile();
        while (compileRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worst = std::max(worst, watch.worstGap());
        state.PauseTiming();
        if (!compilerOutput || static_cast<long>(compilerOutput->size()) != outputBytes + 4)
            state.SkipWithError("the output did not arrive whole");
        closeResults();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * outputBytes);
    state.counters["worst_gap_ms"] = static_cast<double>(worst);
}

// The same child and pipe, read in 1024-byte pieces by a plain poll loop that keeps nothing.
void BM_CompileOutputBarePipeLoop(benchmark::State &state)
{
    const long outputBytes = state.range(0) * 1024 * 1024;
    const std::string file = outputFile(outputBytes);
    if (chdir(workDirectory().c_str()) != 0)
        perror("chdir");
    for (auto _ : state) {
        CompilerProcess process;
        process.start({"cat", file});
        char buffer[1024];
        long total = 0;
        for (;;) {
            pollfd readable{process.outputDescriptor(), POLLIN, 0};
            poll(&readable, 1, -1);
            const ssize_t n = read(process.outputDescriptor(), buffer, sizeof buffer);
            if (n == 0)
                break;
            total += n > 0 ? n : 0;
        }
        benchmark::DoNotOptimize(total);
        waitpid(process.processId(), nullptr, 0);
        process.closeOutput();
    }
    state.SetBytesProcessed(state.iterations() * outputBytes);
}

} // namespace

BENCHMARK(BM_CompileOutputIntoResultsPane)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_CompileOutputBarePipeLoop)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
