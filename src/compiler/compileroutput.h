#pragma once
// The output of one compile, as read from the pipe: an ordered list of pieces, kept as bytes
// exactly as read (NUL bytes and multi-byte characters split between two reads included), so
// that the joined text and the results pane hold the same bytes at the same positions.

#include <cstddef>
#include <string>
#include <vector>

class CompilerOutputChunks {
public:
    void clear();
    void append(const char *bytes, std::size_t count);
    void append(const std::string &piece) { append(piece.data(), piece.size()); }

    std::size_t pieceCount() const { return pieces_.size(); }
    const std::string &piece(std::size_t index) const { return pieces_[index]; }
    std::size_t byteCount() const { return byteCount_; }

    // All pieces in order, as one text: what becomes `compilerOutput`.
    std::string join() const;

private:
    std::vector<std::string> pieces_;
    std::size_t byteCount_ = 0;
};
