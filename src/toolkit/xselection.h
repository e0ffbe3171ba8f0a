#pragma once
// The X PRIMARY selection as seen on the X server, through a connection of our own (Xlib),
// so that reading what another client holds keeps its bytes exactly (Qt's clipboard turns
// them into a QString, which loses bytes that are not UTF-8 and everything after a NUL) and
// never runs Qt's event handling in the middle of a callback.
//
// Only for selections held by other clients: our own process cannot answer a request while it
// waits for the reply.

#include <string>

bool xSelectionAvailable();   // false when not on X or the display cannot be opened
bool xPrimaryHasOwner();      // some client owns PRIMARY

// The PRIMARY's contents as UTF8_STRING, else as STRING, in their bytes. Gives up after
// timeoutMs without an answer (each step of an incremental transfer gets that long again).
bool xReadPrimary(std::string &bytes, int timeoutMs);

// Sends the PRIMARY's owner the delete request (a conversion to the target DELETE): an owner
// that supports it deletes its selected text, others refuse or ignore it. Does not wait for
// the answer, so that an owner that never answers cannot hold the program up.
void xDeletePrimary();
