#include "compiler/compilecommand.h"

#include "compiler/commandmacros.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string.h>
#include <sys/wait.h>

StartRefusal checkFileAndDirectory(const char *fileName, const char *fileDirectory,
                                   const char *workingDirectory)
{
    if (!fileName || !*fileName)
        return StartRefusal::noFile;
    if (std::strcmp(fileDirectory, workingDirectory) != 0)
        return StartRefusal::directoryDiffers;
    return StartRefusal::none;
}

namespace {

bool endsWith(const char *text, const char *ending)
{
    size_t textLength = std::strlen(text);
    size_t endingLength = std::strlen(ending);
    return endingLength <= textLength &&
           std::memcmp(text + textLength - endingLength, ending, endingLength) == 0;
}

// Collects the argument vector while the call is expanded; the length counts every character
// of the expanded call, spaces included.
struct WordCollector {
    std::vector<std::string> words;
    std::string word;
    size_t length = 0;

    bool full() const { return length >= commandCapacity; }
    void endWord()
    {
        if (!word.empty())
            words.push_back(word);
        word.clear();
    }
    void space()
    {
        endWord();
        ++length;
    }
    void character(char c)
    {
        word.push_back(c);
        ++length;
    }
    // A macro's text, as much of it as fits. At the start of an argument a name that begins with
    // "-" gets "./" before it, so that the compiler does not take it for an option.
    void macroText(const std::string &text)
    {
        const std::string name = word.empty() && !text.empty() && text[0] == '-' ? "./" + text : text;
        const size_t taken = std::min(name.size(), commandCapacity - length);
        word.append(name, 0, taken);
        length += taken;
    }
};

} // namespace

CompileCommand expandCompilerCall(const char *compilerCall, const char *fileName,
                                  const char *matchedExtension)
{
    CompileCommand result;
    const std::string root = fileNameRoot(fileName, matchedExtension);
    const std::string extension = matchedExtension;
    // The call is split into words first and the names put into them afterwards, so that a
    // blank in a name never splits it.
    WordCollector collector;
    for (const char *c = compilerCall; *c && !collector.full(); ++c) {
        if (*c == ' ') {
            collector.space();
        } else if (*c == '*') {
            if (!endsWith(fileName, matchedExtension)) {
                result.sourceFormatDiffers = true;
                return result;
            }
            collector.macroText(root);
        } else if (*c == '#') {
            collector.macroText(extension);
        } else {
            collector.character(*c);
        }
    }
    collector.endWord();
    result.words = std::move(collector.words);
    return result;
}

std::string programNameLine(const std::vector<std::string> &words)
{
    return (words.empty() ? std::string() : words.front()) + "\n";
}

namespace {

std::string formatted(const char *format, int value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string signalName(int signalNumber)
{
    if (const char *abbreviation = sigabbrev_np(signalNumber))
        return std::string("SIG") + abbreviation;
    return std::to_string(signalNumber);
}

} // namespace

CompileEnd compileEndReport(int status)
{
    CompileEnd end;
    if (WIFEXITED(status)) {
        int code = WEXITSTATUS(status);
        end.endsCompile = true;
        if (code == 0)
            end.message = "+++ Success +++";
        else if (code <= 2)
            end.message = formatted("--- Error status %d ---", code);
        else
            end.message = formatted("--- Return code %d ---", code);
    } else if (WIFSIGNALED(status)) {
        end.endsCompile = true;
        end.message = "--- Killed by signal " + signalName(WTERMSIG(status)) + " ---";
    } else {
        end.message = "--- Can't get process ID --- ";
    }
    return end;
}

int nextAnimationStep(int step)
{
    ++step;
    return step > 4 || step < 0 ? 0 : step;
}

std::string compilingAnimationText(int step)
{
    static const char *const texts[5] = {
        "*** Compiling *** ",
        "*** Compiling ***   .",
        "*** Compiling ***   . .",
        "*** Compiling ***   . . .",
        "*** Compiling ***   . . . .",
    };
    return texts[step >= 0 && step <= 4 ? step : 0];
}
