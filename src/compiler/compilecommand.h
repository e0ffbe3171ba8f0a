#pragma once
// The pure steps of a captured compile: checking that there is a file in the right directory,
// expanding the compiler call, splitting it into the argument vector, the animated message and
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
    std::string command; // the expanded call, at most commandCapacity characters
};

// Expands the compiler call for a captured compile: '*' gives the root of the file name after
// checking that the name ends with the matched extension; '#' gives the extension; every other
// character, '%' and backslash included, stays as it is. A call without '*' is never compared
// with the file's extension.
CompileCommand expandCompilerCall(const char *compilerCall, const char *fileName,
                                  const char *matchedExtension);

// The words of a command: the maximal runs of characters other than the space character.
// Repeated and leading or trailing spaces make no empty words; tabs and quotes are ordinary.
std::vector<std::string> splitCommandWords(const std::string &command);

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
