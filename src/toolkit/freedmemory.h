#pragma once
// Memory that long texts free kept in the program for the next long text, and given back to the
// system once it has gone unused for a while.

class QObject;

// From now on large blocks (a long text and its styles, its undo steps, a replace's splice) come
// from the program's heap and stay there when freed, instead of being mappings of their own that
// are unmapped when freed and faulted in again page by page for the next one (on a virtual
// machine several milliseconds per megabyte). Freed memory that stays unused for about half a
// minute goes back to the system, and so do the mappings that mapped arrays gave back
// (mappedarray.h). The checks run on a timer owned by `owner`.
void keepFreedMemoryForReuse(QObject *owner);
