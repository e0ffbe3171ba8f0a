// `seq 1 2000000` typed into the terminal of the real main window, with the recognition of compiler
// messages in the terminal's output on and off, in alternating rounds of one run: reports the
// median time of each and their ratio (on / off; the baseline is off). Run under a virtual
// display: xvfb-run -a build/bench/tsl_bench --benchmark_filter=TerminalSeq
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
#include <unistd.h>
#include <vector>

namespace {

constexpr int roundsEach = 5;

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

// Seconds from typing `command` until its output has all reached the terminal; -1 when it did
// not end within a minute.
double timeCommand(const std::string &command, const std::string &marker)
{
    unlink(marker.c_str());
    const std::string line = command + "; : > " + marker + "\n";
    QElapsedTimer clock;
    clock.start();
    ttysw_input(terminalPane, line.data(), static_cast<int>(line.size()));
    while (!exists(marker) || !terminalDrained()) {
        if (clock.elapsed() > 60000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // What was read last is taken by the terminal in this turn of the loop.
    QCoreApplication::processEvents();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
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
    std::vector<double> on, off;
    for (auto _ : state) {
        for (int round = 0; round < 2 * roundsEach; ++round) {
            // on, off, off, on, on, off, ...: neither comes always first
            const bool recognising = (round % 4 == 0 || round % 4 == 3);
            setTerminalMessagesOn(recognising);
            const double seconds = timeCommand("seq 1 2000000", marker);
            if (seconds < 0) {
                state.SkipWithError("seq did not end within a minute");
                break;
            }
            (recognising ? on : off).push_back(seconds);
        }
    }
    setTerminalMessagesOn(true);
    unlink(marker.c_str());
    unlink((directory + "/prog.c").c_str());
    rmdir(directory.c_str());
    if (on.empty() || off.empty())
        return;
    const double ratio = median(on) / median(off);
    state.counters["on_s"] = median(on);
    state.counters["off_s"] = median(off);
    state.counters["ratio"] = ratio;
    printf("terminal seq 1 2000000, recognition on: %.3f s (median of %d), baseline off: %.3f s, ratio %.3f\n",
           median(on), roundsEach, median(off), ratio);
}

} // namespace

BENCHMARK(BM_TerminalSeq)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
