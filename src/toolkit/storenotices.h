#pragma once
// What the store tells the user besides a failure: that the copy of the version a store replaced
// could not be kept (once per run), and, at start-up, each store into a file itself that a tsl
// which died did not finish, with where the file's previous text is.
#include <string>

class QWidget;

// Shows, over `over`, that the file `name` was stored but no copy of its previous version was
// kept as `name` followed by '%', and why (`error`, an errno value), as soon as the event loop
// runs again (after the save has ended). Only the first call of a run shows it.
void tellPreviousVersionNotKept(QWidget *over, const std::string &name, int error);
// Tests only: the next tellPreviousVersionNotKept shows its notice again.
void resetPreviousVersionNotice();

// Shows, over `over`, one notice for each store that a tsl which no longer runs left unfinished
// (findInterruptedStores), naming the file and where its previous text is, and then forgets it.
// Called once the main frame is shown.
void tellInterruptedStores(QWidget *over);
