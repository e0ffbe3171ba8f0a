#pragma once
// The output of one compile, as read from the pipe: an ordered list of pieces, kept as bytes
// exactly as read (NUL bytes and multi-byte characters split between two reads included), so
// that the joined text and the results pane hold the same bytes at the same positions.
//
// The pieces are stored one after the other in one mapped array, which grows without copying
// what it holds, and is handed over whole when the compile ends.

#include "toolkit/mappedarray.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The joined output of a compile.
using CompilerOutputText = MappedArray<char>;

class CompilerOutputChunks {
public:
    void clear();
    // False, with nothing appended, when there is no memory for the piece.
    bool append(const char *bytes, std::size_t count);
    bool append(const std::string &piece) { return append(piece.data(), piece.size()); }

    std::size_t pieceCount() const { return pieceEnds_.size(); }
    std::string_view piece(std::size_t index) const;
    std::size_t byteCount() const { return text_.size(); }

    // All pieces in order, as one text.
    std::string_view joined() const { return textOf(text_); }
    // The same, handed over without a copy: what becomes `compilerOutput`. The list is empty
    // afterwards.
    CompilerOutputText takeText();

private:
    CompilerOutputText text_;
    std::vector<std::size_t> pieceEnds_;
};
