#pragma once
// The compiler child of a captured compile: plain POSIX, no widgets. The child gets the write
// end of one pipe as its standard output and standard error, /dev/null as standard input, no
// other descriptors, default signal actions, an empty signal mask and a process group of its
// own (so that stopping it reaches whatever it started); the program is found along the search
// path. When it cannot be executed, the child writes the reason into the pipe
// ("execvp: No such file or directory", preceded by "program: reason" for any error other than
// a missing program) and exits with status 1.
//
// Driving it from the notifier (window code):
//     startCompile:   output = new OutputText; parser = startErrorParser();
//                     switch (process.start(words)) { ... pipeFailed, forkFailed: show
//                     forkFailedMessage in the terminal and type the command there instead }
//                     notify_set_input_func(client, readCompilerOutput, process.outputDescriptor());
//                     notify_set_wait3_func(client, compilerEnded, process.processId());
//                     output.append(programNameLine(words)); show it; liveDisplay = true;
//     readCompilerOutput(client, fd):
//                     auto r = process.readWaitingOutput(keepAndShowPiece);
//                     parser.parseArrived(output.text());
//                     if (r.endOfOutput || r.failed)     // stop watching a pipe at its end
//                         notify_set_input_func(client, nullptr, fd);
//     breakExecution: process.interrupt(); after 3 s, if it still runs: process.kill();
//     compilerEnded(client, pid, status):
//                     CompileEnd end = compileEndReport(status);   // compilecommand.h
//                     if (!end.endsCompile) return NOTIFY_IGNORED; // stopped: keeps running
//                     process.readWaitingOutput(keepAndShowPiece); // what is still waiting
//                     notify_set_input_func(client, nullptr, process.outputDescriptor());
//                     process.closeOutput();
//                     compilerOutput = output; ... finishErrorList(parser);
// The process is reaped by the notifier's child handler (waitpid on processId()); this object
// never waits for it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// Largest piece taken by one read of the pipe: large enough that reading costs little beside
// keeping what is read.
constexpr std::size_t outputPieceSize = 64 * 1024;
// What the pipe holds, where the system allows it, so that a compiler that writes fast is not held
// back while the program handles what it read last.
constexpr int outputPipeSize = 1024 * 1024;

class CompilerProcess {
public:
    enum class Start {
        started,
        noProgram,  // the word list is empty: nothing to run
        pipeFailed, // no pipe could be created
        forkFailed, // no child could be created
        busy,       // this object still holds a running compile's pipe
    };

    struct ReadResult {
        std::size_t bytes = 0;    // bytes read by this call
        bool endOfOutput = false; // every writer has closed the pipe
        bool failed = false;      // asking for the waiting count or reading failed
    };

    CompilerProcess() = default;
    ~CompilerProcess();
    CompilerProcess(const CompilerProcess &) = delete;
    CompilerProcess &operator=(const CompilerProcess &) = delete;

    // Starts words[0] with all words as its argument vector.
    Start start(const std::vector<std::string> &words);

    pid_t processId() const { return pid_; }
    // The pipe's read end (non-blocking); -1 when none is open.
    int outputDescriptor() const { return readEnd_; }

    // Reads the bytes waiting on the pipe (as many as it reports waiting) in pieces of at most
    // outputPieceSize bytes, each handed to `onPiece` exactly as read. Never blocks; reads at
    // most what a full pipe holds, however fast the child writes meanwhile. With `roomFor`, all
    // that waits is read in one piece straight into the memory that roomFor(count) gives for it
    // (when it gives none, null, into a buffer of this object's as without it).
    ReadResult readWaitingOutput(const std::function<void(std::string_view)> &onPiece,
                                 const std::function<char *(std::size_t count)> &roomFor = {});

    // Sends SIGINT (interrupt) or SIGKILL (kill) to the child's process group: the compiler and
    // everything it started. False when no child runs or the signal could not be sent.
    bool interrupt() const;
    bool kill() const;

    // Closes the pipe's read end; the process id is forgotten.
    void closeOutput();

private:
    pid_t pid_ = -1;
    int readEnd_ = -1;
    std::vector<char> buffer_; // one piece
};
