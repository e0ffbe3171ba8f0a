// The one line printed when a signal ends the program.
#include "shell/fatalsignals.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS, SIGTERM,
                                SIGHUP,  SIGINT, SIGQUIT, SIGXCPU, SIGXFSZ};
constexpr int signalSlots = 65;

struct sigaction previousActions[signalSlots];
// Built before any signal comes: nothing in the handler may allocate.
char lines[signalSlots][128];

void onFatalSignal(int signal, siginfo_t *info, void *)
{
    if (signal > 0 && signal < signalSlots) {
        const char *line = lines[signal];
        ssize_t ignored = write(STDERR_FILENO, line, strlen(line));
        (void)ignored;
        // The handler that was there before (the default, or a sanitizer's) deals with it now.
        sigaction(signal, &previousActions[signal], nullptr);
    }
    // A signal sent by a process (kill, raise, abort) is sent again; a fault recurs by itself
    // when the faulting instruction runs again.
    if (!info || info->si_code <= 0)
        raise(signal);
}

} // namespace

const char *fatalSignalLine(int signal)
{
    if (signal <= 0 || signal >= signalSlots)
        return "";
    char *line = lines[signal];
    if (!line[0]) {
        const char *abbreviation = sigabbrev_np(signal);
        const char *description = sigdescr_np(signal);
        snprintf(line, sizeof lines[signal], "tsl: ended by signal SIG%s (%s)\n", abbreviation ? abbreviation : "?",
                 description ? description : "unknown signal");
    }
    return line;
}

void reportFatalSignals()
{
    for (const int signal : fatalSignals) {
        fatalSignalLine(signal);
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_sigaction = onFatalSignal;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        struct sigaction previous;
        if (sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        previousActions[signal] = previous;
        sigaction(signal, &action, nullptr);
    }
}
