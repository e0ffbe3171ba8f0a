#pragma once
// The pure steps of a captured compile: checking that there is a file in the right directory,
// expanding the compiler call into the argument vector, the animated message and
// the message that reports how the compiler ended. No widgets, no global state.

#include <string>
#include <vector>

// Why a compile or a run cannot start; each refusal has its notice (compilenotices.h), after
// which the open dialog is shown.
enum class StartRefusal {
    none,
    noFile,           // fileName is empty
    directoryDiffers, // the terminal's working directory is not the file's directory
};
StartRefusal checkFileAndDirectory(const char *fileName, const char *fileDirectory,
                                   const char *workingDirectory);

struct CompileCommand {
    // The call holds a '*' but fileName does not end with exactly matchedExtension: nothing
    // may be started ("Source file format" notice).
    bool sourceFormatDiffers = false;
    // The argument vector: the first word names the program.
    std::vector<std::string> words;
};

// Expands the compiler call for a captured compile into its argument vector. The call is split
// into words at spaces (runs of spaces make no empty words; tabs and quotes are ordinary
// characters), and the macros are put into the words afterwards, so that a name is always part
// of one argument, blanks and all: '*' gives the root of the file name after checking that the
// name ends with the matched extension, '#' gives the extension, and every other character, '%'
// and backslash included, stays as it is. A macro that begins an argument with "-" gets "./"
// before it. A call without '*' is never compared with the file's extension. The expanded call,
// spaces included, holds at most commandCapacity characters; what goes beyond is dropped.
CompileCommand expandCompilerCall(const char *compilerCall, const char *fileName,
                                  const char *matchedExtension);

// The first piece of the compile output: the program name (the first word) and a newline.
std::string programNameLine(const std::vector<std::string> &words);

// How the compiler ended, from the status word that waitpid reports.
struct CompileEnd {
    // False for a stopped or continued child: the compile goes on (timer, handlers, buttons
    // and lock unchanged) and the child handler answers "ignored".
    bool endsCompile = false;
    std::string message; // for the results message
};
// Exit 0: "+++ Success +++"; 1 and 2: "--- Error status N ---"; 3 and up: "--- Return code N ---";
// killed: "--- Killed by signal SIGNAME ---" (ends the compile; the output is still parsed);
// stopped or continued: "--- Can't get process ID --- " (does not end it).
CompileEnd compileEndReport(int status);

// The "*** Compiling ***" animation: the step after `step` (0 to 4, wrapping) and its text.
int nextAnimationStep(int step);
std::string compilingAnimationText(int step);
