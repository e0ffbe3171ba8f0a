#include "toolkit/notifier.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Key = std::pair<NotifyClient, int>;

struct InputHandler {
    NotifyInputFunc func = nullptr;
    QSocketNotifier *notifier = nullptr;
};

struct WaitHandler {
    NotifyClient client = nullptr;
    NotifyWaitFunc func = nullptr;
};

struct TimerEntry {
    NotifyTimerFunc func = nullptr;
    QTimer *timer = nullptr;
    struct itimerval setting {};
};

// Lives until the process ends: the handlers hold Qt objects that must not be destroyed after the
// application object.
struct NotifierState {
    std::map<Key, InputHandler> inputs;
    std::map<Key, InputHandler> outputs;
    std::map<int, WaitHandler> children;
    std::map<Key, TimerEntry> timers;
    QSocketNotifier *childPipeNotifier = nullptr;
};

NotifierState &state()
{
    static NotifierState *s = new NotifierState;
    return *s;
}

// ---- SIGCHLD self-pipe -------------------------------------------------------------------

int childPipe[2] = {-1, -1};
struct sigaction previousChildAction;

void onChildSignal(int signal, siginfo_t *info, void *context)
{
    int savedErrno = errno;
    if (childPipe[1] >= 0) {
        char mark = 'c';
        ssize_t ignored = write(childPipe[1], &mark, 1);
        (void)ignored;
    }
    // Other users of SIGCHLD in the process (Qt's own process handling) keep working.
    if (previousChildAction.sa_flags & SA_SIGINFO) {
        if (previousChildAction.sa_sigaction)
            previousChildAction.sa_sigaction(signal, info, context);
    } else if (previousChildAction.sa_handler != SIG_DFL && previousChildAction.sa_handler != SIG_IGN) {
        previousChildAction.sa_handler(signal);
    }
    errno = savedErrno;
}

void checkChildren();

void installChildSignal()
{
    if (childPipe[0] >= 0)
        return;
    if (pipe2(childPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        qWarning("notifier: cannot create the child signal pipe: %s", strerror(errno));
        childPipe[0] = childPipe[1] = -1;
        return;
    }
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = onChildSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGCHLD, &action, &previousChildAction);

    state().childPipeNotifier = new QSocketNotifier(childPipe[0], QSocketNotifier::Read);
    QObject::connect(state().childPipeNotifier, &QSocketNotifier::activated, [] { checkChildren(); });
}

void wakeChildCheck()
{
    if (childPipe[1] >= 0) {
        char mark = 'r';
        ssize_t ignored = write(childPipe[1], &mark, 1);
        (void)ignored;
    }
}

bool hasData(int fd)
{
    struct pollfd probe = {fd, POLLIN, 0};
    return poll(&probe, 1, 0) > 0 && (probe.revents & POLLIN);
}

// Runs the input handlers of `client` while their descriptors have data waiting (a bounded number
// of times, for a handler that leaves data unread), so a child's output is delivered before its end.
void deliverPendingInput(NotifyClient client)
{
    std::vector<Key> keys;
    for (const auto &entry : state().inputs)
        if (entry.first.first == client)
            keys.push_back(entry.first);
    for (const Key &key : keys) {
        for (int round = 0; round < 4096 && hasData(key.second); ++round) {
            auto it = state().inputs.find(key);
            if (it == state().inputs.end())
                break;
            it->second.func(key.first, key.second);
        }
    }
}

void checkChildren()
{
    char drain[256];
    while (childPipe[0] >= 0 && read(childPipe[0], drain, sizeof drain) > 0) {
    }
    std::vector<int> pids;
    for (const auto &entry : state().children)
        pids.push_back(entry.first);
    for (int pid : pids) {
        if (state().children.find(pid) == state().children.end())
            continue;
        int status = 0;
        struct rusage usage;
        memset(&usage, 0, sizeof usage);
        pid_t result;
        do {
            result = wait4(pid, &status, WNOHANG | WUNTRACED, &usage);
        } while (result < 0 && errno == EINTR);
        if (result == 0)
            continue;
        auto it = state().children.find(pid);
        if (result < 0) {
            qWarning("notifier: process %d is not a child of this process; its handler is removed", pid);
            state().children.erase(it);
            continue;
        }
        WaitHandler handler = it->second;
        if (WIFSTOPPED(status)) {
            memset(&usage, 0, sizeof usage);
        } else {
            state().children.erase(it);
            deliverPendingInput(handler.client);
        }
        handler.func(handler.client, pid, status, &usage);
    }
}

// ---- timers -----------------------------------------------------------------------------

int toMilliseconds(const struct timeval &value)
{
    long long ms = static_cast<long long>(value.tv_sec) * 1000 + (value.tv_usec + 999) / 1000;
    if (ms > INT32_MAX)
        ms = INT32_MAX;
    return static_cast<int>(ms);
}

bool isZero(const struct timeval &value)
{
    return value.tv_sec == 0 && value.tv_usec == 0;
}

void onTimerExpired(Key key, QTimer *timer)
{
    auto it = state().timers.find(key);
    if (it == state().timers.end() || it->second.timer != timer)
        return;
    const struct timeval &interval = it->second.setting.it_interval;
    if (isZero(interval)) {
        NotifyTimerFunc func = it->second.func;
        it->second.timer->deleteLater();
        state().timers.erase(it);
        func(key.first, key.second);
        return;
    }
    if (timer->isSingleShot()) {
        timer->setSingleShot(false);
        timer->start(toMilliseconds(interval));
    }
    it->second.func(key.first, key.second);
}

} // namespace

namespace {

// Input and output handlers differ only in the readiness they wait for.
NotifyInputFunc setDescriptorFunc(std::map<Key, InputHandler> &handlers, QSocketNotifier::Type type,
                                  NotifyClient client, NotifyInputFunc func, int fd)
{
    Key key(client, fd);
    auto it = handlers.find(key);
    NotifyInputFunc previous = it == handlers.end() ? nullptr : it->second.func;
    if (!func) {
        if (it != handlers.end()) {
            it->second.notifier->setEnabled(false);
            it->second.notifier->deleteLater();
            handlers.erase(it);
        }
        return previous;
    }
    if (it != handlers.end()) {
        it->second.func = func;
        return previous;
    }
    InputHandler handler;
    handler.func = func;
    handler.notifier = new QSocketNotifier(fd, type);
    QSocketNotifier *notifier = handler.notifier;
    QObject::connect(notifier, &QSocketNotifier::activated, [&handlers, key, notifier] {
        auto found = handlers.find(key);
        if (found != handlers.end() && found->second.notifier == notifier)
            found->second.func(key.first, key.second);
    });
    handlers[key] = handler;
    return nullptr;
}

} // namespace

NotifyInputFunc notify_set_input_func(NotifyClient client, NotifyInputFunc func, int fd)
{
    return setDescriptorFunc(state().inputs, QSocketNotifier::Read, client, func, fd);
}

NotifyOutputFunc notify_set_output_func(NotifyClient client, NotifyOutputFunc func, int fd)
{
    return setDescriptorFunc(state().outputs, QSocketNotifier::Write, client, func, fd);
}

NotifyWaitFunc notify_set_wait3_func(NotifyClient client, NotifyWaitFunc func, int pid)
{
    installChildSignal();
    auto it = state().children.find(pid);
    NotifyWaitFunc previous = it == state().children.end() ? nullptr : it->second.func;
    if (!func) {
        if (it != state().children.end())
            state().children.erase(it);
        return previous;
    }
    state().children[pid] = WaitHandler{client, func};
    // The child may have changed state before it was registered: look at it on the next turn.
    wakeChildCheck();
    return previous;
}

NotifyTimerFunc notify_set_itimer_func(NotifyClient client, NotifyTimerFunc func, int which,
                                       const struct itimerval *value, struct itimerval *old)
{
    Key key(client, which);
    auto it = state().timers.find(key);
    NotifyTimerFunc previous = nullptr;
    if (old)
        memset(old, 0, sizeof *old);
    if (it != state().timers.end()) {
        previous = it->second.func;
        if (old)
            *old = it->second.setting;
        it->second.timer->stop();
        it->second.timer->deleteLater();
        state().timers.erase(it);
    }
    if (!func || !value || isZero(value->it_value))
        return previous;

    TimerEntry entry;
    entry.func = func;
    entry.setting = *value;
    entry.timer = new QTimer;
    entry.timer->setTimerType(Qt::PreciseTimer);
    entry.timer->setSingleShot(true);
    QTimer *timer = entry.timer;
    QObject::connect(timer, &QTimer::timeout, [key, timer] { onTimerExpired(key, timer); });
    timer->start(toMilliseconds(value->it_value));
    state().timers[key] = entry;
    return previous;
}

int notify_dispatch()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (childPipe[0] >= 0 && hasData(childPipe[0]))
        checkChildren();
    return 0;
}

int notifyInputHandlerCount()
{
    return static_cast<int>(state().inputs.size());
}

int notifyOutputHandlerCount()
{
    return static_cast<int>(state().outputs.size());
}

int notifyWaitHandlerCount()
{
    return static_cast<int>(state().children.size());
}

int notifyTimerCount()
{
    return static_cast<int>(state().timers.size());
}
