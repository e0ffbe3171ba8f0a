// The quoting of texts typed into the user's shell ("cd" to a directory, grep strings) on any
// bytes but NUL: a real sh given the quoted word must get back exactly the original bytes, and
// nothing may run (no command is found on its PATH, and a builtin would change the output).
// Checked in the C locale and in a UTF-8 one, which quote bytes above ASCII differently.
#include "documents/documentactions.h"
#include "fuzzcheck.h"
#include "fuzzshell.h"

#include <clocale>
#include <cstring>
#include <string>

namespace {

void check(const std::string &text, const char *locale)
{
    FUZZ_CHECK(std::setlocale(LC_ALL, locale), "the locale is missing");
    const std::string word = shellWord(text);
    const ShellResult r = runShell(word, locale);
    if (r.output != text || !r.errors.empty() || r.status != 0) {
        std::fprintf(stderr, "locale %s, text [%s], word [%s], sh printed [%s], errors [%s], status %d\n", locale,
                     text.c_str(), word.c_str(), r.output.c_str(), r.errors.c_str(), r.status);
        FUZZ_CHECK(false, "the shell did not get back the text");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (text.empty() || text.size() > 512 || text.find('\0') != std::string::npos)
        return 0; // a name holds no NUL; an empty one is never typed
    check(text, "C");
    check(text, "C.UTF-8");
    return 0;
}
