#pragma once
// The state of the one captured compile the program runs at a time.

#include "compiler/compileroutput.h"
#include "compiler/compilerprocess.h"

#include <optional>
#include <string>

extern CompilerProcess compilerProcess;
extern CompilerOutputChunks outputChunks;
// Cleared when the results pane takes no more text; the pieces are still collected.
extern bool liveDisplay;
// The joined output of the last compile; none from the start of a compile until its end, and
// after the results window is closed. Its positions are positions in the results pane.
extern std::optional<CompilerOutputText> compilerOutput;
// Held during a compile whose configuration disables saving while compiling.
extern bool compileLock;
// 0 to 4; not reset between compiles.
extern int animationStep;

// Whether a captured compile runs: from the start of its child until its end has been handled.
inline bool compileRunning()
{
    return compilerProcess.outputDescriptor() >= 0;
}
