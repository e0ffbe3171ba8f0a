#pragma once
// The list of recognised compiler messages and its cursor, with the stepping logic of the four
// navigation buttons. No widgets: each step says which message text to show, which entry to
// show (highlight its line in the results pane, then go to its source line) and which buttons
// are active.
//
// How the window code uses it:
//     rebuildErrorList():  if (!compilerOutput) return;       // list, cursor, buttons kept
//                          IncrementalErrorParser parser(errorForm, fileName, projectTitles,
//                                                        files on disk);
//                          errorList.rebuild(parser.finish(textOf(*compilerOutput)));
//                          apply errorList.buttons(); place the marks (messagemarks.h)
//     at a compile's end:  finishErrorList(parser): the same, from the lines matched as the
//                          output arrived (IncrementalErrorParser)
//     nextError() etc.:    ErrorStep step = errorList.next();   (or errorList.select(index) for the
//                          message line that the user double-clicked: errorList.indexAt(position, output))
//                          set resultsMessage to step.message; apply errorList.buttons();
//                          if (step.shown) show it: scroll to lineStart, secondary selection
//                          of its line (messageLine), goToLine(pane of projectSlot, lineNumber - 1),
//                          underline its column (markMessageColumn).
//     during a compile:    errorList.deactivateButtons();

#include "compiler/errorparser.h"

#include <string>
#include <vector>

struct NavigationButtons {
    bool previous = false;
    bool first = false;
    bool next = false;
    bool last = false;

    bool operator==(const NavigationButtons &other) const
    {
        return previous == other.previous && first == other.first && next == other.next &&
               last == other.last;
    }
};

// The result of one navigation step.
struct ErrorStep {
    std::string message;              // the new results message
    const ErrorEntry *shown = nullptr; // the entry to show, or none (empty list)
};

class ErrorList {
public:
    // Replaces the entries; the cursor goes before the first. Buttons: none active when the
    // list is empty, otherwise next and last.
    void rebuild(ErrorEntries entries);
    void rebuild(const std::vector<ErrorEntry> &entries);
    // Appends entries that arrived later; the cursor stays. Next and last become active when
    // there is an entry after the cursor.
    void extend(const ErrorEntry *entries, std::size_t count);

    ErrorStep next();
    ErrorStep previous();
    ErrorStep first(); // the first entry, with "--- First message ---"
    ErrorStep last();  // the last entry, with "--- Last message ---"
    // The entry at `index`, as next() shows an entry: "--- Error line N ---", and all four
    // buttons active (next and previous go on from there).
    ErrorStep select(int index);
    // The index of the entry whose message line in `output` holds the position (its line end
    // included), or -1.
    int indexAt(long position, std::string_view output) const;

    // All four buttons inactive (while a compile runs); the entries and the cursor stay.
    void deactivateButtons() { buttons_ = NavigationButtons(); }

    const ErrorEntries &entries() const { return entries_; }
    // -1 before the first entry, else the index of the entry at the cursor.
    int errorCursor() const { return cursor_; }
    const NavigationButtons &buttons() const { return buttons_; }

private:
    ErrorStep showCursor(std::string message) const;

    ErrorEntries entries_;
    int cursor_ = -1;
    NavigationButtons buttons_;
};

// "--- Error line N ---"
std::string errorLineMessage(int lineNumber);

// The one list of the program, empty from start-up.
extern ErrorList errorList;
