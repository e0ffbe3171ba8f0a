#include "compiler/commandmacros.h"

#include "documents/documentactions.h"

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

bool breaksWords(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == ';' || c == '&' || c == '|' || c == '(' || c == ')' ||
           c == '<' || c == '>';
}

// Follows the shell's reading of a template far enough to know how a macro's text must be put in
// where it stands: inside the template's own single or double quotes or outside them, right after
// a backslash that acts on the next character, at the start of a word. Command substitutions and
// here-documents are not followed.
class TemplateReading {
public:
    ShellQuoting quoting() const { return quoting_; }
    bool afterBackslash() const { return backslash_; }
    bool atWordStart() const { return wordStart_; }

    // A character of the template that stands for itself (a newline for backslash-n).
    void read(char c)
    {
        if (backslash_) {
            backslash_ = false;
            // Outside quotes a backslash makes the next character literal (and removes a newline);
            // inside double quotes only these, and before any other it is a character itself.
            if (quoting_ == ShellQuoting::none || c == '"' || c == '\\' || c == '$' || c == '`' || c == '\n') {
                if (c != '\n')
                    wordStart_ = false;
                return;
            }
            wordStart_ = false;
        }
        switch (quoting_) {
        case ShellQuoting::none:
            if (c == '\\')
                backslash_ = true;
            else if (c == '\'')
                quoting_ = ShellQuoting::singleQuotes;
            else if (c == '"')
                quoting_ = ShellQuoting::doubleQuotes;
            else
                wordStart_ = breaksWords(c);
            return;
        case ShellQuoting::singleQuotes:
            if (c == '\'')
                quoting_ = ShellQuoting::none;
            else
                wordStart_ = false;
            return;
        case ShellQuoting::doubleQuotes:
            if (c == '"')
                quoting_ = ShellQuoting::none;
            else if (c == '\\')
                backslash_ = true; // escaping or not, it is part of the word
            if (c != '"')
                wordStart_ = false;
            return;
        }
    }
    // A macro put in text of its own.
    void readMacroText()
    {
        backslash_ = false;
        wordStart_ = false;
    }

private:
    ShellQuoting quoting_ = ShellQuoting::none;
    bool backslash_ = false;
    bool wordStart_ = true;
};

// Puts a macro's text into the command so that the shell reads it as those bytes and nothing
// else. Returns false when it does not fit: the command ends there.
bool appendMacroText(std::string &out, TemplateReading &reading, const std::string &text)
{
    if (text.empty())
        return true;
    // At the start of a word, a name that begins with "-" would be taken for an option.
    const std::string name = reading.atWordStart() && text[0] == '-' ? "./" + text : text;
    std::string piece = shellPiece(reading.quoting(), name);
    if (piece == name) {
        appendLimited(out, name.data(), name.size());
        reading.readMacroText();
        return true;
    }
    if (reading.afterBackslash()) {
        // Before a plain name the backslash only made its first character literal; before a
        // quote it would change what the quote means. Outside quotes it goes; inside double
        // quotes it is doubled into the literal backslash that it is before a plain name.
        if (reading.quoting() == ShellQuoting::none)
            out.pop_back();
        else
            piece.insert(0, 1, '\\');
    }
    // A quoted piece goes in whole or not at all: cut short, it would leave a quote open and the
    // shell would read the next command typed as part of the name.
    if (piece.size() > commandCapacity - out.size())
        return false;
    out += piece;
    reading.readMacroText();
    return true;
}

} // namespace

std::string expandCommandTemplate(const char *commandTemplate, const char *fileName,
                                  const char *matchedExtension)
{
    const std::string root = fileNameRoot(fileName, matchedExtension);
    const std::string extension = matchedExtension;
    TemplateReading reading;
    std::string out;
    out.reserve(256);
    for (const char *c = commandTemplate; *c && out.size() < commandCapacity;) {
        if (c[0] == '\\' && c[1] == 'n') {
            out.push_back('\n');
            reading.read('\n');
            c += 2;
            continue;
        }
        if (*c == '*' || *c == '#') {
            if (!appendMacroText(out, reading, *c == '*' ? root : extension))
                break;
        } else {
            out.push_back(*c);
            reading.read(*c);
        }
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
