#pragma once
// The text pane: an editable text of bytes shown by QScintilla, and the textsw_ operations that
// the rest of the program uses on it. Positions and lengths count bytes from 0. The bytes are
// kept exactly as loaded (CR and CRLF line ends, NUL bytes, any encoding); a text that is valid
// UTF-8 is shown as UTF-8, anything else as Latin-1.

#include "toolkit/filestamp.h"
#include "toolkit/highlighting.h"
#include "toolkit/mappedarray.h"
#include "toolkit/safefile.h"
#include "toolkit/selection.h"
#include "toolkit/utf8check.h"

#include <Qsci/qsciscintilla.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class EditRecorder;
class QContextMenuEvent;
class QKeyEvent;
class QMenu;
class QsciLexer;
class TextPane;

using Textsw_index = long;
// Called after every change of the pane's text or of its modified state, once per operation
// (once for a whole TextswBatch), never while the text is being changed.
using TextswNotifyProc = std::function<void(TextPane *)>;
// Hands a text out in pieces: each call points *piece at the next bytes and returns how many
// there are, 0 at the end, or -1 when the bytes could not be read.
using TextswPieceReader = std::function<long(const char **piece)>;

enum TextswSelectionType { TEXTSW_SEL_PRIMARY = 1, TEXTSW_SEL_SECONDARY = 2 };
enum TextswDirection { TEXTSW_FORWARD = 0, TEXTSW_BACKWARD = 1 };

// A pane is a holder of the selection service: a primary selection set in it, by the user or
// through textsw_set_selection, claims the X PRIMARY, and the pane answers with its selected
// bytes and their positions.
class TextPane : public QsciScintilla, public SelectionHolder {
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);
    ~TextPane() override;

    // Masks Scintilla's modification events while the program changes the text (so that no
    // per-edit handler runs) and raises the notification once when the outermost scope ends.
    class EditScope {
    public:
        explicit EditScope(TextPane *pane);
        ~EditScope();
        EditScope(const EditScope &) = delete;
        EditScope &operator=(const EditScope &) = delete;

    private:
        TextPane *pane_;
    };

    // The pane's own state; the textsw_ functions below are the interface the program uses.
    const std::string &fileName() const { return fileName_; }
    // A pane with highlighting styles its text by the name of the file it edits.
    void setFileName(const std::string &name);
    // The text as last loaded, stored or set, which textsw_reset goes back to. While the text is
    // unchanged since then nothing else is kept: the first change copies the text first.
    std::string_view savedText() const;
    bool keepsSavedCopy() const { return savedCopyKept_; }
    // Called before every change of the text: keeps the saved text if no copy is kept yet.
    void keepSavedText();
    // The text as it is now becomes the saved text.
    void dropSavedCopy();
    // True when a change came with no memory left to keep the saved text.
    bool savedCopyLost() const { return savedCopyLost_; }
    // The recorder told of every change of the text, for a recovery journal (null: none): each
    // insert and erase, and a restart whenever the text is its saved text again. Attached to an
    // unmodified pane only (false otherwise), since its records apply to the saved text.
    bool setEditRecorder(EditRecorder *recorder);
    EditRecorder *editRecorder() const { return recorder_; }
    // Hands the recorder an insert of the user's whose bytes were not in the text yet when it was
    // announced. Runs before every other change of the text and before the records are taken.
    void settleEdits();
    void recordInserted(long position, const char *bytes, long length);
    void recordErased(long position, long length);
    // Takes back one edit inside an edit scope, its steps told to the recorder.
    void undoRecorded();
    // The file as the pane loaded or last stored it (`exists` false for none).
    const FileStamp &fileStamp() const { return fileStamp_; }
    void setFileStamp(const FileStamp &stamp) { fileStamp_ = stamp; }
    // Whether the saved text came from textsw_reload_file, whose step Undo may take back.
    bool reloadedAtSavePoint() const { return reloadedAtSavePoint_; }
    void setReloadedAtSavePoint(bool reloaded) { reloadedAtSavePoint_ = reloaded; }
    long memoryLimit() const { return memoryLimit_; }
    void setMemoryLimit(long limit) { memoryLimit_ = limit; }
    bool fits(long added) const;
    std::intptr_t clientData() const { return clientData_; }
    void setClientData(std::intptr_t data) { clientData_ = data; }
    void setNotifyProc(TextswNotifyProc proc) { notifyProc_ = std::move(proc); }
    void setRefusalProc(TextswNotifyProc proc) { refusalProc_ = std::move(proc); }
    QMenu *popupMenu() const { return popupMenu_; }
    void setPopupMenu(QMenu *menu) { popupMenu_ = menu; }
    bool autoIndenting() const { return autoIndent_; }
    void setAutoIndenting(bool on) { autoIndent_ = on; }
    Utf8Validator &appendValidator() { return appendValidator_; }
    // The tooltip of a line in the marks' margin (textmarks.h).
    void setMarginTipProc(std::function<std::string(TextPane *, long)> proc) { marginTipProc_ = std::move(proc); }
    // The font of every style: the text in whatever colour highlighting gives it, and the line
    // numbers.
    const QFont &paneFont() const { return paneFont_; }
    void setPaneFont(const QFont &font);
    void setHighlighting(bool on);
    bool showsLineNumbers() const { return lineNumbers_; }
    void setShowsLineNumbers(bool on);

    long textLength() const;
    // Pointer to the bytes from `position` on, `length` of them, valid until the next change.
    const char *rangePointer(long position, long length) const;
    // The first range that Scintilla's `indicator` covers; false (both ends 0) when none.
    bool indicatorRange(int indicator, long *first, long *lastPlusOne) const;
    // Replaces the whole text, about `length` bytes read piece by piece, without undo history,
    // sets the save point and makes the pane edit `name` ("" for no file); chooses UTF-8 or
    // 8-bit display from the bytes and the typed line end from the first line end. Returns a
    // TextswStatus code. When the first piece cannot be read, or the room for the text cannot
    // be had, the old text and file stay; when reading fails or memory runs out part way, the
    // pane is left empty, belonging to no file.
    int replaceAllBytes(long length, const TextswPieceReader &next, const std::string &name);
    int replaceAllBytes(const char *bytes, long length, const std::string &name);
    // Records that the text or its modified state changed, for the next notification.
    void noteChange();
    // The one place that sets the primary selection (the caret ends up at last_plus_one).
    void setPrimarySelection(long first, long lastPlusOne);
    void setSecondarySelection(long first, long lastPlusOne);
    void secondarySelection(long *first, long *lastPlusOne) const;
    // Called after text was appended: the pane is repainted at most every 40 ms while appends
    // keep coming (a repaint costs far more than an append), and a view that showed the end
    // when the run of appends began is scrolled to the new end.
    void repaintAfterAppend(bool showedEnd);

    // SelectionHolder: the primary selection's bytes and positions (an empty selection gives
    // the empty text, first at the caret and last one before it); deleting it erases it
    // unless the pane is read-only.
    std::string selectedBytes() override;
    long selectionFirst() override;
    long selectionLast() override;
    void deleteSelection() override;

    // Setting a lexer asks for the whole text to be styled at once; the pane only marks it for
    // styling, which then goes as far as the text is shown, while the program is idle.
    void recolor(int start = 0, int end = -1) override;

protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // Modification events the pane listens to while the user edits: the insert check (memory
    // limit) and the "before" events, which say that a change is coming. The events that carry
    // the inserted or deleted text are left out: QScintilla answers each of them with work that
    // grows with the length of the text (a character count from the top for accessibility).
    static constexpr unsigned long userModificationEvents = SC_MOD_INSERTCHECK | SC_MOD_BEFOREINSERT |
                                                            SC_MOD_BEFOREDELETE;
    static constexpr int secondaryIndicator = INDIC_CONTAINER;
    static constexpr int lineNumberMargin = 0;

    void onModified(int position, int type, const char *text, int length, int, int, int, int,
                    int, int);
    void onCharAdded(int character);
    void refuseInsertion();
    void endRefusal();
    void noteEditComing(int type, long position, long length);
    void restartEdits();
    void flushNotification();
    void applyDocumentSettings();
    void claimIfSelected();
    void typeText(const QString &text);
    void chooseLexer();
    void applyStyles();
    void fitLineNumberMargin();

    std::string fileName_;
    MappedArray<char> savedCopy_; // the saved text, kept from the first change on
    bool savedCopyKept_ = false;
    bool savedCopyLost_ = false; // no memory was left for the copy
    QFont paneFont_;
    QsciLexer *lexer_ = nullptr;
    HighlightLanguage lexerLanguage_ = HighlightLanguage::none;
    bool highlighting_ = false;
    bool lineNumbers_ = false;
    int lineNumberDigits_ = 0;
    long memoryLimit_ = 0;
    std::intptr_t clientData_ = 0;
    TextswNotifyProc notifyProc_;
    TextswNotifyProc refusalProc_;
    bool refusing_ = false; // an insertion of nothing is passing through the read-only document
    QMenu *popupMenu_ = nullptr;
    bool autoIndent_ = false;
    Utf8Validator appendValidator_;
    std::function<std::string(TextPane *, long)> marginTipProc_;
    long secondaryAt_ = 0; // position of an empty secondary selection
    bool repaintDeferred_ = false;
    bool followEnd_ = false;
    int scopeDepth_ = 0;
    bool changePending_ = false;
    bool flushQueued_ = false;
    EditRecorder *recorder_ = nullptr;
    long comingAt_ = -1;         // an insert of the user's announced and not yet recorded
    long comingLength_ = 0;
    long lengthBeforeComing_ = 0;
    FileStamp fileStamp_;
    bool reloadedAtSavePoint_ = false;
};

// Groups everything done to the pane while it lives into one undo step and one notification;
// for bulk work such as replacing every occurrence of a string.
class TextswBatch {
public:
    explicit TextswBatch(TextPane *pane);
    ~TextswBatch();
    TextswBatch(const TextswBatch &) = delete;
    TextswBatch &operator=(const TextswBatch &) = delete;

private:
    TextPane *pane_;
    TextPane::EditScope scope_;
};

// --- Files -----------------------------------------------------------------------------------

// Loads the named file into the pane, shown from `first_shown` with the caret there, in the
// read-only (browsing) mode when `browsing` is set; the pane then edits that file and is not
// modified, with no undo history. Returns a TextswStatus code (0 success); on failure the pane
// keeps its text and file. Not limited by the memory limit.
int textsw_load_file(TextPane *pane, const std::string &name, bool browsing,
                     Textsw_index first_shown = 0);
// Stores the text under `name` (safely, see storeFileSafely); on success the pane edits that
// file and is no longer modified, and when no '%' copy of the version replaced could be kept,
// the first such store of the run says so over the pane's window. Returns 0, or a non-zero errno
// value with nothing changed. Works in read-only mode too.
int textsw_store_file(TextPane *pane, const std::string &name);
// Reads the pane's file again and makes it the text, as one step that Undo takes back; the text
// is then its saved text (not modified). Caret and view stay where they were, as far as the new
// text reaches. Returns a TextswStatus code; on failure nothing changed.
int textsw_reload_file(TextPane *pane);
// True while the text is unmodified and the last step before it is a reload, which textsw_undo
// then takes back (the text is then modified).
bool textsw_reload_undoable(TextPane *pane);
// Applies edits recorded by an EditRecorder (editjournal.h) to the text, as one undo step, also
// in read-only mode. Returns 0, or -1 with nothing changed when they do not fit the text.
int textsw_apply_edits(TextPane *pane, std::string_view records);
// Loads the file `source` as the saved text of the file `name`, stored as `stamp` says: the pane
// then edits `name` (a copy of an earlier version of a file takes that file's place).
int textsw_load_file_as(TextPane *pane, const std::string &source, const std::string &name,
                        const FileStamp &stamp, bool browsing);
// Appends the name of the file that the pane edits to `buffer`; returns 0 when it edits a file,
// 1 (appending nothing) when it does not.
int textsw_append_file_name(TextPane *pane, std::string &buffer);
// Makes the bytes the pane's whole text, belonging to no file, not modified, without undo
// history, shown from position 0; read-only mode is kept. textsw_set_contents(pane, "", 0)
// empties the pane.
void textsw_set_contents(TextPane *pane, const char *bytes, long length);
// Empties the pane and makes it edit `name`, a file that does not exist yet: not modified,
// without undo history; storing the text creates the file.
void textsw_set_new_file(TextPane *pane, const std::string &name);
// Discards every change since the text was last loaded, stored or set; the undo history goes.
// Returns 0, or -1 with the text unchanged when the saved text could not be kept (no memory).
int textsw_reset(TextPane *pane);

// --- Reading ---------------------------------------------------------------------------------

// Number of bytes in the text.
Textsw_index textsw_length(TextPane *pane);
// The byte at `position` (0 to 255), or -1 when the position is outside the text.
int textsw_char_at(TextPane *pane, Textsw_index position);
// The bytes from `first` up to `last_plus_one`, clipped to the text.
std::string textsw_contents(TextPane *pane, Textsw_index first, Textsw_index last_plus_one);
// True when the text differs from the state last loaded, stored or set (undo back there
// clears it).
bool textsw_modified(TextPane *pane);
// True when the text is shown as UTF-8, false when shown as 8-bit Latin-1.
bool textsw_is_utf8(TextPane *pane);
// Searches for the bytes, compared exactly, from *first: forward (direction 0) the first
// occurrence beginning at or after *first, else, going on from the top, the first of the
// text; backward (direction 1) the nearest occurrence beginning before *first, else, going on
// from the end, the last of the text. *last_plus_one does not limit the search. Returns the
// occurrence's first position and sets *first and *last_plus_one to it; returns -1 and leaves
// both alone when there is none (always for an empty string).
Textsw_index textsw_find_bytes(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one,
                               const char *bytes, long length, unsigned direction);

// --- Changing (all refused while the pane is read-only) --------------------------------------

// Inserts the bytes at the insertion point, which then stands after them. Returns how many
// bytes went in: all, or 0 when refused (read-only, or the text would exceed the memory limit).
long textsw_insert(TextPane *pane, const char *bytes, long length);
// Appends the bytes at the end of the text without moving the caret; a view that showed the
// end keeps showing it. A pane shown as UTF-8 switches to Latin-1 at the first appended bytes
// that are not UTF-8. Returns bytes inserted, all or 0, as textsw_insert.
long textsw_append(TextPane *pane, const char *bytes, long length);
// Erases the bytes from `first` up to `last_plus_one` (clipped to the text). Returns how many
// bytes went.
long textsw_erase(TextPane *pane, Textsw_index first, Textsw_index last_plus_one);
// Replaces the range (clipped to the text) by the bytes, as one undo step. Returns the number
// of bytes inserted, or -1 when refused (read-only, or a growth beyond the memory limit).
long textsw_replace_bytes(TextPane *pane, Textsw_index first, Textsw_index last_plus_one,
                          const char *bytes, long length);
// Takes back one edit (a typed run, one insert, erase or replace, or one TextswBatch).
// Returns 1 when something was taken back, else 0.
int textsw_undo(TextPane *pane);

// --- Caret, selections, view -----------------------------------------------------------------

Textsw_index textsw_get_insertion_point(TextPane *pane);
// Moves the caret. At either end of the primary selection the selection stays (with the caret
// at that end); anywhere else the selection is dropped, the caret being one end of it.
void textsw_set_insertion_point(TextPane *pane, Textsw_index position);
// Makes the range the primary (TEXTSW_SEL_PRIMARY, highlighted, caret at last_plus_one; an
// empty range only drops the selection) or the secondary selection (TEXTSW_SEL_SECONDARY,
// shown with a box; an empty range removes it). Neither scrolls. A primary selection that is
// not empty claims the X PRIMARY for the pane.
void textsw_set_selection(TextPane *pane, Textsw_index first, Textsw_index last_plus_one,
                          unsigned type);
// Reads a selection's range; returns 1 when it is not empty, else 0 (both ends then equal).
int textsw_get_selection(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one,
                         unsigned type);
// Where the line holding `position` is shown, in the pane's pixels, as wide as the view; empty
// when the line is not in view.
QRect textsw_line_rect(TextPane *pane, Textsw_index position);
// Scrolls the pane so that the position is visible, if it is not (the line is then shown a
// third of the way down).
void textsw_possibly_normalize(TextPane *pane, Textsw_index position);

// --- Settings --------------------------------------------------------------------------------

void textsw_set_read_only(TextPane *pane, bool read_only);
bool textsw_read_only(TextPane *pane);
// Insertions (typing, pasting, textsw_insert/append/replace) never make the text longer than
// `limit` bytes; 0 or less means no limit. Loading is not limited.
void textsw_set_memory_limit(TextPane *pane, long limit);
long textsw_memory_limit(TextPane *pane);
// A typed line end is followed by the blanks and tabs that begin the line above.
void textsw_set_auto_indent(TextPane *pane, bool on);
void textsw_set_font(TextPane *pane, const QFont &font);
// Pixel size that shows `columns` by `rows` characters of the pane's font, scroll bars included.
QSize textsw_size_for_chars(TextPane *pane, int columns, int rows);
// The right button shows this menu (none: the pane's standard menu). The pane does not own it.
void textsw_set_menu(TextPane *pane, QMenu *menu);
void textsw_set_client_data(TextPane *pane, std::intptr_t data);
std::intptr_t textsw_get_client_data(TextPane *pane);
// Registers the procedure called after each change (replacing any earlier one; empty: none).
void textsw_set_notify_proc(TextPane *pane, TextswNotifyProc proc);
// Registers the procedure called, once the event is over, each time the memory limit refuses
// what the user typed, pasted or dropped. The pane has beeped; its text and modified state are
// as they were.
void textsw_set_refusal_proc(TextPane *pane, TextswNotifyProc proc);
// Styles the text by the name of the file the pane edits, now and after every load or store
// under another name (see highlighting.h). Styling never changes the bytes, the modified flag
// or the undo history.
void textsw_set_highlighting(TextPane *pane, bool on);
// Shows line numbers in margin 0, as wide as the number of lines needs.
void textsw_set_line_numbers(TextPane *pane, bool on);
