// The command macro expander on any template, file name and extension (an input holds the three,
// separated by NUL bytes). The expansion must be what one left-to-right scan gives, cut at the
// command's capacity: text that a macro put in is never expanded again.
#include "compiler/commandmacros.h"
#include "fuzzcheck.h"

#include <string>

namespace {

// The expansion without the capacity: each macro replaced once, in order.
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

    const std::string root = fileNameRoot(fileName.c_str(), extension.c_str());
    FUZZ_CHECK(root.size() == (extension.size() > fileName.size() ? 0 : fileName.size() - extension.size()),
               "the root is not the name without the extension's length");
    FUZZ_CHECK(fileName.compare(0, root.size(), root) == 0, "the root is not the start of the name");

    const std::string expanded = expandCommandTemplate(commandTemplate.c_str(), fileName.c_str(), extension.c_str());
    FUZZ_CHECK(expanded.size() <= commandCapacity, "the expansion exceeds the command's capacity");
    const std::string full = expandedWithoutLimit(commandTemplate, root, extension);
    FUZZ_CHECK(expanded == full.substr(0, commandCapacity), "the expansion is not the one left-to-right scan");

    const std::vector<std::string> steps = commandTypingSteps(commandTemplate.c_str(), fileName.c_str(), extension.c_str());
    FUZZ_CHECK(steps.size() == 2 && steps[0] == expanded && steps[1] == "\n", "the typing steps differ");
    return 0;
}
