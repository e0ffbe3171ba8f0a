// The small file-system steps that storing a file is made of (see filesteps.h).
#include "toolkit/filesteps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

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

} // namespace

namespace filesteps {

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

std::string absolutePathOf(const std::string &path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return path;
    return std::string(buffer) + "/" + path;
}

bool copyFileBytes(int from, int to, off_t length)
{
    off_t in = 0, out = 0;
    // Within one file system the kernel copies (or shares) the blocks itself.
    while (in < length) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<std::size_t>(length - in), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP))
            break;
        if (n < 0)
            return false;
        if (n == 0)
            return true; // the file shrank meanwhile
    }
    std::vector<char> buffer(1 << 20);
    while (in < length) {
        const off_t piece = std::min<off_t>(length - in, static_cast<off_t>(buffer.size()));
        const ssize_t n = ::pread(from, buffer.data(), static_cast<std::size_t>(piece), in);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAllAt(to, buffer.data(), static_cast<std::size_t>(n), out))
            return false;
        in += n;
        out += n;
    }
    return true;
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

int failedStepError()
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

} // namespace filesteps
