#include "toolkit/safefile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

std::string directoryOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAllAt(int fd, const char *bytes, std::size_t length, off_t offset)
{
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, bytes, length, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
        offset += n;
    }
    return true;
}

// Reads the file's first `length` bytes (fewer if it is shorter). False, with errno set, when a
// read fails or there is no memory for the bytes.
bool readAllAt(int fd, std::string &bytes, std::size_t length)
{
    try {
        bytes.resize(length);
    } catch (const std::bad_alloc &) {
        errno = ENOMEM;
        return false;
    }
    std::size_t used = 0;
    while (used < length) {
        const ssize_t n = ::pread(fd, &bytes[used], length - used, static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break; // the file shrank meanwhile
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return true;
}

// The errno value of the step that just failed (never 0).
int lastError()
{
    return errno != 0 ? errno : EIO;
}

void syncDirectoryOf(const std::string &path)
{
    const int directory = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

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
        const int error = lastError();
        ::close(fd);
        ::unlink(target.c_str());
        return error;
    }
    if (::close(fd) != 0) {
        const int error = lastError();
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

// Gives the new file the old one's owner and group. False when the process may not.
bool keepOwnerAndGroup(int fd, const struct stat &old)
{
    struct stat made;
    if (::fstat(fd, &made) != 0)
        return false;
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid)
        return true;
    if (made.st_uid != old.st_uid)
        return ::fchown(fd, old.st_uid, old.st_gid) == 0;
    return ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

// The names of the extended attributes of `path` (ACLs are among them), or of the open `fd`
// when it is not -1. False when they cannot be listed.
bool listAttributes(const std::string &path, int fd, std::vector<std::string> &names)
{
    names.clear();
    for (;;) {
        ssize_t size = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::listxattr(path.c_str(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        std::string list(static_cast<std::size_t>(size), '\0');
        size = fd >= 0 ? ::flistxattr(fd, &list[0], list.size()) : ::listxattr(path.c_str(), &list[0], list.size());
        if (size < 0 && errno == ERANGE)
            continue; // an attribute came meanwhile
        if (size < 0)
            return false;
        list.resize(static_cast<std::size_t>(size));
        for (std::size_t at = 0; at < list.size(); at += std::strlen(&list[at]) + 1)
            names.emplace_back(&list[at]);
        return true;
    }
}

// Gives the new file `to` exactly the extended attributes of the old file `from`: a default ACL
// of the folder that the new file took on is removed again. False when one cannot be copied.
bool copyExtendedAttributes(const std::string &from, int to)
{
    std::vector<std::string> names, present;
    if (!listAttributes(from, -1, names) || !listAttributes(std::string(), to, present))
        return false;
    for (const std::string &name : present)
        if (std::find(names.begin(), names.end(), name) == names.end() && ::fremovexattr(to, name.c_str()) != 0)
            return false;
    for (const std::string &name : names) {
        ssize_t length = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
        if (length < 0)
            return false;
        std::string value(static_cast<std::size_t>(length), '\0');
        length = ::getxattr(from.c_str(), name.c_str(), &value[0], value.size());
        if (length < 0 || ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(length), 0) != 0)
            return false;
    }
    return true;
}

// The usual store: a new file in the same folder, given the old one's owner, group, permissions
// and extended attributes, written and synced, then renamed over the old one, so that the name
// always holds a whole file.
int replaceByRename(const std::string &target, const struct stat &st, const char *bytes, std::size_t length)
{
    if (st.st_nlink > 1)
        return storeInPlaceInstead; // a rename would part this name from the file's other names
    std::string temporary = directoryOf(target) + "/." + baseNameOf(target).substr(0, 200) + ".tsl-XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return storeInPlaceInstead;
    int result = 0;
    if (!keepOwnerAndGroup(fd, st) || ::fchmod(fd, st.st_mode & 07777) != 0 ||
        !copyExtendedAttributes(target, fd))
        result = storeInPlaceInstead;
    else if (!writeAllAt(fd, bytes, length, 0))
        result = errno == ENOSPC || errno == EDQUOT ? storeInPlaceInstead : lastError();
    else if (::fsync(fd) != 0)
        result = lastError();
    if (::close(fd) != 0 && result == 0)
        result = lastError();
    if (result == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        result = storeInPlaceInstead; // a file mounted on its own (EBUSY), a sticky folder, ...
    if (result != 0) {
        ::unlink(temporary.c_str());
        return result;
    }
    syncDirectoryOf(target);
    return 0;
}

// Writes the bytes into the old file itself, which keeps everything the file is. Space for the
// new length is reserved first, so that a full disk fails before a byte changes; the old bytes
// are kept in memory until the new ones are written and synced, and written back when a step
// fails, so that the file ends whole, old or new.
int storeInPlace(int fd, bool readable, const struct stat &st, const char *bytes, std::size_t length)
{
    std::string oldBytes;
    if (readable && !readAllAt(fd, oldBytes, static_cast<std::size_t>(st.st_size)))
        return lastError();
    if (static_cast<off_t>(length) > st.st_size &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return lastError();
    if (writeAllAt(fd, bytes, length, 0) && ::ftruncate(fd, static_cast<off_t>(length)) == 0 && ::fsync(fd) == 0)
        return 0;
    const int error = lastError();
    if (readable && writeAllAt(fd, oldBytes.data(), oldBytes.size(), 0))
        if (::ftruncate(fd, static_cast<off_t>(oldBytes.size())) == 0)
            ::fsync(fd);
    return error;
}

} // namespace

int storeFileSafely(const std::string &name, const char *bytes, std::size_t length)
{
    if (name.empty())
        return ENOENT;
    std::string target;
    if (const int error = followLinks(name, target))
        return error;

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

    int result = replaceByRename(target, st, bytes, length);
    if (result == storeInPlaceInstead)
        result = fd >= 0 ? storeInPlace(fd, readable, st, bytes, length) : ETXTBSY;
    if (fd >= 0)
        ::close(fd);
    return result;
}
