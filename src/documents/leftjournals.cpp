// Finding the journals that a tsl which ended without saving left for a file.
#include "documents/leftjournals.h"

#include "documents/recoveryjournal.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The whole file; false when it cannot be read.
bool readWhole(const std::string &path, std::string &bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    bytes.clear();
    if (ok)
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    while (ok) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return ok;
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::string absolutePathOf(const std::string &name)
{
    if (name.empty())
        return name;
    if (char *resolved = realpath(name.c_str(), nullptr)) {
        std::string path = resolved;
        free(resolved);
        return path;
    }
    if (name[0] == '/')
        return name;
    char directory[PATH_MAX];
    return getcwd(directory, sizeof directory) ? std::string(directory) + "/" + name : name;
}

std::string journalStem(const std::string &absolutePath)
{
    char stem[17];
    snprintf(stem, sizeof stem, "%016llx",
             static_cast<unsigned long long>(contentHash(absolutePath.data(), absolutePath.size())));
    return stem;
}

std::uint64_t startTimeFromStat(std::string_view stat)
{
    // "pid (name) state ppid ...": the name may hold anything, so the fields are counted from the
    // last ')'; the start time is the 22nd field, the 20th after the name.
    const std::size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return 0;
    std::size_t at = close + 1;
    for (int field = 0; field < 20; ++field) {
        while (at < stat.size() && stat[at] == ' ')
            ++at;
        if (field == 19)
            break;
        while (at < stat.size() && stat[at] != ' ')
            ++at;
    }
    std::uint64_t value = 0;
    bool digits = false;
    for (; at < stat.size() && stat[at] >= '0' && stat[at] <= '9'; ++at, digits = true)
        value = value * 10 + static_cast<std::uint64_t>(stat[at] - '0');
    return digits ? value : 0;
}

std::uint64_t processStartTime(long pid)
{
    if (pid <= 0)
        return 0;
    std::string stat;
    if (!readWhole("/proc/" + std::to_string(pid) + "/stat", stat))
        return 0;
    return startTimeFromStat(stat);
}

bool journalWriterRuns(const JournalHeader &header)
{
    if (header.pid <= 0)
        return false;
    const std::uint64_t started = processStartTime(header.pid);
    if (started != 0)
        return started == header.processStart; // another process may have the number now
    // Without /proc: whether a process of that number exists at all.
    return kill(static_cast<pid_t>(header.pid), 0) == 0 || errno == EPERM;
}

std::vector<LeftJournal> journalsLeftFor(const std::string &name)
{
    std::vector<LeftJournal> left;
    const std::string directory = recoveryDirectory();
    const std::string file = absolutePathOf(name);
    const std::string stem = journalStem(file) + "-";
    DIR *folder = opendir(directory.c_str());
    if (!folder)
        return left;
    std::vector<std::pair<long long, LeftJournal>> found;
    while (const dirent *entry = readdir(folder)) {
        const std::string entryName = entry->d_name;
        if (entryName.compare(0, stem.size(), stem) != 0 || !endsWith(entryName, ".journal"))
            continue;
        LeftJournal journal;
        journal.path = directory + "/" + entryName;
        std::string bytes;
        struct stat status;
        if (!readWhole(journal.path, bytes) || stat(journal.path.c_str(), &status) != 0 ||
            !readJournal(bytes, journal.header, journal.records) || journal.header.file != file ||
            journalWriterRuns(journal.header))
            continue;
        const long long modified = static_cast<long long>(status.st_mtim.tv_sec) * 1000000000LL + status.st_mtim.tv_nsec;
        found.emplace_back(modified, std::move(journal));
    }
    closedir(folder);
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (auto &entry : found)
        left.push_back(std::move(entry.second));
    return left;
}

std::string baseCopyPath(const LeftJournal &journal)
{
    if (journal.header.baseCopy.empty() || journal.header.baseCopy.find('/') != std::string::npos)
        return std::string();
    const std::size_t slash = journal.path.rfind('/');
    return journal.path.substr(0, slash == std::string::npos ? 0 : slash + 1) + journal.header.baseCopy;
}

void removeLeftJournal(const LeftJournal &journal)
{
    const std::string copy = baseCopyPath(journal);
    if (!copy.empty())
        unlink(copy.c_str());
    unlink(journal.path.c_str());
}
