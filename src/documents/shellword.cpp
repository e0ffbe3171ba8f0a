// Texts typed into the user's shell as one word, or as a piece of one: as they are when the shell
// reads every character literally, otherwise quoted so that no character of the text can run
// anything.
#include "documents/documentactions.h"

#include "toolkit/utf8check.h"

#include <cstdio>
#include <cstring>
#include <langinfo.h>

namespace {

bool readLiterally(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("/._-+,:@%=", c) != nullptr);
}

bool printableAscii(unsigned char c)
{
    return c >= 0x20 && c < 0x7f;
}

bool localeIsUtf8()
{
    const char *codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// How many bytes from `at` can be typed between single quotes as one character: 0 when the
// character cannot be. Control characters cannot, except the newline (the shell reads on to
// the closing quote): the terminal's line discipline and the shell's line editor act on them
// (an interrupt would end the quoted word and let the rest be read as a command). Bytes above
// ASCII only in a UTF-8 locale and as a valid UTF-8 character other than a C1 control;
// otherwise the line editor may read them as meta keys.
size_t typeableInQuotes(const std::string &text, size_t at, bool utf8Locale)
{
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x80)
        return printableAscii(c) || c == '\n' ? 1 : 0;
    if (!utf8Locale || c < 0xC2 || c > 0xF4)
        return 0;
    const size_t length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (at + length > text.size() || !isValidUtf8(text.data() + at, length))
        return 0;
    const auto next = static_cast<unsigned char>(text[at + 1]);
    return c == 0xC2 && next <= 0x9F ? 0 : length;
}

bool typeableThroughout(const std::string &text, bool utf8Locale)
{
    for (size_t at = 0; at < text.size();) {
        const size_t length = typeableInQuotes(text, at, utf8Locale);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

// A run of typeable bytes between single quotes; a quote inside ends the quoted part, is
// escaped, and the quoting starts again.
std::string singleQuoted(const std::string &run)
{
    std::string quoted = "'";
    for (char c : run) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// Bytes that cannot be typed become octal escapes of printf. The format begins with a
// backslash, so printf never takes it for an option, and it never produces a newline, so the
// command substitution cuts nothing off.
std::string printfRebuilt(const std::string &bytes)
{
    std::string format;
    for (char ch : bytes) {
        char escape[6];
        std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned char>(ch));
        format += escape;
    }
    return "\"$(printf '" + format + "')\"";
}

} // namespace

std::string shellWord(const std::string &text)
{
    bool literal = !text.empty();
    for (unsigned char c : text)
        literal = literal && readLiterally(c);
    if (literal)
        return text;
    if (text.empty())
        return "''";
    // Runs of typeable characters are quoted, runs of other bytes rebuilt by printf; the shell
    // joins the adjacent pieces into one word.
    const bool utf8Locale = localeIsUtf8();
    std::string word, typeable, rebuilt;
    for (size_t at = 0; at < text.size();) {
        const size_t length = typeableInQuotes(text, at, utf8Locale);
        if (length == 0) {
            if (!typeable.empty())
                word += singleQuoted(typeable);
            typeable.clear();
            rebuilt += text[at++];
            continue;
        }
        if (!rebuilt.empty())
            word += printfRebuilt(rebuilt);
        rebuilt.clear();
        typeable.append(text, at, length);
        at += length;
    }
    if (!typeable.empty())
        word += singleQuoted(typeable);
    if (!rebuilt.empty())
        word += printfRebuilt(rebuilt);
    return word;
}

std::string shellPiece(ShellQuoting quoting, const std::string &text)
{
    if (text.empty())
        return std::string();
    switch (quoting) {
    case ShellQuoting::none:
        break;
    case ShellQuoting::singleQuotes:
        // Between single quotes only the quote itself ends the literal text.
        if (text.find('\'') == std::string::npos && typeableThroughout(text, localeIsUtf8()))
            return text;
        return "'" + shellWord(text) + "'";
    case ShellQuoting::doubleQuotes: {
        // Between double quotes a backslash makes $ ` " and itself literal. An interactive bash
        // still expands history after "!" there, so a text with one leaves the quotes.
        if (text.find('!') != std::string::npos || !typeableThroughout(text, localeIsUtf8()))
            return "\"" + shellWord(text) + "\"";
        std::string escaped;
        for (char c : text) {
            if (c == '$' || c == '`' || c == '"' || c == '\\')
                escaped += '\\';
            escaped += c;
        }
        return escaped;
    }
    }
    return shellWord(text);
}
