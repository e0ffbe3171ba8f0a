#pragma once
// The selection service: the X PRIMARY selection, wherever it is on the display.
//
// Our panes implement SelectionHolder and claim the PRIMARY when they set a primary selection.
// While one of them holds it, requests are answered by that pane (its bytes and positions) and
// other programs get its bytes from the X selection. When another program (or a plain Qt widget
// of ours, such as a line edit) holds it, the answer is its text with both positions -1. A pane
// whose selection another client has taken is no longer the holder.

#include <string>

class SelectionHolder {
public:
    SelectionHolder();
    virtual ~SelectionHolder(); // gives the PRIMARY up when this holder has it
    SelectionHolder(const SelectionHolder &) = delete;
    SelectionHolder &operator=(const SelectionHolder &) = delete;

    virtual std::string selectedBytes() = 0; // the selected text, exactly
    virtual long selectionFirst() = 0;       // first selected position
    virtual long selectionLast() = 0;        // last selected position (inclusive)
    virtual void deleteSelection() = 0;      // the delete request
};

// Who holds the PRIMARY, as selection_inquire found it.
struct SelectionOwner {
    enum Kind { Nobody, Holder, Other };
    Kind kind = Nobody;
    SelectionHolder *holder = nullptr; // set for Holder
};

// The answer to the three-part request: positions and contents.
struct SelectionReply {
    long first = -1;
    long last = -1;
    std::string text; // empty when nothing is selected
};

// Makes the holder the owner of the X PRIMARY (nothing happens when it already is).
void selection_claim_primary(SelectionHolder *holder);
// Gives the PRIMARY up when this holder has it; otherwise does nothing.
void selection_release_primary(SelectionHolder *holder);
bool selection_holds_primary(const SelectionHolder *holder);

SelectionOwner selection_inquire();
// Asks the owner for first position, last position and contents. A holder that has gone in
// the meantime, or a program that does not answer within a few seconds, gives the empty reply.
SelectionReply selection_ask(const SelectionOwner &owner);
// The delete request: our holder deletes its selected text; another program is sent the X
// request to delete it (which it may ignore); a plain Qt widget of ours is left alone.
void selection_delete(const SelectionOwner &owner);
