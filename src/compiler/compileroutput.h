#pragma once
// The output of one compile, as read from the pipe: an ordered list of pieces, kept as bytes
// exactly as read (NUL bytes and multi-byte characters split between two reads included), so
// that the joined text and the results pane hold the same bytes at the same positions.
//
// The pieces are stored one after the other in one text, so that the whole output is at hand
// when the compile ends without copying a long output in one go at that moment.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CompilerOutputChunks {
public:
    void clear();
    void append(const char *bytes, std::size_t count);
    void append(const std::string &piece) { append(piece.data(), piece.size()); }

    std::size_t pieceCount() const { return pieceEnds_.size(); }
    std::string_view piece(std::size_t index) const;
    std::size_t byteCount() const { return text_.size(); }

    // All pieces in order, as one text: what becomes `compilerOutput`.
    std::string join() const { return text_; }
    // The same, handed over without a copy; the list is empty afterwards.
    std::string takeText();

private:
    std::string text_;
    std::vector<std::size_t> pieceEnds_;
};
