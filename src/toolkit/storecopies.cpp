// The copies a store keeps, its records of stores into a file itself, and its temporary names
// (see storecopies.h); the interrupted stores of safefile.h.
#include "toolkit/storecopies.h"

#include "toolkit/filesteps.h"
#include "toolkit/safefile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

using namespace filesteps;

namespace {

void (*stepHook)(const char *) = nullptr;

constexpr char temporaryMark[] = ".tsl-";
constexpr std::size_t randomLength = 6; // the XXXXXX of mkostemp

// Files of the state folder that are still being written end in this and are locked by their
// writer until they are renamed to their final name.
constexpr char unfinished[] = ".new";
constexpr char recordEnding[] = ".record";

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The process id in a temporary name made by temporaryNameBeside (".NAME.tsl-PID-XXXXXX"), or 0
// when `name` is not one.
long temporaryOwner(const std::string &name)
{
    if (name.size() < 1 + std::strlen(temporaryMark) + 2 + randomLength || name[0] != '.')
        return 0;
    std::size_t at = name.size() - randomLength;
    for (std::size_t i = at; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return 0;
    if (name[--at] != '-')
        return 0;
    const std::size_t digitsEnd = at;
    while (at > 0 && std::isdigit(static_cast<unsigned char>(name[at - 1])))
        --at;
    const std::size_t markLength = std::strlen(temporaryMark);
    if (at == digitsEnd || digitsEnd - at > 9 || at < 1 + markLength ||
        name.compare(at - markLength, markLength, temporaryMark) != 0)
        return 0;
    return std::strtol(name.substr(at, digitsEnd - at).c_str(), nullptr, 10);
}

bool processRuns(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// tsl's state folder: $XDG_STATE_HOME/tsl, else ~/.local/state/tsl ("" when there is no home).
std::string stateDirectory()
{
    const char *state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tsl";
    const char *home = std::getenv("HOME");
    if (!home || !*home) {
        const struct passwd *user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.local/state/tsl" : std::string();
}

// The folder of the records and copies of stores in progress, made (private) when missing.
std::string storesDirectory()
{
    const std::string state = stateDirectory();
    if (state.empty())
        return std::string();
    const std::string stores = state + "/saving";
    for (std::size_t slash = 1; slash != std::string::npos; slash = stores.find('/', slash + 1))
        ::mkdir(stores.substr(0, slash).c_str(), 0700);
    ::mkdir(stores.c_str(), 0700);
    return stores;
}

// Creates a locked, unfinished file named `base`, six random characters and `ending` in the stores
// folder; returns its descriptor and name (the final name + ".new"), or -1 with errno set.
int createUnfinished(const std::string &base, const char *ending, std::string &name)
{
    const std::string directory = storesDirectory();
    if (directory.empty()) {
        errno = ENOENT;
        return -1;
    }
    name = directory + "/" + base + "-XXXXXX" + ending + unfinished;
    const int fd = ::mkostemps(&name[0], static_cast<int>(std::strlen(ending) + std::strlen(unfinished)), O_CLOEXEC);
    if (fd >= 0)
        ::flock(fd, LOCK_EX);
    return fd;
}

// Syncs and closes (unless `keepOpen`) the unfinished file and gives it its final name, which is
// returned ("" with errno set when a step fails; the file is then removed).
std::string finish(int fd, const std::string &name, bool keepOpen)
{
    const std::string final = name.substr(0, name.size() - std::strlen(unfinished));
    bool ok = ::fsync(fd) == 0;
    const int error = errno;
    if (!keepOpen)
        ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(name.c_str(), final.c_str()) == 0) {
        syncDirectoryOf(final);
        return final;
    }
    const int failure = ok ? errno : error;
    ::unlink(name.c_str());
    errno = failure;
    return std::string();
}

// Copies the bytes of `target` to the new file `fd`; false with errno set.
bool copyInto(const std::string &target, const struct stat &st, int fd)
{
    const int source = ::open(target.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0)
        return false;
    const bool copied = copyFileBytes(source, fd, st.st_size);
    const int error = errno;
    ::close(source);
    errno = error;
    return copied;
}

// `copyName` made a second name of `target` through a temporary name beside it.
int linkPreviousVersion(const std::string &target, const std::string &copyName)
{
    for (int tries = 0; tries < 8; ++tries) {
        std::string temporary = temporaryNameBeside(copyName);
        const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
        if (fd < 0)
            return errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        if (::link(target.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        const int renamed = ::rename(temporary.c_str(), copyName.c_str()) == 0 ? 0 : errno;
        // A copy that was already this very file leaves the temporary name in place.
        ::unlink(temporary.c_str());
        if (renamed == 0)
            syncDirectoryOf(copyName);
        return renamed;
    }
    return EEXIST;
}

// A new file beside `copyName` with the old bytes of `target`, its owner, group and mode (only
// the owner's permissions when the group cannot be kept, so that no one reads the copy who
// could not read the file), synced and renamed over `copyName`.
int copyPreviousVersion(const std::string &target, const struct stat &st, const std::string &copyName)
{
    std::string temporary = temporaryNameBeside(copyName);
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return errno;
    mode_t mode = st.st_mode & 07777;
    if (!keepOwnerAndGroup(fd, st) && ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0)
        mode &= 0700;
    int error = 0;
    if (::fchmod(fd, mode) != 0 || !copyInto(target, st, fd) || ::fsync(fd) != 0)
        error = failedStepError();
    else
        copyExtendedAttributes(target, fd); // as far as they can be copied
    if (::close(fd) != 0 && error == 0)
        error = failedStepError();
    if (error == 0 && ::rename(temporary.c_str(), copyName.c_str()) != 0)
        error = failedStepError();
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    syncDirectoryOf(copyName);
    return 0;
}

// A record of the store into `target` whose old text is in `copy`: the two names, each ended by
// a NUL. The returned descriptor keeps it locked while the store runs.
int writeRecord(const std::string &target, const std::string &copy, std::string &record)
{
    std::string name;
    const int fd = createUnfinished("store", recordEnding, name);
    if (fd < 0)
        return -1;
    std::string text = target;
    text += '\0';
    text += copy;
    text += '\0';
    if (!writeAllAt(fd, text.data(), text.size(), 0)) {
        ::close(fd);
        ::unlink(name.c_str());
        return -1;
    }
    record = finish(fd, name, true);
    if (record.empty()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads a record's two names; false when it is not a whole record.
bool readRecord(int fd, InterruptedStore &store)
{
    std::string text;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size > 65536 || !readAllAt(fd, text, static_cast<std::size_t>(st.st_size)))
        return false;
    const std::size_t end = text.find('\0');
    if (end == std::string::npos || end == 0 || text.size() < end + 2 || text.back() != '\0')
        return false;
    store.file = text.substr(0, end);
    store.previousText = text.substr(end + 1, text.size() - end - 2);
    return store.previousText.find('\0') == std::string::npos && !store.previousText.empty();
}

} // namespace

std::string temporaryNameBeside(const std::string &path)
{
    return directoryOf(path) + "/." + baseNameOf(path).substr(0, 200) + temporaryMark + std::to_string(::getpid()) +
           "-XXXXXX";
}

void removeLeftoverTemporaries(const std::string &directory)
{
    DIR *dir = ::opendir(directory.c_str());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const long owner = temporaryOwner(name);
        if (owner <= 0 || owner == ::getpid() || processRuns(owner))
            continue;
        const std::string path = directory + "/" + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

int keepPreviousVersion(const std::string &target, const struct stat &st, const std::string &copyName, bool mayLink)
{
    if (mayLink && linkPreviousVersion(target, copyName) == 0)
        return 0;
    return copyPreviousVersion(target, st, copyName);
}

StoreInProgress::StoreInProgress(const std::string &target, const struct stat &st, const std::string &copyName,
                                 int &copyError)
{
    if (copyError != 0)
        copyError = keepPreviousVersion(target, st, copyName, false);
    if (copyError == 0) {
        storeStep("previous version kept");
        recordFd_ = writeRecord(absolutePathOf(target), absolutePathOf(copyName), record_);
        return;
    }
    // A private copy in the stores folder. The record comes first and names it: a record whose
    // copy was never finished is of a store that had not touched the file yet.
    std::string unfinishedCopy;
    const int fd = createUnfinished(baseNameOf(target).substr(0, 200) + "%", "", unfinishedCopy);
    if (fd < 0)
        return; // nowhere to keep it: the old bytes are kept in memory only
    const std::string copy = unfinishedCopy.substr(0, unfinishedCopy.size() - std::strlen(unfinished));
    recordFd_ = writeRecord(absolutePathOf(target), copy, record_);
    if (recordFd_ >= 0 && copyInto(target, st, fd)) {
        privateCopy_ = finish(fd, unfinishedCopy, false);
    } else {
        ::close(fd);
        ::unlink(unfinishedCopy.c_str());
    }
    if (privateCopy_.empty()) {
        if (recordFd_ >= 0) {
            ::unlink(record_.c_str());
            ::close(recordFd_);
        }
        recordFd_ = -1;
        record_.clear();
        return;
    }
    storeStep("previous version kept");
}

StoreInProgress::~StoreInProgress()
{
    if (!leaveRecord_) {
        if (!record_.empty())
            ::unlink(record_.c_str());
        if (!privateCopy_.empty())
            ::unlink(privateCopy_.c_str());
    }
    if (recordFd_ >= 0)
        ::close(recordFd_);
}

void storeStep(const char *step)
{
    if (stepHook)
        stepHook(step);
}

void setStoreStepHook(void (*hook)(const char *step))
{
    stepHook = hook;
}

std::vector<InterruptedStore> findInterruptedStores()
{
    std::vector<InterruptedStore> found;
    const std::string state = stateDirectory();
    const std::string directory = state + "/saving";
    DIR *dir = state.empty() ? nullptr : ::opendir(directory.c_str());
    if (!dir)
        return found;
    std::vector<std::pair<struct timespec, InterruptedStore>> dated;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name[0] == '.')
            continue;
        const std::string path = directory + "/" + name;
        if (!endsWith(name, recordEnding) && !endsWith(name, unfinished))
            continue; // a copy of an old text that a notice named
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd); // its store still runs
            continue;
        }
        InterruptedStore store;
        store.record = path;
        struct stat copy;
        if (endsWith(name, unfinished) || !readRecord(fd, store) || ::lstat(store.previousText.c_str(), &copy) != 0)
            ::unlink(path.c_str()); // of a store that died before it touched the file
        else
            dated.push_back({st.st_mtim, store});
        ::close(fd);
    }
    ::closedir(dir);
    std::sort(dated.begin(), dated.end(), [](const auto &a, const auto &b) {
        if (a.first.tv_sec != b.first.tv_sec)
            return a.first.tv_sec < b.first.tv_sec;
        if (a.first.tv_nsec != b.first.tv_nsec)
            return a.first.tv_nsec < b.first.tv_nsec;
        return a.second.record < b.second.record;
    });
    for (auto &entry : dated)
        found.push_back(entry.second);
    return found;
}

void forgetInterruptedStore(const InterruptedStore &store)
{
    ::unlink(store.record.c_str());
}
