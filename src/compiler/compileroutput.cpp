#include "compiler/compileroutput.h"

#include <utility>

void CompilerOutputChunks::clear()
{
    text_.clear();
    pieceEnds_.clear();
}

bool CompilerOutputChunks::append(const char *bytes, std::size_t count)
{
    if (!text_.append(bytes, count))
        return false;
    pieceEnds_.push_back(text_.size());
    return true;
}

std::string_view CompilerOutputChunks::piece(std::size_t index) const
{
    const std::size_t start = index == 0 ? 0 : pieceEnds_[index - 1];
    return joined().substr(start, pieceEnds_[index] - start);
}

CompilerOutputText CompilerOutputChunks::takeText()
{
    CompilerOutputText text = std::move(text_);
    clear();
    return text;
}
