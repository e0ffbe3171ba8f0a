// The directory typed after "cd ": as it is when the shell reads every character literally,
// otherwise quoted so that no character of a directory's name can run anything.
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

// Bytes that can be typed between single quotes. Control characters cannot: the terminal's line
// discipline and the shell's line editor act on them (an interrupt would end the quoted word and
// let the rest of the name be read as a command). Other bytes above ASCII only in a UTF-8 locale
// and as valid UTF-8 without C1 controls; otherwise the line editor may read them as meta keys.
bool typeableInQuotes(const std::string &text)
{
    bool ascii = true;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (!printableAscii(c))
                return false;
            continue;
        }
        ascii = false;
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F)
            return false;
    }
    return ascii || (localeIsUtf8() && isValidUtf8(text.data(), text.size()));
}

std::string singleQuoted(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// Every byte the shell could not be given as typed becomes an octal escape of printf, which
// rebuilds the text (a leading '-' too, which printf would take for an option). The substitution would cut off final newlines: those follow it as newlines
// between single quotes, which the shell reads as part of the word (it asks for the rest of the
// quoted text on the next line), so the word is the text exactly.
std::string printfRebuilt(const std::string &text)
{
    const std::size_t kept = text.find_last_not_of('\n') + 1; // 0 when all are newlines
    std::string format;
    for (std::size_t i = 0; i < kept; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '%')
            format += "%%";
        else if (printableAscii(c) && c != '\\' && c != '\'' && !(i == 0 && c == '-'))
            format += text[i]; // a format that began with '-' would be read as an option
        else {
            char escape[6];
            std::snprintf(escape, sizeof escape, "\\%03o", c);
            format += escape;
        }
    }
    std::string word = kept > 0 ? "\"$(printf '" + format + "')\"" : std::string();
    if (kept < text.size())
        word += "'" + text.substr(kept) + "'";
    return word;
}

} // namespace

std::string shellWord(const std::string &text)
{
    bool literal = !text.empty();
    for (unsigned char c : text)
        literal = literal && readLiterally(c);
    if (literal)
        return text;
    if (typeableInQuotes(text))
        return singleQuoted(text);
    return printfRebuilt(text);
}
