// Runs real tiny programs (sh, printf, seq) through the compiler child process.
#include "compiler/compilecommand.h"
#include "compiler/compilerprocess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Finished {
    int status = -1;
    std::string output; // the pieces as handed out one by one, joined
    size_t largestPiece = 0;
};

// Drives the process as the notifier would: read when readable until the pipe's end, then reap.
Finished runToEnd(const std::vector<std::string> &words)
{
    Finished done;
    CompilerProcess process;
    EXPECT_EQ(process.start(words), CompilerProcess::Start::started);
    auto show = [&](std::string_view piece) {
        done.output += piece;
        done.largestPiece = std::max(done.largestPiece, piece.size());
    };
    // A pipe whose end is never reported would keep polling readable: give up after 10 s.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd readable{process.outputDescriptor(), POLLIN, 0};
        if (poll(&readable, 1, 10000) <= 0)
            break;
        CompilerProcess::ReadResult result = process.readWaitingOutput(show);
        if (result.endOfOutput || result.failed)
            break;
    }
    waitpid(process.processId(), &done.status, 0);
    process.closeOutput();
    return done;
}

std::vector<std::string> shell(const std::string &script)
{
    return {"sh", "-c", script};
}

TEST(CompilerProcess, ReportsAProgramThatCannotBeExecutedThroughThePipe)
{
    Finished missing = runToEnd({"tsl-no-such-compiler", "-c", "prog.c"});
    EXPECT_EQ(missing.output, "execvp: No such file or directory\n");
    EXPECT_EQ(compileEndReport(missing.status).message, "--- Error status 1 ---");

    // Any other reason is also given for the program name first.
    Finished notExecutable = runToEnd({"/dev/null"});
    EXPECT_EQ(notExecutable.output, "/dev/null: Permission denied\nexecvp: Permission denied\n");
}

TEST(CompilerProcess, KeepsManySmallPiecesAndSplitCharactersExactly)
{
    // The two halves of a three-byte character arrive in separate reads.
    Finished split = runToEnd(shell("printf 'a\\342\\200'; sleep 0.2; printf '\\230b\\n'"));
    EXPECT_EQ(split.output, "a\xE2\x80\x98" "b\n");

    Finished many = runToEnd(shell(
        "i=0; while [ $i -lt 3000 ]; do printf 'prog.c:%d: \\342\\200\\230y\\342\\200\\231\\n' $i;"
        " i=$((i+1)); done"));
    std::string expected;
    for (int i = 0; i < 3000; ++i)
        expected += "prog.c:" + std::to_string(i) + ": \xE2\x80\x98y\xE2\x80\x99\n";
    EXPECT_EQ(many.output, expected);
    EXPECT_LE(many.largestPiece, outputPieceSize);
    EXPECT_EQ(compileEndReport(many.status).message, "+++ Success +++");

    // NUL bytes and more than a pipe's worth in one go.
    Finished big = runToEnd(shell("printf 'x\\000y\\n'; seq 1 40000; exit 3"));
    std::string numbers;
    for (int i = 1; i <= 40000; ++i)
        numbers += std::to_string(i) + "\n";
    EXPECT_EQ(big.output, std::string("x\0y\n", 4) + numbers);
    EXPECT_LE(big.largestPiece, outputPieceSize);
    EXPECT_EQ(compileEndReport(big.status).message, "--- Return code 3 ---");
}

TEST(CompilerProcess, ReadsWhatIsStillWaitingAfterTheEnd)
{
    CompilerProcess process;
    std::string output = "printf\n";
    auto keep = [&](std::string_view piece) { output += piece; };
    ASSERT_EQ(process.start({"printf", "hello\\n"}), CompilerProcess::Start::started);
    int status = 0;
    waitpid(process.processId(), &status, 0);
    process.readWaitingOutput(keep);
    EXPECT_EQ(output, "printf\nhello\n");
    EXPECT_TRUE(process.readWaitingOutput(keep).endOfOutput);
}

TEST(CompilerProcess, GivesTheChildACleanStart)
{
    // Standard input from /dev/null (not the program's own), no inherited descriptors.
    int savedInput = dup(STDIN_FILENO);
    int inputPipe[2];
    ASSERT_EQ(pipe(inputPipe), 0);
    dup2(inputPipe[0], STDIN_FILENO);
    int inherited = dup2(STDERR_FILENO, 57);
    ASSERT_EQ(inherited, 57);
    Finished fds = runToEnd(shell("readlink /proc/$$/fd/0; ls /proc/$$/fd"));
    close(inherited);
    dup2(savedInput, STDIN_FILENO);
    close(savedInput);
    close(inputPipe[0]);
    close(inputPipe[1]);
    EXPECT_EQ(fds.output.substr(0, 10), "/dev/null\n");
    EXPECT_EQ(fds.output.find("\n57\n"), std::string::npos) << fds.output;

    // Ignored and blocked signals are back to their defaults.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &previous);
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &previousMask);
    Finished interrupted = runToEnd(shell("kill -INT $$; echo survived"));
    Finished terminated = runToEnd(shell("kill -TERM $$; echo survived"));
    // Starting a child leaves the program's own signal mask as it was.
    sigset_t afterStarts;
    sigprocmask(SIG_SETMASK, nullptr, &afterStarts);
    EXPECT_TRUE(sigismember(&afterStarts, SIGTERM));
    EXPECT_FALSE(sigismember(&afterStarts, SIGINT));
    EXPECT_FALSE(sigismember(&afterStarts, SIGCHLD));
    sigaction(SIGINT, &previous, nullptr);
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
    EXPECT_EQ(interrupted.output, "");
    EXPECT_EQ(compileEndReport(interrupted.status).message, "--- Killed by signal SIGINT ---");
    EXPECT_EQ(terminated.output, "");
    EXPECT_TRUE(compileEndReport(terminated.status).endsCompile);
}

TEST(CompilerProcess, RefusesAnEmptyCommandAndASecondStart)
{
    CompilerProcess process;
    EXPECT_EQ(process.start({}), CompilerProcess::Start::noProgram);
    ASSERT_EQ(process.start({"true"}), CompilerProcess::Start::started);
    EXPECT_EQ(process.start({"true"}), CompilerProcess::Start::busy);
    waitpid(process.processId(), nullptr, 0);
}

} // namespace
