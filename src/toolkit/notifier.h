#pragma once
// The notifier: file-descriptor input handlers, child-process handlers and interval timers, all
// delivered by the one Qt event loop of the program. The calls keep the names and the shape of the
// classic notifier interface; clients are identified by any address of the caller's choice.
//
// Handlers are plain functions. Registering a handler for a key that already has one replaces it;
// every setter returns the handler that was registered before (null when there was none). A
// handler may register and remove handlers, its own included, while it runs.

#include <sys/resource.h>
#include <sys/time.h>

using NotifyClient = const void *;

enum NotifyValue { NOTIFY_DONE = 0, NOTIFY_IGNORED = 1, NOTIFY_UNEXPECTED = 2 };

// Called while `fd` is readable (or at its end of file), under the (client, fd) key.
using NotifyInputFunc = NotifyValue (*)(NotifyClient client, int fd);

// Called while `fd` can take output without blocking (always, for a regular file), under the
// (client, fd) key.
using NotifyOutputFunc = NotifyValue (*)(NotifyClient client, int fd);

// Called when the registered child changes state: `status` is the raw status word of waitpid (low
// byte: the terminating signal, or 0x7f for a stopped child; second byte: the exit code or the
// stop signal). `usage` is the child's resource usage when it has ended, else zeroed.
using NotifyWaitFunc = NotifyValue (*)(NotifyClient client, int pid, int status, const struct rusage *usage);

// Called at each expiry of the (client, which) timer.
using NotifyTimerFunc = NotifyValue (*)(NotifyClient client, int which);

// Registers `func` for input on `fd` under `client`; null removes the (client, fd) handler.
NotifyInputFunc notify_set_input_func(NotifyClient client, NotifyInputFunc func, int fd);

// Registers `func` for output on `fd` under `client`; null removes the (client, fd) handler.
NotifyOutputFunc notify_set_output_func(NotifyClient client, NotifyOutputFunc func, int fd);

// Registers `func` for state changes of the child `pid` (which must be this process's child);
// null removes it. A stopped child is reported and stays registered; a child that has exited or
// was killed is reported once and then forgotten (the notifier has reaped it). A child that ended
// before it was registered is reported at the next dispatch. Before an end is reported, the input
// handlers registered under the same client run for as long as their descriptors have data waiting,
// so a child's output is delivered before its end.
NotifyWaitFunc notify_set_wait3_func(NotifyClient client, NotifyWaitFunc func, int pid);

// Starts the (client, which) timer: first expiry after value->it_value, then every
// value->it_interval (once only when the interval is zero). Null `func`, a null `value` or a zero
// it_value stops it. `which` is a key only (ITIMER_REAL in practice); all timers run on real time.
// When `old` is given it receives the settings of the timer that was replaced (zero when none).
NotifyTimerFunc notify_set_itimer_func(NotifyClient client, NotifyTimerFunc func, int which,
                                       const struct itimerval *value, struct itimerval *old);

// Delivers everything pending (input, child ends, due timers, posted events) and returns.
// Returns 0.
int notify_dispatch();

// Number of registered handlers of each kind, for checks in tests.
int notifyInputHandlerCount();
int notifyOutputHandlerCount();
int notifyWaitHandlerCount();
int notifyTimerCount();
