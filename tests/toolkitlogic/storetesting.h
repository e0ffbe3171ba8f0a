#pragma once
// Storing files in tests: a child process that may become an ordinary user or get a small disk of
// its own, or that dies at a named step of a store; and tsl's state folder moved into a temporary
// folder that any user may write.
#include "support/testsupport.h"
#include "toolkit/safefile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <grp.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TSL_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TSL_ADDRESS_SANITIZER)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif

inline constexpr uid_t ordinaryUser = 65534;
inline constexpr uid_t otherOwner = 1234;
inline constexpr gid_t sharedGroup = 4321;

inline int store(const std::string &name, const std::string &bytes)
{
    return storeFileSafely(name, bytes.data(), bytes.size());
}

inline std::vector<std::string> entries(const std::string &directory)
{
    std::vector<std::string> names;
    DIR *dir = opendir(directory.c_str());
    while (dirent *entry = dir ? readdir(dir) : nullptr)
        if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
            names.push_back(entry->d_name);
    if (dir)
        closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

inline struct stat statOf(const std::string &path)
{
    struct stat st {};
    stat(path.c_str(), &st);
    return st;
}

// Runs `body` in a child process and returns what it reports ("" when all went well). As root,
// the child first becomes an ordinary user whose supplementary groups are `groups`, so that
// permissions really refuse; "skip" when that is not possible.
inline std::string inChild(const std::function<std::string()> &body, bool asOrdinaryUser = false,
                           std::vector<gid_t> groups = {})
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string report;
        if (asOrdinaryUser && geteuid() != 0)
            report = "skip";
        else if (asOrdinaryUser && (setgroups(groups.size(), groups.data()) != 0 ||
                                    setresgid(ordinaryUser, ordinaryUser, ordinaryUser) != 0 ||
                                    setresuid(ordinaryUser, ordinaryUser, ordinaryUser) != 0))
            report = "skip";
        else
            report = body();
        if (write(fds[1], report.data(), report.size()) < 0)
            _exit(2);
        _exit(0);
    }
    close(fds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child died";
    return report;
}

// Runs `body` in a child process with its own mount table, in which `directory` is a tmpfs of
// `size`; the mounts go with the child. "skip" when mounting is not allowed.
inline std::string onSmallTmpfs(const std::string &directory, const char *size,
                                const std::function<std::string()> &body)
{
    return inChild([&]() -> std::string {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", directory.c_str(), "tmpfs", 0, size) != 0)
            return "skip";
        return body();
    });
}

inline const char *stopStep = nullptr;

inline void stopAtStep(const char *step)
{
    if (stopStep && std::strcmp(step, stopStep) == 0)
        _exit(99);
}

// Stores `bytes` under `name` in a child process (an ordinary user's when asked) that dies at the
// store's step `step`, as a killed tsl would. True when it died there.
inline bool storeStoppedAt(const char *step, const std::string &name, const std::string &bytes,
                           bool asOrdinaryUser = false)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (asOrdinaryUser && (setgroups(0, nullptr) != 0 || setresgid(ordinaryUser, ordinaryUser, ordinaryUser) != 0 ||
                               setresuid(ordinaryUser, ordinaryUser, ordinaryUser) != 0))
            _exit(98);
        stopStep = step;
        setStoreStepHook(stopAtStep);
        store(name, bytes);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 99;
}

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            return std::string("failed: " #condition " at line ") + std::to_string(__LINE__);     \
    } while (0)

#define EXPECT_CHILD_OK(report)                                                                    \
    do {                                                                                           \
        const std::string r = (report);                                                            \
        if (r == "skip")                                                                           \
            GTEST_SKIP() << "needs root";                                                          \
        EXPECT_EQ(r, "");                                                                          \
    } while (0)

// tsl's state folder ($XDG_STATE_HOME/tsl) lies in a temporary folder for each test.
class StoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char *previous = getenv("XDG_STATE_HOME");
        hadState = previous != nullptr;
        previousState = previous ? previous : "";
        chmod(stateHome.path().c_str(), 0777); // an ordinary user's child stores too
        setenv("XDG_STATE_HOME", stateHome.path().c_str(), 1);
    }
    void TearDown() override
    {
        if (hadState)
            setenv("XDG_STATE_HOME", previousState.c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
    }
    // The folder of the records and copies of stores into a file itself.
    std::string storesFolder() const { return stateHome.path() + "/tsl/saving"; }

    TempDir stateHome;
    bool hadState = false;
    std::string previousState;
};
