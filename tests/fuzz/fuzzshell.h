#pragma once
// Running a word or a command line through a real sh for the fuzz targets that quote for it:
// sh -c 'printf FORMAT WORDS', with no PATH to find commands on, in a given locale.
#include "fuzzcheck.h"

#include <cerrno>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct ShellResult {
    std::string output, errors;
    int status = -1;
};

inline std::string readAll(int fd)
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

// sh -c 'printf FORMAT ARGUMENTS', with no PATH to find commands on.
inline ShellResult runShell(const std::string &arguments, const char *locale, const char *format = "%s")
{
    const std::string script = std::string("printf ") + format + " " + arguments;
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

