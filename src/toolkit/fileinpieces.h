#pragma once
// A file read in pieces of a fixed size, so that loading never holds a second whole copy of the
// text beside the pane's own; the file's stamp and the hash of its bytes come with the reading.
#include "toolkit/filestamp.h"
#include "toolkit/safefile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class FileInPieces {
public:
    // Scintilla counts positions in an int.
    static constexpr long longestText = INT_MAX - 1;

    FileInPieces() : buffer_(256 * 1024) {}
    ~FileInPieces()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileInPieces(const FileInPieces &) = delete;
    FileInPieces &operator=(const FileInPieces &) = delete;

    // Opens a regular file of at most `longestText` bytes; returns 0 or a TextswStatus code.
    // Directories, pipes and devices are refused: reading them could block the window or
    // never end. Opening does not wait either (a named pipe without a writer would).
    int open(const std::string &name)
    {
        if (name.empty())
            return TEXTSW_STATUS_BAD_ATTR_VALUE;
        fd_ = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0)
            return TEXTSW_STATUS_CANNOT_OPEN_INPUT;
        struct stat st;
        if (::fstat(fd_, &st) != 0)
            return TEXTSW_STATUS_OTHER_ERROR;
        if (!S_ISREG(st.st_mode))
            return TEXTSW_STATUS_CANNOT_OPEN_INPUT;
        if (st.st_size > longestText)
            return TEXTSW_STATUS_OUT_OF_MEMORY;
        size_ = static_cast<long>(st.st_size);
        stamp_ = fileStampOf(st);
        return TEXTSW_STATUS_OKAY;
    }
    long size() const { return size_; }
    // The file as opened, with the hash of every byte read (once all were read).
    FileStamp stamp() const
    {
        FileStamp stamp = stamp_;
        stamp.hashed = true;
        stamp.hash = hash_.value();
        return stamp;
    }
    // A file that grew past the longest text while it was read.
    bool tooLong() const { return tooLong_; }

    long next(const char **piece)
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return -1;
            read_ += n;
            if (read_ > longestText) {
                tooLong_ = true;
                return -1;
            }
            hash_.feed(buffer_.data(), static_cast<std::size_t>(n));
            *piece = buffer_.data();
            return static_cast<long>(n);
        }
    }

private:
    int fd_ = -1;
    long size_ = 0;
    long read_ = 0;
    bool tooLong_ = false;
    std::vector<char> buffer_;
    FileStamp stamp_;
    ContentHash hash_;
};
