// The command macro expander on any template, file name and extension (an input holds the three,
// separated by NUL bytes). The expansion fits the command's capacity; for names that the shell
// reads literally it is what one left-to-right scan gives; and for any names a real sh reading
// it gets the words that the template gives with the names in place: every name reaches the
// command as its own bytes, wherever the template's quotes and backslashes put it.
#include "compiler/commandmacros.h"
#include "documents/documentactions.h"
#include "fuzzcheck.h"
#include "fuzzshell.h"

#include <clocale>
#include <string>

namespace {

// The expansion without the capacity and without quoting: each macro replaced once, in order.
std::string expandedWithoutLimit(const std::string &commandTemplate, const std::string &root,
                                 const std::string &extension)
{
    std::string out;
    for (std::size_t i = 0; i < commandTemplate.size(); ++i) {
        if (commandTemplate[i] == '\\' && i + 1 < commandTemplate.size() && commandTemplate[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else if (commandTemplate[i] == '*') {
            out += root;
        } else if (commandTemplate[i] == '#') {
            out += extension;
        } else {
            out += commandTemplate[i];
        }
    }
    return out;
}

bool readLiterally(const std::string &text)
{
    return text.empty() || (shellWord(text) == text && text[0] != '-');
}

// Templates whose characters can only make arguments of the one command: no separators, no
// substitutions, no globbing, no newline macro; quotes and backslashes are what is tested.
bool onlyArguments(const std::string &commandTemplate)
{
    for (char c : commandTemplate) {
        const bool letter = (c >= 'a' && c <= 'z' && c != 'n') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letter && std::string(" '\"\\*#%.-/,:=@+_^").find(c) == std::string::npos)
            return false;
    }
    return commandTemplate.find("QQ") == std::string::npos;
}

const char rootMark[] = "QQRQQ", extensionMark[] = "QQEQQ";

std::string replaced(std::string text, const std::string &mark, const std::string &by)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
    return text;
}

// The template read by sh with its macros standing for marks that read literally everywhere,
// the marks then replaced by the names: the words the template means. The expansion must give
// sh the same words.
void checkWords(const std::string &commandTemplate, const std::string &root, const std::string &extension,
                const std::string &expanded)
{
    const std::string marked = expandedWithoutLimit(commandTemplate, rootMark, extensionMark);
    const ShellResult meant = runShell(marked, "C.UTF-8", "'<%s>'");
    if (meant.status != 0 || !meant.errors.empty())
        return; // the template itself does not parse
    const std::string words = replaced(replaced(meant.output, rootMark, root), extensionMark, extension);
    const ShellResult got = runShell(expanded, "C.UTF-8", "'<%s>'");
    if (got.output != words || !got.errors.empty() || got.status != 0) {
        std::fprintf(stderr, "template [%s], root [%s], extension [%s], typed [%s]\nmeant %s\ngot   %s (%s)\n",
                     commandTemplate.c_str(), root.c_str(), extension.c_str(), expanded.c_str(), words.c_str(),
                     got.output.c_str(), got.errors.c_str());
        FUZZ_CHECK(false, "the shell did not get the names as words of the template");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::size_t first = input.find('\0');
    const std::size_t second = first == std::string::npos ? std::string::npos : input.find('\0', first + 1);
    const std::string commandTemplate = input.substr(0, first);
    const std::string fileName = first == std::string::npos ? "" : input.substr(first + 1, second - first - 1);
    const std::string extension = second == std::string::npos ? "" : input.substr(second + 1);
    if (extension.find('\0') != std::string::npos)
        return 0; // the three are C strings
    FUZZ_CHECK(std::setlocale(LC_ALL, "C.UTF-8"), "the locale is missing");

    const std::string root = fileNameRoot(fileName.c_str(), extension.c_str());
    FUZZ_CHECK(root.size() == (extension.size() > fileName.size() ? 0 : fileName.size() - extension.size()),
               "the root is not the name without the extension's length");
    FUZZ_CHECK(fileName.compare(0, root.size(), root) == 0, "the root is not the start of the name");

    const std::string expanded = expandCommandTemplate(commandTemplate.c_str(), fileName.c_str(), extension.c_str());
    FUZZ_CHECK(expanded.size() <= commandCapacity, "the expansion exceeds the command's capacity");
    if (readLiterally(root) && readLiterally(extension)) {
        const std::string full = expandedWithoutLimit(commandTemplate, root, extension);
        FUZZ_CHECK(expanded == full.substr(0, commandCapacity), "a plain name is not typed as it is");
    }

    const std::vector<std::string> steps = commandTypingSteps(commandTemplate.c_str(), fileName.c_str(), extension.c_str());
    FUZZ_CHECK(steps.size() == 2 && steps[0] == expanded && steps[1] == "\n", "the typing steps differ");

    // Names that begin with "-" get "./" at the start of a word, and an empty name makes no word
    // where a mark would: those are left to the tests.
    const bool hasRoot = commandTemplate.find('*') != std::string::npos;
    const bool hasExtension = commandTemplate.find('#') != std::string::npos;
    const bool small = commandTemplate.size() * (8 * (root.size() + extension.size()) + 16) < commandCapacity;
    if (small && onlyArguments(commandTemplate) && (!hasRoot || (!root.empty() && root[0] != '-')) &&
        (!hasExtension || (!extension.empty() && extension[0] != '-')) && fileName.find("QQ") == std::string::npos)
        checkWords(commandTemplate, root, extension, expanded);
    return 0;
}
