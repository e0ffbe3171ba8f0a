#include "compiler/compileroutput.h"

#include <utility>

void CompilerOutputChunks::clear()
{
    text_ = std::string();
    pieceEnds_.clear();
}

void CompilerOutputChunks::append(const char *bytes, std::size_t count)
{
    text_.append(bytes, count);
    pieceEnds_.push_back(text_.size());
}

std::string_view CompilerOutputChunks::piece(std::size_t index) const
{
    const std::size_t start = index == 0 ? 0 : pieceEnds_[index - 1];
    return std::string_view(text_).substr(start, pieceEnds_[index] - start);
}

std::string CompilerOutputChunks::takeText()
{
    std::string text = std::move(text_);
    clear();
    return text;
}
