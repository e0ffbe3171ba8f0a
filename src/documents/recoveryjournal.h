#pragma once
// Recovery journals. While a text pane has unsaved changes, the edits made since it was loaded or
// stored are written to a journal file under $XDG_STATE_HOME/tsl/ (else ~/.local/state/tsl/), one
// per pane and file, a second after the first change not yet written, in slices that never hold
// the window for long: a crash, a kill or a lost X connection costs at most about a second of
// typing. The journal names the file and what the stored file was (stamp and hash); a copy of the
// stored file is kept beside it, so that the edits still apply when another program changes the
// file. A journal goes as soon as the text is its saved text again (stored, reset, undone back,
// cleared, another file loaded).
#include <string>

class TextPane;

// Starts journaling the pane's edits; the pane must be unmodified (as when it is made).
void startRecoveryJournal(TextPane *pane);
// Stops journaling the pane and removes its journal (the pane goes away).
void stopRecoveryJournal(TextPane *pane);
// Removes the journal of every pane: the user chose to end without saving.
void discardRecoveryJournals();
// Writes everything recorded for the pane now (the copy of the stored file goes on in slices).
void writeRecoveryJournal(TextPane *pane);
// Hands the pane's next journal an existing copy of the text its edits apply to (the copy of a
// recovered journal), which it keeps instead of copying the stored file.
void adoptRecoveryBaseCopy(TextPane *pane, const std::string &path);
// The pane's journal file, "" while it has none.
std::string recoveryJournalPath(TextPane *pane);

// The folder of the journals: $XDG_STATE_HOME/tsl when that is an absolute path, else
// ~/.local/state/tsl.
std::string recoveryDirectory();
