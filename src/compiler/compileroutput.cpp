#include "compiler/compileroutput.h"

void CompilerOutputChunks::clear()
{
    pieces_.clear();
    byteCount_ = 0;
}

void CompilerOutputChunks::append(const char *bytes, std::size_t count)
{
    pieces_.emplace_back(bytes, count);
    byteCount_ += count;
}

std::string CompilerOutputChunks::join() const
{
    std::string text;
    text.reserve(byteCount_);
    for (const std::string &piece : pieces_)
        text += piece;
    return text;
}
