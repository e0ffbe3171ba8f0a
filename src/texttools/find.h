#pragma once
// Find and find next.

class TextPane;

// The main window's actions. direction: 0 forward, 1 backward.
void startFind(int direction);
void findNext(int direction);

// Searches `pane` for searchString from searchStart, forward (0) or backward (1); when nothing is
// found there, once more forward from the top. A hit becomes the primary selection, is scrolled
// into view and gets the caret after it (forward) or at its start (backward); returns 1.
// Otherwise shows "Search string not found" and returns 0, changing nothing.
int findOccurrence(TextPane *pane, int direction);

// Find in the project window of slot `index`: always forward, from that pane's caret.
void startProjectFind(int index);
// Find next in the project window of slot `index`: the held string, from that pane's caret.
void findProjectNext(int index, int direction);
