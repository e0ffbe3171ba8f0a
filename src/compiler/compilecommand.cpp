#include "compiler/compilecommand.h"

#include "compiler/commandmacros.h"

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

void appendLimited(std::string &out, const std::string &text)
{
    out.append(text, 0, commandCapacity - out.size());
}

} // namespace

CompileCommand expandCompilerCall(const char *compilerCall, const char *fileName,
                                  const char *matchedExtension)
{
    CompileCommand result;
    const std::string root = fileNameRoot(fileName, matchedExtension);
    const std::string extension = matchedExtension;
    std::string &out = result.command;
    for (const char *c = compilerCall; *c && out.size() < commandCapacity; ++c) {
        if (*c == '*') {
            if (!endsWith(fileName, matchedExtension)) {
                result.sourceFormatDiffers = true;
                out.clear();
                return result;
            }
            appendLimited(out, root);
        } else if (*c == '#') {
            appendLimited(out, extension);
        } else {
            out.push_back(*c);
        }
    }
    return result;
}

std::vector<std::string> splitCommandWords(const std::string &command)
{
    std::vector<std::string> words;
    size_t pos = 0;
    for (;;) {
        pos = command.find_first_not_of(' ', pos);
        if (pos == std::string::npos)
            break;
        size_t end = command.find(' ', pos);
        if (end == std::string::npos)
            end = command.size();
        words.emplace_back(command, pos, end - pos);
        pos = end;
    }
    return words;
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
