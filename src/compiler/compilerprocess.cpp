#include "compiler/compilerprocess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

CompilerProcess::~CompilerProcess()
{
    closeOutput();
}

namespace {

// Only async-signal-safe calls from here on: the parent may have threads, and the child shares
// the parent's memory until it executes the program (vfork), so it changes none of it.
void writeText(const char *text)
{
    size_t length = std::strlen(text);
    while (length > 0) {
        ssize_t n = write(STDERR_FILENO, text, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void writeReason(const char *prefix, int error)
{
    const char *reason = strerrordesc_np(error);
    writeText(prefix);
    writeText(": ");
    writeText(reason ? reason : "Unknown error");
    writeText("\n");
}

[[noreturn]] void runChild(int writeEnd, int highestDescriptor, char *const *argv)
{
    // A group of its own: stopping the compile signals the group, and with it whatever the
    // compiler runs (make's jobs, a shell's commands).
    setpgid(0, 0);
    // A write end among 0 to 2 (the program started with standard descriptors closed) would be
    // overwritten below, or keep its close-on-exec mark through dup2 onto itself.
    if (writeEnd <= STDERR_FILENO)
        writeEnd = fcntl(writeEnd, F_DUPFD, STDERR_FILENO + 1);
    int nullInput = open("/dev/null", O_RDONLY);
    if (nullInput >= 0 && nullInput != STDIN_FILENO)
        dup2(nullInput, STDIN_FILENO);
    else if (nullInput < 0)
        close(STDIN_FILENO);
    dup2(writeEnd, STDOUT_FILENO);
    dup2(writeEnd, STDERR_FILENO);

    if (close_range(3, ~0u, 0) != 0) {
        for (int fd = highestDescriptor; fd >= 3; --fd)
            close(fd);
    }

    struct sigaction defaultAction;
    std::memset(&defaultAction, 0, sizeof defaultAction);
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    for (int signalNumber = 1; signalNumber < 32; ++signalNumber)
        sigaction(signalNumber, &defaultAction, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    execvp(argv[0], argv);

    int error = errno;
    if (error != ENOENT)
        writeReason(argv[0], error);
    writeReason("execvp", error);
    _exit(1);
}

} // namespace

CompilerProcess::Start CompilerProcess::start(const std::vector<std::string> &words)
{
    if (readEnd_ >= 0)
        return Start::busy;
    if (words.empty())
        return Start::noProgram;

    // Everything the child needs is made before the fork.
    std::vector<char *> argv;
    argv.reserve(words.size() + 1);
    for (const std::string &word : words)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    int highestDescriptor = getdtablesize() - 1;

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return Start::pipeFailed;

    // vfork: the child borrows the program's memory until it executes the compiler, where fork
    // first copied the page tables of the whole program (tens of milliseconds with a long text
    // loaded, all of it time the window waits). No signal handler of the program may run in the
    // child meanwhile: every signal stays blocked until the child has reset them all.
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    pid_t pid = vfork();
    if (pid == 0)
        runChild(ends[1], highestDescriptor, argv.data());
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return Start::forkFailed;
    }

    // Also here, so that the group exists before anything is signalled (whichever runs first).
    setpgid(pid, pid);
    close(ends[1]);
    fcntl(ends[0], F_SETFL, fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    fcntl(ends[0], F_SETPIPE_SZ, outputPipeSize); // a smaller pipe does as well, only slower
    pid_ = pid;
    readEnd_ = ends[0];
    return Start::started;
}

CompilerProcess::ReadResult
CompilerProcess::readWaitingOutput(const std::function<void(std::string_view)> &onPiece,
                                   const std::function<char *(std::size_t count)> &roomFor)
{
    ReadResult result;
    if (readEnd_ < 0) {
        result.failed = true;
        return result;
    }
    int waiting = 0;
    if (ioctl(readEnd_, FIONREAD, &waiting) != 0) {
        result.failed = true;
        return result;
    }
    // Nothing waiting on a readable pipe means its end; one non-blocking read tells.
    long left = waiting > 0 ? waiting : 1;
    while (left > 0) {
        std::size_t wanted = static_cast<std::size_t>(left);
        char *into = roomFor ? roomFor(wanted) : nullptr;
        if (!into) {
            buffer_.resize(outputPieceSize);
            into = buffer_.data();
            wanted = std::min(wanted, buffer_.size());
        }
        ssize_t n = read(readEnd_, into, wanted);
        if (n > 0) {
            result.bytes += static_cast<size_t>(n);
            left -= n;
            if (onPiece)
                onPiece(std::string_view(into, static_cast<size_t>(n)));
        } else if (n == 0) {
            result.endOfOutput = true;
            break;
        } else if (errno == EINTR) {
            continue;
        } else {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                result.failed = true;
            break;
        }
    }
    return result;
}

bool CompilerProcess::interrupt() const
{
    return pid_ > 0 && ::kill(-pid_, SIGINT) == 0;
}

bool CompilerProcess::kill() const
{
    return pid_ > 0 && ::kill(-pid_, SIGKILL) == 0;
}

void CompilerProcess::closeOutput()
{
    if (readEnd_ >= 0)
        close(readEnd_);
    readEnd_ = -1;
    pid_ = -1;
}
