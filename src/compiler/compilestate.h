#pragma once
// The state of the one captured compile the program runs at a time.

#include "compiler/compilerprocess.h"
#include "toolkit/outputtext.h"

#include <memory>
#include <string>

extern CompilerProcess compilerProcess;
// The output of the running compile: the pieces read so far, one after the other, their colour
// sequences taken out. The results pane shows these very bytes; at the end of the compile they
// become compilerOutput.
extern std::shared_ptr<OutputText> outputChunks;
// Cleared when the results pane takes no more text; the pieces are still collected.
extern bool liveDisplay;
// Bytes of output that were read but could not be kept (no memory left), in this compile.
extern long lostOutputBytes;
// The joined output of the last compile; none from the start of a compile until its end, and
// after the results window is closed. Its positions are positions in the results pane.
extern std::shared_ptr<OutputText> compilerOutput;
// The directory the last captured compile ran in; file names in its messages are read from there.
extern std::string compileDirectory;
// Held during a compile whose configuration disables saving while compiling.
extern bool compileLock;
// 0 to 4; not reset between compiles.
extern int animationStep;

// Whether a captured compile runs: from the start of its child until its end has been handled.
inline bool compileRunning()
{
    return compilerProcess.outputDescriptor() >= 0;
}
