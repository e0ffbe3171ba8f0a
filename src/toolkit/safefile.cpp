#include "toolkit/safefile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Removes the temporary file after a failed step and returns that step's errno value.
int abandon(const std::string &temporary, int fd)
{
    const int error = errno != 0 ? errno : EIO;
    if (fd >= 0)
        ::close(fd);
    ::unlink(temporary.c_str());
    return error;
}

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

bool writeAll(int fd, const char *bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, bytes, length);
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
    }
    return true;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

int readWholeFile(const std::string &name, std::string &bytes, std::size_t longest)
{
    if (name.empty())
        return TEXTSW_STATUS_BAD_ATTR_VALUE;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return TEXTSW_STATUS_CANNOT_OPEN_INPUT;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return TEXTSW_STATUS_OTHER_ERROR;
    }
    // Directories, pipes and devices are refused: reading a pipe or a device could block the
    // window or never end.
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return TEXTSW_STATUS_CANNOT_OPEN_INPUT;
    }
    if (static_cast<unsigned long long>(st.st_size) > longest) {
        ::close(fd);
        return TEXTSW_STATUS_OUT_OF_MEMORY;
    }
    try {
        bytes.clear();
        // One byte more than the size, so that the end of the file is seen without growing.
        bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
        std::size_t used = 0;
        for (;;) {
            if (used == bytes.size())
                bytes.resize(bytes.size() * 2); // the file grew while being read
            const ssize_t n = ::read(fd, &bytes[used], bytes.size() - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ::close(fd);
                return TEXTSW_STATUS_CANNOT_INSERT_FROM_FILE;
            }
            if (n == 0)
                break;
            used += static_cast<std::size_t>(n);
            if (used > longest) {
                ::close(fd);
                return TEXTSW_STATUS_OUT_OF_MEMORY;
            }
        }
        bytes.resize(used);
    } catch (const std::bad_alloc &) {
        ::close(fd);
        bytes = std::string();
        return TEXTSW_STATUS_CANNOT_ALLOCATE;
    } catch (const std::length_error &) {
        ::close(fd);
        bytes = std::string();
        return TEXTSW_STATUS_CANNOT_ALLOCATE;
    }
    ::close(fd);
    return TEXTSW_STATUS_OKAY;
}

int storeFileSafely(const std::string &name, const char *bytes, std::size_t length)
{
    if (name.empty())
        return ENOENT;

    // Store through a symbolic link into the file that it names.
    std::string target = name;
    struct stat st;
    if (::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char *real = ::realpath(name.c_str(), nullptr);
        if (!real)
            return errno;
        target = real;
        std::free(real);
    }

    bool exists = false;
    if (::stat(target.c_str(), &st) == 0) {
        exists = true;
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        // Renaming would replace a file that may not be written: refuse as writing it would.
        if (::access(target.c_str(), W_OK) != 0)
            return errno;
    } else if (errno != ENOENT) {
        return errno;
    }

    std::string temporary = directoryOf(target) + "/." + baseNameOf(target).substr(0, 200) +
                            ".tsl-XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return errno;

    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~currentUmask());
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
        // Keep the owner where the process may; otherwise the file becomes the user's, and
        // set-id bits are not carried over to a different owner.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0)
            mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
    }

    if (!writeAll(fd, bytes, length) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return abandon(temporary, fd);
    if (::close(fd) != 0)
        return abandon(temporary, -1);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon(temporary, -1);

    // Make the rename itself durable; a failure here no longer endangers the text.
    const int directory = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return 0;
}
