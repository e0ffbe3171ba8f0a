#include "compiler/compilestate.h"

CompilerProcess compilerProcess;
CompilerOutputChunks outputChunks;
bool liveDisplay = false;
std::optional<CompilerOutputText> compilerOutput;
bool compileLock = false;
int animationStep = 0;
