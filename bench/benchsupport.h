#pragma once
// What the benchmarks share: the QApplication and the 40 MB test text.
#include <string>

// The benchmark main has no QApplication; the first benchmark that needs one makes it. It is
// never destroyed: at static destruction time Qt's own globals may already be gone.
void ensureApplication();

constexpr int sourceLineCount = 1000000;

// 1,000,000 lines of about 40 bytes of C, each holding the word "counter" once: 40 MB. Line i
// is printf("    sum += counter * %7d; /* s%05d */\n", i, i % 100000).
const std::string &sourceText();

// The generated text as a file, written once per run and removed at exit.
const std::string &sourceFile();
