#include "compiler/compilestate.h"

CompilerProcess compilerProcess;
std::shared_ptr<OutputText> outputChunks;
bool liveDisplay = false;
long lostOutputBytes = 0;
std::shared_ptr<OutputText> compilerOutput;
std::string compileDirectory;
bool compileLock = false;
int animationStep = 0;
