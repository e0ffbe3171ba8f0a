#pragma once
// A text made of pieces of a base text and of inserted bytes, for replaying a journal's edits: an
// edit splits or trims pieces and never moves the text's bytes, so that edits scattered over a
// text of tens of megabytes cost next to nothing. The edited text is then copied out once, or
// handed on as its differences from the base, first to last, to be made in a pane in one sweep.
#include "toolkit/editjournal.h"

#include <list>
#include <string>
#include <string_view>
#include <vector>

class PieceText : public EditTarget {
public:
    // The base is not copied: it must stay as it is while the PieceText is used.
    explicit PieceText(std::string_view base);
    // A base known by its length only: changes() can be asked, text() cannot.
    explicit PieceText(long baseLength);

    long length() const override { return length_; }
    void insert(long position, const char *bytes, long count) override;
    void erase(long position, long count) override;

    std::string text() const;

    // Base bytes [from, to) replaced by `bytes`.
    struct Change {
        long from;
        long to;
        std::string bytes;
    };
    // How the edited text differs from the base, in the order of the text; no two changes touch.
    std::vector<Change> changes() const;

private:
    struct Piece {
        bool inserted;      // from inserted_, else from the base
        std::size_t start;  // in its source
        std::size_t length; // never 0
    };
    using Pieces = std::list<Piece>;

    // Moves the cursor to the piece that holds `position` (the end for the text's length).
    void seek(long position);
    // Splits the piece under the cursor at `position`, which then begins the cursor's piece.
    void splitAt(long position);
    std::string_view bytesOf(const Piece &piece) const;

    std::string_view base_;
    long baseLength_;
    std::string inserted_;
    Pieces pieces_;
    long length_ = 0;
    // The piece of the last edit and where it begins: nearby edits find their place at once.
    Pieces::iterator cursor_;
    long cursorStart_ = 0;
};
