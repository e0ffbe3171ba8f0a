// Writing the recovery journals: one per pane, from the notifier's timers, in slices.
#include "documents/recoveryjournal.h"

#include "documents/leftjournals.h"
#include "toolkit/editjournal.h"
#include "toolkit/notifier.h"
#include "toolkit/textpane.h"

#include <QObject>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <map>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long firstWriteDelayMs = 1000; // after the first change not yet written
constexpr long nextSliceDelayMs = 5;     // while a long write or copy goes on
constexpr long retryDelayMs = 2000;      // after a write that failed (a full disk)
constexpr std::size_t sliceBytes = 4 << 20;
// A larger stored file gets no copy: its edits are recovered only while the file is unchanged.
constexpr std::uint64_t largestBaseCopy = 512ULL << 20;

bool writeBytes(int fd, const char *bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = write(fd, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool makeDirectories(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

// Said once per run: the folder of the journals cannot be written.
void reportUnwritableFolder(const std::string &folder)
{
    static bool reported = false;
    if (reported)
        return;
    reported = true;
    fprintf(stderr, "tsl: cannot keep recovery journals in %s: %s\n", folder.c_str(), strerror(errno));
}

std::uint64_t ownStartTime()
{
    static const std::uint64_t started = processStartTime(getpid());
    return started;
}

class RecoveryJournal {
public:
    explicit RecoveryJournal(TextPane *pane) : pane_(pane)
    {
        recorder_.setWake([this] { wake(); });
    }
    ~RecoveryJournal()
    {
        notify_set_itimer_func(this, nullptr, ITIMER_REAL, nullptr, nullptr);
        removeFiles();
        if (!adoptedCopy_.empty())
            unlink(adoptedCopy_.c_str());
    }
    RecoveryJournal(const RecoveryJournal &) = delete;
    RecoveryJournal &operator=(const RecoveryJournal &) = delete;

    EditRecorder *recorder() { return &recorder_; }
    const std::string &path() const { return journalPath_; }

    // Everything recorded so far goes out now; a copy of the stored file goes on in slices.
    void writeAll()
    {
        while (step()) {
            if (recorder_.pending().empty()) {
                schedule(nextSliceDelayMs);
                break;
            }
        }
    }
    // The files go, and nothing more is written until the text is its saved text again: what
    // was recorded before is no longer on disk, so later records would apply to nothing.
    void discard()
    {
        notify_set_itimer_func(this, nullptr, ITIMER_REAL, nullptr, nullptr);
        removeFiles();
        pane_->settleEdits();
        recorder_.taken(recorder_.pending().size());
        blind_ = true;
    }
    void adoptCopy(const std::string &path)
    {
        if (!adoptedCopy_.empty())
            unlink(adoptedCopy_.c_str());
        adoptedCopy_ = path;
    }

private:
    static NotifyValue onTimer(NotifyClient client, int)
    {
        auto *journal = static_cast<RecoveryJournal *>(const_cast<void *>(client));
        journal->timerSet_ = false;
        if (journal->step())
            journal->schedule(nextSliceDelayMs);
        return NOTIFY_DONE;
    }

    void schedule(long milliseconds)
    {
        if (timerSet_)
            return;
        struct itimerval once {};
        once.it_value.tv_sec = milliseconds / 1000;
        once.it_value.tv_usec = (milliseconds % 1000) * 1000;
        notify_set_itimer_func(this, onTimer, ITIMER_REAL, &once, nullptr);
        timerSet_ = true;
    }

    // Records arrived while none were pending, or the text is its saved text again.
    void wake()
    {
        if (!recorder_.recordedSinceRestart()) {
            removeFiles();
            blind_ = false;
            return;
        }
        if (!blind_)
            schedule(firstWriteDelayMs);
    }

    // One slice of work; returns whether more is left for another slice.
    bool step()
    {
        pane_->settleEdits();
        if (!recorder_.recordedSinceRestart() || blind_) {
            if (!blind_)
                removeFiles();
            return false;
        }
        if (pane_->fileName().empty()) {
            // A text of no file has nothing to be recovered for.
            removeFiles();
            recorder_.taken(recorder_.pending().size());
            return false;
        }
        if (journalFd_ < 0 || generation_ != recorder_.generation()) {
            removeFiles();
            if (!openJournal()) {
                schedule(retryDelayMs);
                return false;
            }
        }
        const std::string_view pending = recorder_.pending();
        if (!pending.empty()) {
            const std::string frame = journalEditFrame(pending.substr(0, std::min(pending.size(), sliceBytes)));
            if (!writeBytes(journalFd_, frame.data(), frame.size())) {
                // Cut back to the last whole frame and try again later; when even that fails the
                // journal cannot be trusted and goes.
                if (ftruncate(journalFd_, static_cast<off_t>(journalSize_)) != 0) {
                    removeFiles();
                    blind_ = true;
                    return false;
                }
                schedule(retryDelayMs);
                return false;
            }
            // Started on its way to the disk without waiting for it.
            sync_file_range(journalFd_, static_cast<off_t>(journalSize_), static_cast<off_t>(frame.size()),
                            SYNC_FILE_RANGE_WRITE);
            journalSize_ += frame.size();
            recorder_.taken(std::min(pending.size(), sliceBytes));
        }
        copySlice();
        return !recorder_.pending().empty() || copyTo_ >= 0;
    }

    bool openJournal()
    {
        const std::string directory = recoveryDirectory();
        if (!makeDirectories(directory)) {
            reportUnwritableFolder(directory);
            return false;
        }
        static unsigned serial = 0;
        const std::string file = absolutePathOf(pane_->fileName());
        const std::string name = journalStem(file) + "-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
        journalPath_ = directory + "/" + name + ".journal";
        basePath_ = directory + "/" + name + ".base";
        JournalHeader header;
        header.pid = getpid();
        header.processStart = ownStartTime();
        header.file = file;
        header.stored = pane_->fileStamp();
        if (startBaseCopy())
            header.baseCopy = name + ".base";
        journalFd_ = open(journalPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        const std::string start = journalStart(header);
        if (journalFd_ < 0 || !writeBytes(journalFd_, start.data(), start.size())) {
            reportUnwritableFolder(directory);
            removeFiles();
            return false;
        }
        journalSize_ = start.size();
        generation_ = recorder_.generation();
        return true;
    }

    // Keeps the text the records apply to beside the journal: a copy adopted from a recovered
    // journal, or a copy of the stored file while it is still the one loaded or stored (a
    // clone where the file system can make one, else copied in slices). No stored file: an
    // empty copy. Returns whether there is (or will be) a copy.
    bool startBaseCopy()
    {
        if (!adoptedCopy_.empty()) {
            const bool moved = rename(adoptedCopy_.c_str(), basePath_.c_str()) == 0;
            adoptedCopy_.clear();
            return moved;
        }
        const FileStamp &stored = pane_->fileStamp();
        if (stored.exists && stored.size > largestBaseCopy)
            return false;
        const int from = stored.exists ? open(pane_->fileName().c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
        struct stat status;
        if (stored.exists && (from < 0 || fstat(from, &status) != 0 || !fileStampOf(status).sameStatus(stored))) {
            if (from >= 0)
                close(from);
            return false;
        }
        const int to = open(basePath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (to < 0) {
            if (from >= 0)
                close(from);
            return false;
        }
        if (from < 0 || ioctl(to, FICLONE, from) == 0) {
            if (from >= 0)
                close(from);
            close(to);
            return true;
        }
        copyFrom_ = from;
        copyTo_ = to;
        copied_ = 0;
        copyLength_ = stored.size;
        return true;
    }

    void copySlice()
    {
        if (copyTo_ < 0)
            return;
        std::size_t budget = sliceBytes;
        bool failed = false;
        while (budget > 0 && copied_ < copyLength_) {
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(budget, copyLength_ - copied_));
            ssize_t n = copy_file_range(copyFrom_, nullptr, copyTo_, nullptr, wanted, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                char buffer[65536];
                n = read(copyFrom_, buffer, std::min(wanted, sizeof buffer));
                if (n > 0 && !writeBytes(copyTo_, buffer, static_cast<std::size_t>(n)))
                    n = -1;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failed = n < 0; // a file that shrank ends the copy; the hash tells at recovery
                break;
            }
            copied_ += static_cast<std::uint64_t>(n);
            budget -= static_cast<std::size_t>(n);
        }
        if (failed || copied_ >= copyLength_ || budget > 0) {
            close(copyFrom_);
            close(copyTo_);
            copyFrom_ = copyTo_ = -1;
            if (failed)
                unlink(basePath_.c_str());
        }
    }

    void removeFiles()
    {
        if (copyTo_ >= 0) {
            close(copyFrom_);
            close(copyTo_);
            copyFrom_ = copyTo_ = -1;
        }
        if (journalFd_ >= 0) {
            close(journalFd_);
            journalFd_ = -1;
        }
        if (!journalPath_.empty()) {
            unlink(journalPath_.c_str());
            unlink(basePath_.c_str());
        }
        journalPath_.clear();
        basePath_.clear();
    }

    TextPane *pane_;
    EditRecorder recorder_;
    bool timerSet_ = false;
    bool blind_ = false;
    std::string journalPath_;
    std::string basePath_;
    int journalFd_ = -1;
    std::size_t journalSize_ = 0;
    std::uint64_t generation_ = 0;
    int copyFrom_ = -1;
    int copyTo_ = -1;
    std::uint64_t copied_ = 0;
    std::uint64_t copyLength_ = 0;
    std::string adoptedCopy_;
};

// Never destroyed: a program that ends without QUIT (a lost X connection ends it through exit)
// leaves its journals for the next start.
auto &journals = *new std::map<TextPane *, std::unique_ptr<RecoveryJournal>>;

RecoveryJournal *journalOf(TextPane *pane)
{
    const auto found = journals.find(pane);
    return found == journals.end() ? nullptr : found->second.get();
}

} // namespace

std::string recoveryDirectory()
{
    const char *state = getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tsl";
    const char *home = getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/tsl";
}

void startRecoveryJournal(TextPane *pane)
{
    if (!pane || journalOf(pane))
        return;
    auto journal = std::make_unique<RecoveryJournal>(pane);
    if (!pane->setEditRecorder(journal->recorder()))
        return;
    journals[pane] = std::move(journal);
    // A pane that is deleted takes its journal with it (the pane is gone by then: the journal
    // only removes its files).
    QObject::connect(pane, &QObject::destroyed, [pane] { journals.erase(pane); });
}

void stopRecoveryJournal(TextPane *pane)
{
    if (!journalOf(pane))
        return;
    pane->setEditRecorder(nullptr);
    journals.erase(pane);
}

void discardRecoveryJournals()
{
    for (auto &entry : journals)
        entry.second->discard();
}

void writeRecoveryJournal(TextPane *pane)
{
    if (RecoveryJournal *journal = journalOf(pane))
        journal->writeAll();
}

void adoptRecoveryBaseCopy(TextPane *pane, const std::string &path)
{
    if (RecoveryJournal *journal = journalOf(pane))
        journal->adoptCopy(path);
}

std::string recoveryJournalPath(TextPane *pane)
{
    const RecoveryJournal *journal = journalOf(pane);
    return journal ? journal->path() : std::string();
}
