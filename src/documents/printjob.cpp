#include "documents/printjob.h"

#include "frame/mainframe.h"
#include "toolkit/notice.h"
#include "toolkit/notifier.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

constexpr std::size_t pieceSize = 64 * 1024;
constexpr std::size_t budgetPerTurn = 1024 * 1024; // what one turn of the event loop sends at most

struct PrintJob {
    bool running = false;
    int device = -1;
    int source = -1;
    std::string pending; // read, not yet written
    std::size_t written = 0; // of pending
};
PrintJob job;
const char jobClient[] = "print job";

enum class Step { more, wait, done, failed };

// Refills `pending` from the source when it is used up; false at the source's end.
bool refill(int &error)
{
    if (job.written < job.pending.size())
        return true;
    job.pending.clear();
    job.written = 0;
    if (job.source < 0)
        return false;
    job.pending.resize(pieceSize);
    ssize_t got;
    do {
        got = read(job.source, &job.pending[0], pieceSize);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        error = errno;
        job.pending.clear();
        return false;
    }
    job.pending.resize(static_cast<std::size_t>(got));
    return got > 0;
}

Step sendPiece(int &error)
{
    if (!refill(error))
        return error ? Step::failed : Step::done;
    const ssize_t put = write(job.device, job.pending.data() + job.written, job.pending.size() - job.written);
    if (put < 0) {
        if (errno == EINTR)
            return Step::more;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return Step::wait;
        error = errno;
        return Step::failed;
    }
    job.written += static_cast<std::size_t>(put);
    return Step::more;
}

void finish(int error)
{
    notify_set_output_func(jobClient, nullptr, job.device);
    close(job.device);
    if (job.source >= 0)
        close(job.source);
    job = PrintJob();
    if (error)
        notice_prompt(mainFrame, {"Printing stopped", std::strerror(error)}, {noticeYes("Ok")});
}

// Sends up to one turn's budget; true when the job has ended.
bool sendSome()
{
    int error = 0;
    for (std::size_t sent = 0; sent < budgetPerTurn; sent += pieceSize) {
        switch (sendPiece(error)) {
        case Step::more:
            break;
        case Step::wait:
            return false;
        case Step::done:
            finish(0);
            return true;
        case Step::failed:
            finish(error);
            return true;
        }
    }
    return false;
}

NotifyValue onDeviceWritable(NotifyClient, int)
{
    if (job.running)
        sendSome();
    return NOTIFY_DONE;
}

} // namespace

bool printJobRunning()
{
    return job.running;
}

void startPrintJob(int device, std::string bytes, int source)
{
    job.running = true;
    job.device = device;
    job.source = source;
    job.pending = std::move(bytes);
    job.written = 0;
    if (!sendSome())
        notify_set_output_func(jobClient, onDeviceWritable, device);
}
