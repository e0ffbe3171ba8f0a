// The piece list of a replayed text.
#include "toolkit/piecetext.h"

PieceText::PieceText(std::string_view base) : PieceText(static_cast<long>(base.size()))
{
    base_ = base;
}

PieceText::PieceText(long baseLength) : baseLength_(baseLength), length_(baseLength)
{
    if (baseLength > 0)
        pieces_.push_back({false, 0, static_cast<std::size_t>(baseLength)});
    cursor_ = pieces_.begin();
}

std::string_view PieceText::bytesOf(const Piece &piece) const
{
    if (!piece.inserted && piece.start + piece.length > base_.size())
        return std::string_view(); // a base known by its length only
    return (piece.inserted ? std::string_view(inserted_) : base_).substr(piece.start, piece.length);
}

void PieceText::seek(long position)
{
    while (cursor_ != pieces_.begin() && position < cursorStart_) {
        --cursor_;
        cursorStart_ -= static_cast<long>(cursor_->length);
    }
    while (cursor_ != pieces_.end() && position >= cursorStart_ + static_cast<long>(cursor_->length)) {
        cursorStart_ += static_cast<long>(cursor_->length);
        ++cursor_;
    }
}

void PieceText::splitAt(long position)
{
    seek(position);
    if (cursor_ == pieces_.end() || position == cursorStart_)
        return;
    const std::size_t left = static_cast<std::size_t>(position - cursorStart_);
    Piece right = *cursor_;
    right.start += left;
    right.length -= left;
    cursor_->length = left;
    cursorStart_ = position;
    cursor_ = pieces_.insert(std::next(cursor_), right);
}

void PieceText::insert(long position, const char *bytes, long count)
{
    if (count <= 0 || position < 0 || position > length_)
        return;
    const std::size_t at = inserted_.size();
    inserted_.append(bytes, static_cast<std::size_t>(count));
    splitAt(position);
    // Typing goes on where the last insert ended: its piece grows.
    if (cursor_ != pieces_.begin()) {
        Piece &before = *std::prev(cursor_);
        if (before.inserted && before.start + before.length == at) {
            before.length += static_cast<std::size_t>(count);
            cursorStart_ += count;
            length_ += count;
            return;
        }
    }
    cursor_ = pieces_.insert(cursor_, Piece{true, at, static_cast<std::size_t>(count)});
    length_ += count;
}

void PieceText::erase(long position, long count)
{
    if (count <= 0 || position < 0 || position + count > length_)
        return;
    splitAt(position);
    length_ -= count;
    while (count > 0 && cursor_ != pieces_.end()) {
        if (static_cast<long>(cursor_->length) <= count) {
            count -= static_cast<long>(cursor_->length);
            cursor_ = pieces_.erase(cursor_);
        } else {
            cursor_->start += static_cast<std::size_t>(count);
            cursor_->length -= static_cast<std::size_t>(count);
            count = 0;
        }
    }
}

std::string PieceText::text() const
{
    std::string out;
    out.reserve(static_cast<std::size_t>(length_));
    for (const Piece &piece : pieces_)
        out += bytesOf(piece);
    return out;
}

std::vector<PieceText::Change> PieceText::changes() const
{
    // Base pieces stay in the order of the base: a gap between two of them was erased, and what
    // lies between them was inserted.
    std::vector<Change> found;
    long basePosition = 0;
    bool open = false;
    Change change{0, 0, std::string()};
    for (const Piece &piece : pieces_) {
        if (piece.inserted) {
            if (!open)
                change = Change{basePosition, basePosition, std::string()};
            open = true;
            change.bytes += bytesOf(piece);
            continue;
        }
        const long start = static_cast<long>(piece.start);
        if (open || start != basePosition) {
            if (!open)
                change = Change{basePosition, basePosition, std::string()};
            change.to = start;
            found.push_back(std::move(change));
            open = false;
        }
        basePosition = start + static_cast<long>(piece.length);
    }
    const long end = baseLength_;
    if (open || basePosition != end) {
        if (!open)
            change = Change{basePosition, basePosition, std::string()};
        change.to = end;
        found.push_back(std::move(change));
    }
    return found;
}
