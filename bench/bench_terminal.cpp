// `seq 1 2000000` typed into the terminal of the real main window, with the recognition of compiler
// messages in the terminal's output on and off, in alternating rounds of one run: reports the
// median time of each and their ratio (on / off; the baseline is off), both as the time the user
// waits and as the processor time of the program itself (which other programs on a busy machine
// do not change). Run under a virtual display:
// xvfb-run -a build/bench/tsl_bench --benchmark_filter=TerminalSeq
#include "compiler/terminalmessages.h"
#include "frame/mainframe.h"
#include "toolkit/terminalpane.h"

#include "benchsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int roundsEach = 9;

struct Times {
    double wall = -1; // seconds
    double processor = 0; // seconds of this process, user and system
};

double processorSeconds()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool exists(const std::string &path)
{
    return access(path.c_str(), F_OK) == 0;
}

// Whether the shell's output waiting for the terminal has all been taken.
bool terminalDrained()
{
    int waiting = 0;
    return terminalPane->masterFd() < 0 || (ioctl(terminalPane->masterFd(), FIONREAD, &waiting) == 0 && waiting == 0);
}

// The time from typing `command` until its output has all reached the terminal; a wall time of -1
// when it did not end within a minute.
Times timeCommand(const std::string &command, const std::string &marker)
{
    unlink(marker.c_str());
    const std::string line = command + "; : > " + marker + "\n";
    Times times;
    const double processorBefore = processorSeconds();
    QElapsedTimer clock;
    clock.start();
    ttysw_input(terminalPane, line.data(), static_cast<int>(line.size()));
    while (!exists(marker) || !terminalDrained()) {
        if (clock.elapsed() > 60000)
            return times;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // What was read last is taken by the terminal in this turn of the loop.
    QCoreApplication::processEvents();
    times.wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    times.processor = processorSeconds() - processorBefore;
    return times;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_TerminalSeq(benchmark::State &state)
{
    char name[] = "/tmp/tslbench-terminal.XXXXXX";
    const std::string directory = mkdtemp(name) ? name : "/tmp";
    if (chdir(directory.c_str()) != 0)
        perror("chdir");
    {
        FILE *source = fopen("prog.c", "wb");
        fputs("int main(void) { return 0; }\n", source);
        fclose(source);
    }
    ensureMainWindow("prog.c");
    const std::string marker = directory + "/seq-done";
    // The shell starts and draws its prompt first.
    timeCommand("true", marker);
    std::vector<double> on, off, processorOn, processorOff;
    for (auto _ : state) {
        for (int round = 0; round < 2 * roundsEach; ++round) {
            // on, off, off, on, on, off, ...: neither comes always first
            const bool recognising = (round % 4 == 0 || round % 4 == 3);
            setTerminalMessagesOn(recognising);
            const Times times = timeCommand("seq 1 2000000", marker);
            if (times.wall < 0) {
                state.SkipWithError("seq did not end within a minute");
                break;
            }
            (recognising ? on : off).push_back(times.wall);
            (recognising ? processorOn : processorOff).push_back(times.processor);
        }
    }
    setTerminalMessagesOn(true);
    unlink(marker.c_str());
    unlink((directory + "/prog.c").c_str());
    rmdir(directory.c_str());
    if (on.empty() || off.empty())
        return;
    const double ratio = median(on) / median(off);
    const double processorRatio = median(processorOn) / median(processorOff);
    state.counters["on_s"] = median(on);
    state.counters["off_s"] = median(off);
    state.counters["ratio"] = ratio;
    state.counters["cpu_on_s"] = median(processorOn);
    state.counters["cpu_off_s"] = median(processorOff);
    state.counters["cpu_ratio"] = processorRatio;
    // On standard error: standard output may be the JSON report.
    fprintf(stderr, "terminal seq 1 2000000 (medians of %d rounds each), recognition on: %.3f s, baseline off: %.3f s, "
           "ratio %.3f; processor time of tsl, on: %.3f s, baseline off: %.3f s, ratio %.3f\n",
           roundsEach, median(on), median(off), ratio, median(processorOn), median(processorOff), processorRatio);
}

} // namespace

BENCHMARK(BM_TerminalSeq)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
