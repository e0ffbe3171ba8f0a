#pragma once
// What the benchmarks share: the QApplication and the 40 MB test text.
#include <string>

// The benchmark main has no QApplication; the first benchmark that needs one makes it. It is
// never destroyed: at static destruction time Qt's own globals may already be gone.
void ensureApplication();

// The real main window with the shipped configuration and no file, built once, its text pane
// without a memory limit.
void ensureMainWindow();

constexpr int sourceLineCount = 1000000;

// 1,000,000 lines of about 40 bytes of C, each holding the word "counter" once: 40 MB. Line i
// is printf("    sum += counter * %7d; /* s%05d */\n", i, i % 100000).
const std::string &sourceText();

// The generated text as a file, written once per run and removed at exit.
const std::string &sourceFile();

// Writes `text` into a new temporary file whose name begins with `prefix`, removed at exit.
std::string temporaryFile(const char *prefix, const std::string &text);
