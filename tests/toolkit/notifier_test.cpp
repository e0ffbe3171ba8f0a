#include "toolkit/notifier.h"
#include "support/waiting.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ChildReport {
    std::vector<int> statuses;
    std::string output; // what the input handler had read when each report came
    std::vector<std::string> outputAtReport;
    int readFd = -1;
};

NotifyValue onChild(NotifyClient client, int, int status, const struct rusage *)
{
    auto *report = static_cast<ChildReport *>(const_cast<void *>(client));
    report->statuses.push_back(status);
    report->outputAtReport.push_back(report->output);
    return NOTIFY_DONE;
}

NotifyValue onInput(NotifyClient client, int fd)
{
    auto *report = static_cast<ChildReport *>(const_cast<void *>(client));
    char buffer[4]; // small reads: the handler has to run several times
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0)
        report->output.append(buffer, static_cast<size_t>(n));
    else
        notify_set_input_func(client, nullptr, fd); // end of file
    return NOTIFY_DONE;
}

// Sleeps through signals, processing no events.
void sleepWithoutEvents(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        usleep(10000);
}

pid_t startChild(const char *script, int *readFd = nullptr)
{
    int fds[2];
    if (readFd && pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        if (readFd) {
            dup2(fds[1], 1);
            close(fds[0]);
            close(fds[1]);
        }
        execl("/bin/sh", "sh", "-c", script, (char *)nullptr);
        _exit(127);
    }
    if (readFd) {
        close(fds[1]);
        *readFd = fds[0];
    }
    return pid;
}

} // namespace

TEST(Notifier, ChildEndReachesItsHandlerWithTheRawStatusWord)
{
    ChildReport exited, killed;
    pid_t first = startChild("exit 3");
    pid_t second = startChild("sleep 30");
    notify_set_wait3_func(&exited, onChild, first);
    notify_set_wait3_func(&killed, onChild, second);
    kill(second, SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return exited.statuses.size() == 1 && killed.statuses.size() == 1; }));
    EXPECT_EQ(exited.statuses[0], 3 << 8);
    EXPECT_EQ(killed.statuses[0] & 0x7f, SIGKILL);
    EXPECT_EQ(notifyWaitHandlerCount(), 0); // ended children are forgotten
}

TEST(Notifier, StoppedChildIsReportedAndStaysWatched)
{
    ChildReport report;
    pid_t pid = startChild("sleep 30");
    notify_set_wait3_func(&report, onChild, pid);
    kill(pid, SIGSTOP);
    ASSERT_TRUE(waitUntil([&] { return report.statuses.size() == 1; }));
    EXPECT_TRUE(WIFSTOPPED(report.statuses[0]));
    EXPECT_EQ(report.statuses[0] & 0xff, 0x7f);
    kill(pid, SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return report.statuses.size() == 2; }));
    EXPECT_TRUE(WIFSIGNALED(report.statuses[1]));
}

TEST(Notifier, InputHandlerSeesPipeDataAndOutputComesBeforeTheEnd)
{
    ChildReport report;
    pid_t pid = startChild("printf 'first part'; printf ' and the rest'", &report.readFd);
    notify_set_input_func(&report, onInput, report.readFd);
    notify_set_wait3_func(&report, onChild, pid);
    sleepWithoutEvents(200); // output and end are both waiting when events are next processed
    ASSERT_TRUE(waitUntil([&] { return report.statuses.size() == 1; }));
    EXPECT_EQ(report.outputAtReport[0], "first part and the rest");
    notify_set_input_func(&report, nullptr, report.readFd);
    close(report.readFd);
    EXPECT_EQ(notifyInputHandlerCount(), 0);
}

TEST(Notifier, ChildThatEndedBeforeRegistrationIsStillReported)
{
    ChildReport report;
    pid_t pid = startChild("exit 0");
    sleepWithoutEvents(200);
    notify_set_wait3_func(&report, onChild, pid);
    ASSERT_TRUE(waitUntil([&] { return report.statuses.size() == 1; }));
    EXPECT_EQ(report.statuses[0], 0);
}

namespace {
int ticks = 0;
NotifyValue onTick(NotifyClient client, int which)
{
    if (++ticks == 3)
        notify_set_itimer_func(client, nullptr, which, nullptr, nullptr);
    return NOTIFY_DONE;
}
} // namespace

TEST(Notifier, IntervalTimerFiresRepeatedlyUntilStopped)
{
    static int client;
    ticks = 0;
    struct itimerval every = {{0, 20000}, {0, 20000}};
    notify_set_itimer_func(&client, onTick, ITIMER_REAL, &every, nullptr);
    EXPECT_EQ(notifyTimerCount(), 1);
    ASSERT_TRUE(waitUntil([] { return ticks >= 3; }));
    waitUntil([] { return false; }, 150);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(notifyTimerCount(), 0);
}

TEST(Notifier, ReplacingATimerReportsTheOldSettingAndDispatchDeliversDueWork)
{
    static int client;
    ticks = 0;
    struct itimerval slow = {{5, 0}, {5, 0}}, fast = {{0, 0}, {0, 1000}}, old;
    notify_set_itimer_func(&client, onTick, ITIMER_REAL, &slow, nullptr);
    EXPECT_EQ(notify_set_itimer_func(&client, onTick, ITIMER_REAL, &fast, &old), onTick);
    EXPECT_EQ(old.it_interval.tv_sec, 5);
    EXPECT_EQ(notifyTimerCount(), 1);
    usleep(10000);
    notify_dispatch();
    EXPECT_GE(ticks, 1);
    notify_set_itimer_func(&client, nullptr, ITIMER_REAL, nullptr, nullptr);
    EXPECT_EQ(notifyTimerCount(), 0);
}

namespace {

struct Writer {
    int calls = 0;
    std::string sent;
    std::string toSend;
};

// Writes what is left, as much as the pipe takes, and stops being called once all went.
NotifyValue onWritable(NotifyClient client, int fd)
{
    auto *writer = static_cast<Writer *>(const_cast<void *>(client));
    ++writer->calls;
    const ssize_t put = write(fd, writer->toSend.data(), writer->toSend.size());
    if (put > 0) {
        writer->sent += writer->toSend.substr(0, static_cast<size_t>(put));
        writer->toSend.erase(0, static_cast<size_t>(put));
    }
    if (writer->toSend.empty())
        notify_set_output_func(client, nullptr, fd);
    return NOTIFY_DONE;
}

// A full pipe calls its output handler again only once the reader has made room.
TEST(Notifier, OutputHandlerRunsWhenTheDescriptorTakesMore)
{
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_NONBLOCK), 0);
    const int before = notifyOutputHandlerCount();
    Writer writer;
    writer.toSend = std::string(1 << 20, 'x'); // more than a pipe holds
    notify_set_output_func(&writer, onWritable, fds[1]);
    EXPECT_EQ(notifyOutputHandlerCount(), before + 1);
    ASSERT_TRUE(waitUntil([&] { return !writer.sent.empty(); }));
    sleepWithoutEvents(20);
    notify_dispatch();
    const int callsWhileFull = writer.calls;
    notify_dispatch();
    EXPECT_LE(writer.calls, callsWhileFull + 1);
    EXPECT_FALSE(writer.toSend.empty());

    std::string received;
    char buffer[65536];
    ASSERT_TRUE(waitUntil([&] {
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<size_t>(n));
        return writer.toSend.empty() && received.size() == writer.sent.size();
    }));
    EXPECT_EQ(received, std::string(1 << 20, 'x'));
    EXPECT_EQ(notifyOutputHandlerCount(), before);
    close(fds[0]);
    close(fds[1]);
}

} // namespace
