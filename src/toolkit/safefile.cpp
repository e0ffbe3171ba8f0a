// Storing a file safely (see safefile.h): a new file renamed over the old one, or the bytes
// written into the old file itself, with the '%' copy of the version replaced.
#include "toolkit/safefile.h"

#include "toolkit/filesteps.h"
#include "toolkit/storecopies.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace filesteps;

namespace {

// The file that `name` stands for: symbolic links are followed, also one that names a file not
// there yet (the store then creates that file and the link stays a link). Returns 0 or errno.
int followLinks(const std::string &name, std::string &target)
{
    target = name;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return 0;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), &link[0], link.size());
        if (n < 0)
            return errno;
        if (static_cast<std::size_t>(n) == link.size())
            return ENAMETOOLONG; // the link changed while being read
        link.resize(static_cast<std::size_t>(n));
        target = link[0] == '/' ? link : directoryOf(target) + "/" + link;
    }
    return ELOOP;
}

// A file that does not exist yet: created with the permissions a new file gets (umask, a default
// ACL of the folder), written and synced; removed again when that fails.
int storeNewFile(const std::string &target, const char *bytes, std::size_t length)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    if (!writeAllAt(fd, bytes, length, 0) || ::fsync(fd) != 0) {
        const int error = failedStepError();
        ::close(fd);
        ::unlink(target.c_str());
        return error;
    }
    if (::close(fd) != 0) {
        const int error = failedStepError();
        ::unlink(target.c_str());
        return error;
    }
    syncDirectoryOf(target);
    return 0;
}

// Returned by replaceByRename when a new file renamed over the old one would not keep what the
// old one is (its owner, group, other names or extended attributes), or cannot be put there
// (no new file may be made in the folder, the rename is refused): the bytes then go in place.
constexpr int storeInPlaceInstead = -1;

// The state of the '%' copy while a store runs: not kept yet, else 0 or why it could not be.
constexpr int copyNotKeptYet = -1;

// The usual store: a new file in the same folder, given the old one's owner, group, permissions
// and extended attributes, written and synced; the old file is kept under `copyName`, then the
// new one is renamed over it, so that both names always hold a whole file.
int replaceByRename(const std::string &target, const struct stat &st, const char *bytes, std::size_t length,
                    const std::string &copyName, int &copyError)
{
    if (st.st_nlink > 1)
        return storeInPlaceInstead; // a rename would part this name from the file's other names
    std::string temporary = temporaryNameBeside(target);
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return storeInPlaceInstead;
    int result = 0;
    if (!keepOwnerAndGroup(fd, st) || ::fchmod(fd, st.st_mode & 07777) != 0 ||
        !copyExtendedAttributes(target, fd))
        result = storeInPlaceInstead;
    else if (!writeAllAt(fd, bytes, length, 0))
        result = errno == ENOSPC || errno == EDQUOT ? storeInPlaceInstead : failedStepError();
    else if (::fsync(fd) != 0)
        result = failedStepError();
    if (::close(fd) != 0 && result == 0)
        result = failedStepError();
    if (result == 0) {
        storeStep("temporary written");
        copyError = keepPreviousVersion(target, st, copyName, true);
        storeStep("previous version kept");
        if (::rename(temporary.c_str(), target.c_str()) != 0) {
            result = storeInPlaceInstead; // a file mounted on its own (EBUSY), a sticky folder, ...
            // The copy may be a second name of the file that is now written in place.
            copyError = copyNotKeptYet;
        }
    }
    if (result != 0) {
        ::unlink(temporary.c_str());
        return result;
    }
    syncDirectoryOf(target);
    return 0;
}

// Writes the bytes into the old file itself, which keeps everything the file is. Its old text
// is first kept whole on disk with a record of the store (StoreInProgress), so that a process
// killed part way leaves it for the next start. Space for the new length is reserved before a
// byte changes, so that a full disk fails first; the old bytes are also kept in memory until the
// new ones are written and synced, and written back when a step fails, so that the file ends
// whole, old or new.
int storeInPlace(const std::string &target, int fd, bool readable, const struct stat &st, const char *bytes,
                 std::size_t length, const std::string &copyName, int &copyError)
{
    std::string oldBytes;
    if (readable && !readAllAt(fd, oldBytes, static_cast<std::size_t>(st.st_size)))
        return failedStepError();
    StoreInProgress guard(target, st, copyName, copyError);
    storeStep("recorded");
    if (static_cast<off_t>(length) > st.st_size &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return failedStepError();
    const std::size_t half = length / 2;
    if (writeAllAt(fd, bytes, half, 0)) {
        storeStep("half written");
        if (writeAllAt(fd, bytes + half, length - half, static_cast<off_t>(half)) &&
            ::ftruncate(fd, static_cast<off_t>(length)) == 0) {
            storeStep("written");
            if (::fsync(fd) == 0) {
                storeStep("synced");
                return 0;
            }
        }
    }
    const int error = failedStepError();
    if (!readable || !writeAllAt(fd, oldBytes.data(), oldBytes.size(), 0) ||
        ::ftruncate(fd, static_cast<off_t>(oldBytes.size())) != 0 || ::fsync(fd) != 0)
        guard.leaveRecord(); // the file may be damaged: the next start tells where its old text is
    return error;
}

} // namespace

int storeFileSafely(const std::string &name, const char *bytes, std::size_t length, int *copyError)
{
    if (copyError)
        *copyError = 0;
    if (name.empty())
        return ENOENT;
    std::string target;
    if (const int error = followLinks(name, target))
        return error;

    removeLeftoverTemporaries(directoryOf(target));
    if (directoryOf(name) != directoryOf(target))
        removeLeftoverTemporaries(directoryOf(name));

    struct stat st;
    if (::stat(target.c_str(), &st) != 0)
        return errno == ENOENT ? storeNewFile(target, bytes, length) : errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return EINVAL;

    // Opening the old file for writing is the permission check: a file that may not be written
    // is refused, as writing it would be. A file open for writing cannot be read when it is
    // write-only; a running program's file cannot be opened for writing but can be replaced.
    bool readable = true;
    int fd = ::open(target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) {
        readable = false;
        fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0 && errno != ETXTBSY)
        return errno;
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return EINVAL;
    }

    // The copy of the version that is replaced goes beside the name the user knows, even when
    // that is a link to a file elsewhere: it is where Diff looks for it.
    const std::string copyName = name + "%";
    int copyResult = copyNotKeptYet;
    int result = replaceByRename(target, st, bytes, length, copyName, copyResult);
    if (result == storeInPlaceInstead)
        result = fd >= 0 ? storeInPlace(target, fd, readable, st, bytes, length, copyName, copyResult) : ETXTBSY;
    if (fd >= 0)
        ::close(fd);
    if (result == 0 && copyError)
        *copyError = copyResult == copyNotKeptYet ? EIO : copyResult;
    return result;
}
