// The quoting of texts typed into the user's shell ("cd" to a directory, grep strings) on any
// bytes but NUL: a real sh given the quoted word must get back exactly the original bytes, and
// nothing may run (no command is found on its PATH, and a builtin would change the output).
// Checked in the C locale and in a UTF-8 one, which quote bytes above ASCII differently.
#include "documents/documentactions.h"
#include "fuzzcheck.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct ShellResult {
    std::string output, errors;
    int status = -1;
};

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    // libFuzzer's timeout alarm interrupts reads and waits: they are taken up again.
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

// sh -c 'printf %s WORD', with no PATH to find commands on.
ShellResult runShell(const std::string &word, const char *locale)
{
    const std::string script = "printf %s " + word;
    const std::string lcAll = std::string("LC_ALL=") + locale;
    char *const argv[] = {const_cast<char *>("sh"), const_cast<char *>("-c"), const_cast<char *>(script.c_str()), nullptr};
    char *const envp[] = {const_cast<char *>("PATH=/nonexistent"), const_cast<char *>(lcAll.c_str()), nullptr};
    int out[2], err[2];
    FUZZ_CHECK(pipe(out) == 0 && pipe(err) == 0, "pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    FUZZ_CHECK(spawned == 0, "cannot start /bin/sh");
    ShellResult result;
    // The word is short; sh writes little to standard error, so reading one after the other
    // cannot block.
    result.output = readAll(out[0]);
    result.errors = readAll(err[0]);
    close(out[0]);
    close(err[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

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
