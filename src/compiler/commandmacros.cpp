#include "compiler/commandmacros.h"

#include <cstring>

std::string fileNameRoot(const char *fileName, const char *matchedExtension)
{
    size_t nameLength = std::strlen(fileName);
    size_t extensionLength = std::strlen(matchedExtension);
    if (extensionLength > nameLength)
        return std::string();
    return std::string(fileName, nameLength - extensionLength);
}

namespace {

// Appends as much of `text` as still fits in a command.
void appendLimited(std::string &out, const char *text, size_t length)
{
    size_t room = commandCapacity - out.size();
    out.append(text, length < room ? length : room);
}

} // namespace

std::string expandCommandTemplate(const char *commandTemplate, const char *fileName,
                                  const char *matchedExtension)
{
    const std::string root = fileNameRoot(fileName, matchedExtension);
    const size_t extensionLength = std::strlen(matchedExtension);
    std::string out;
    out.reserve(256);
    for (const char *c = commandTemplate; *c && out.size() < commandCapacity;) {
        if (c[0] == '\\' && c[1] == 'n') {
            out.push_back('\n');
            c += 2;
            continue;
        }
        if (*c == '*')
            appendLimited(out, root.data(), root.size());
        else if (*c == '#')
            appendLimited(out, matchedExtension, extensionLength);
        else
            out.push_back(*c);
        ++c;
    }
    return out;
}

std::vector<std::string> commandTypingSteps(const char *commandTemplate, const char *fileName,
                                            const char *matchedExtension)
{
    return {expandCommandTemplate(commandTemplate, fileName, matchedExtension), "\n"};
}

std::string targetCommandTemplate(const char *targetCall, const char *targetExtension,
                                  bool inBackground)
{
    std::string command = targetCall;
    command += targetExtension;
    if (inBackground)
        command += " &";
    return command;
}
