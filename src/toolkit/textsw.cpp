// The textsw_ operations on a TextPane: files, reading, changing, caret, selections and view.

#include "toolkit/fileinpieces.h"
#include "toolkit/storenotices.h"
#include "toolkit/textpane.h"

#include <QScrollBar>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// Scintilla counts positions in an int.
constexpr long longestText = INT_MAX - 1;

long clampToText(TextPane *pane, long position)
{
    return std::clamp(position, 0L, pane->textLength());
}

// First occurrence beginning in [from, to - length]; -1 when there is none.
long searchForward(TextPane *pane, long from, long to, const char *bytes, long length)
{
    if (to - from < length)
        return -1;
    const char *text = pane->rangePointer(from, to - from);
    const void *hit = memmem(text, static_cast<std::size_t>(to - from), bytes,
                             static_cast<std::size_t>(length));
    return hit ? from + (static_cast<const char *>(hit) - text) : -1;
}

// Last occurrence beginning before `before`; -1 when there is none.
long searchBackward(TextPane *pane, long before, const char *bytes, long length)
{
    long last = std::min(before - 1, pane->textLength() - length);
    if (last < 0)
        return -1;
    const char *text = pane->rangePointer(0, last + length);
    while (last >= 0) {
        const void *candidate = memrchr(text, bytes[0], static_cast<std::size_t>(last) + 1);
        if (!candidate)
            return -1;
        const long at = static_cast<const char *>(candidate) - text;
        if (std::memcmp(text + at, bytes, static_cast<std::size_t>(length)) == 0)
            return at;
        last = at - 1;
    }
    return -1;
}

// The stamp of a file just stored: its status now, and the hash of the bytes stored.
FileStamp storedStamp(const std::string &name, const char *bytes, long length)
{
    struct stat status;
    if (stat(name.c_str(), &status) != 0)
        return FileStamp();
    FileStamp stamp = fileStampOf(status);
    stamp.hashed = true;
    stamp.hash = contentHash(bytes, static_cast<std::size_t>(length));
    return stamp;
}

} // namespace

// --- Files -----------------------------------------------------------------------------------

int textsw_load_file(TextPane *pane, const std::string &name, bool browsing,
                     Textsw_index first_shown)
{
    if (!pane)
        return TEXTSW_STATUS_BAD_ATTR;
    FileInPieces file;
    int status = file.open(name);
    if (status != TEXTSW_STATUS_OKAY)
        return status;

    TextPane::EditScope scope(pane);
    status = pane->replaceAllBytes(file.size(), [&file](const char **piece) { return file.next(piece); }, name);
    if (file.tooLong())
        status = TEXTSW_STATUS_OUT_OF_MEMORY;
    if (status != TEXTSW_STATUS_OKAY) {
        if (pane->fileName().empty())
            pane->setFileStamp(FileStamp());
        return status;
    }
    pane->setFileStamp(file.stamp());
    pane->setReloadedAtSavePoint(false);
    pane->setReadOnly(browsing);
    const long shown = clampToText(pane, first_shown);
    pane->SendScintilla(Sci::SCI_SETEMPTYSELECTION, shown);
    pane->SendScintilla(Sci::SCI_SETXOFFSET, 0UL);
    pane->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                        pane->SendScintilla(Sci::SCI_LINEFROMPOSITION, shown));
    return TEXTSW_STATUS_OKAY;
}

int textsw_store_file(TextPane *pane, const std::string &name)
{
    if (!pane)
        return EINVAL;
    const long length = pane->textLength();
    const char *text =
        reinterpret_cast<const char *>(pane->SendScintilla(Sci::SCI_GETCHARACTERPOINTER));
    int copyError = 0;
    const int error = storeFileSafely(name, text, static_cast<std::size_t>(length), &copyError);
    if (error != 0)
        return error;
    const FileStamp stamp = storedStamp(name, text, length);
    {
        TextPane::EditScope scope(pane);
        pane->setFileName(name);
        pane->setFileStamp(stamp);
        pane->setReloadedAtSavePoint(false);
        pane->dropSavedCopy();
        pane->SendScintilla(Sci::SCI_SETSAVEPOINT);
        pane->noteChange();
    }
    if (copyError != 0)
        tellPreviousVersionNotKept(pane->window(), name, copyError);
    return 0;
}

int textsw_append_file_name(TextPane *pane, std::string &buffer)
{
    if (!pane || pane->fileName().empty())
        return 1;
    buffer += pane->fileName();
    return 0;
}

void textsw_set_contents(TextPane *pane, const char *bytes, long length)
{
    if (!pane)
        return;
    length = bytes ? std::clamp(length, 0L, longestText) : 0;
    // The bytes may lie in the pane's own text, which the replacement empties first.
    const std::string copy(bytes ? bytes : "", static_cast<std::size_t>(length));
    TextPane::EditScope scope(pane);
    if (pane->replaceAllBytes(copy.data(), length, std::string()) != TEXTSW_STATUS_OKAY)
        return;
    pane->setFileStamp(FileStamp());
    pane->setReloadedAtSavePoint(false);
    pane->SendScintilla(Sci::SCI_SETXOFFSET, 0UL);
    pane->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 0UL);
}

void textsw_set_new_file(TextPane *pane, const std::string &name)
{
    if (!pane)
        return;
    TextPane::EditScope scope(pane);
    if (pane->replaceAllBytes("", 0, name) == TEXTSW_STATUS_OKAY)
        pane->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, 0UL);
}

int textsw_reset(TextPane *pane)
{
    if (!pane)
        return -1;
    TextPane::EditScope scope(pane);
    pane->setReloadedAtSavePoint(false);
    const long caret = pane->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long firstLine = pane->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    if (!pane->keepsSavedCopy()) {
        // Unchanged since it was loaded, stored or set: only the undo history goes.
        pane->SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        pane->SendScintilla(Sci::SCI_SETSAVEPOINT);
        pane->noteChange();
        return 0;
    }
    if (pane->savedCopyLost())
        return -1;
    const std::string_view saved = pane->savedText();
    if (pane->replaceAllBytes(saved.data(), static_cast<long>(saved.size()), pane->fileName()) !=
        TEXTSW_STATUS_OKAY)
        return -1;
    pane->SendScintilla(Sci::SCI_SETEMPTYSELECTION, clampToText(pane, caret));
    pane->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, firstLine);
    return 0;
}

// --- Reading ---------------------------------------------------------------------------------

Textsw_index textsw_length(TextPane *pane)
{
    return pane ? pane->textLength() : 0;
}

int textsw_char_at(TextPane *pane, Textsw_index position)
{
    if (!pane || position < 0 || position >= pane->textLength())
        return -1;
    return static_cast<unsigned char>(pane->SendScintilla(Sci::SCI_GETCHARAT, position));
}

std::string textsw_contents(TextPane *pane, Textsw_index first, Textsw_index last_plus_one)
{
    if (!pane)
        return std::string();
    first = clampToText(pane, first);
    last_plus_one = clampToText(pane, last_plus_one);
    if (last_plus_one <= first)
        return std::string();
    std::string bytes(static_cast<std::size_t>(last_plus_one - first) + 1, '\0');
    pane->SendScintilla(Sci::SCI_GETTEXTRANGE, first, last_plus_one, &bytes[0]);
    bytes.pop_back(); // the terminating NUL that Scintilla adds
    return bytes;
}

bool textsw_modified(TextPane *pane)
{
    return pane && pane->SendScintilla(Sci::SCI_GETMODIFY) != 0;
}

bool textsw_is_utf8(TextPane *pane)
{
    return pane && pane->isUtf8();
}

Textsw_index textsw_find_bytes(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one,
                               const char *bytes, long length, unsigned direction)
{
    if (!pane || !first || !bytes || length <= 0)
        return -1;
    const long textLength = pane->textLength();
    const long start = std::clamp(*first, 0L, textLength);
    long hit;
    if (direction == TEXTSW_FORWARD) {
        hit = searchForward(pane, start, textLength, bytes, length);
        if (hit < 0) // wrap: the text before the start (and overlapping it)
            hit = searchForward(pane, 0, std::min(textLength, start + length - 1), bytes, length);
    } else {
        hit = searchBackward(pane, start, bytes, length);
        if (hit < 0)
            hit = searchBackward(pane, textLength + 1, bytes, length);
    }
    if (hit < 0)
        return -1;
    *first = hit;
    if (last_plus_one)
        *last_plus_one = hit + length;
    return hit;
}

// --- Changing --------------------------------------------------------------------------------

long textsw_insert(TextPane *pane, const char *bytes, long length)
{
    if (!pane || !bytes || length <= 0 || pane->isReadOnly() || !pane->fits(length) ||
        length > longestText - pane->textLength())
        return 0;
    TextPane::EditScope scope(pane);
    pane->keepSavedText();
    const long before = pane->textLength();
    const long at = pane->SendScintilla(Sci::SCI_GETCURRENTPOS);
    pane->SendScintilla(Sci::SCI_ADDTEXT, static_cast<uintptr_t>(length), bytes);
    const long inserted = pane->textLength() - before;
    if (inserted > 0) {
        pane->recordInserted(at, bytes, inserted);
        pane->noteChange();
    }
    return inserted;
}

long textsw_append(TextPane *pane, const char *bytes, long length)
{
    if (!pane || !bytes || length <= 0 || pane->isReadOnly() || !pane->fits(length) ||
        length > longestText - pane->textLength())
        return 0;
    TextPane::EditScope scope(pane);
    const long lines = pane->SendScintilla(Sci::SCI_GETLINECOUNT);
    const long firstShown = pane->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = std::max(1L, pane->SendScintilla(Sci::SCI_LINESONSCREEN));
    const bool showsEnd = firstShown + onScreen >= lines;

    pane->keepSavedText();
    const long before = pane->textLength();
    pane->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<uintptr_t>(length), bytes);
    const long inserted = pane->textLength() - before;
    if (inserted <= 0)
        return 0;
    pane->recordInserted(before, bytes, inserted);
    if (pane->isUtf8() && !pane->appendValidator().feed(bytes, static_cast<std::size_t>(length)))
        pane->setUtf8(false);
    pane->repaintAfterAppend(showsEnd);
    pane->noteChange();
    return inserted;
}

long textsw_erase(TextPane *pane, Textsw_index first, Textsw_index last_plus_one)
{
    if (!pane || pane->isReadOnly())
        return 0;
    first = clampToText(pane, first);
    last_plus_one = clampToText(pane, last_plus_one);
    if (last_plus_one <= first)
        return 0;
    TextPane::EditScope scope(pane);
    pane->keepSavedText();
    const long before = pane->textLength();
    pane->SendScintilla(Sci::SCI_DELETERANGE, static_cast<unsigned long>(first),
                        last_plus_one - first);
    const long erased = before - pane->textLength();
    if (erased > 0) {
        pane->recordErased(first, erased);
        pane->noteChange();
    }
    return erased;
}

long textsw_replace_bytes(TextPane *pane, Textsw_index first, Textsw_index last_plus_one,
                          const char *bytes, long length)
{
    if (!pane || pane->isReadOnly() || length < 0 || (length > 0 && !bytes))
        return -1;
    first = clampToText(pane, first);
    last_plus_one = std::max(first, clampToText(pane, last_plus_one));
    const long growth = length - (last_plus_one - first);
    if (!pane->fits(growth) || growth > longestText - pane->textLength())
        return -1;
    if (length == 0 && last_plus_one == first)
        return 0;
    TextPane::EditScope scope(pane);
    pane->keepSavedText();
    pane->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    pane->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(first),
                        last_plus_one);
    pane->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(length),
                        bytes ? bytes : "");
    pane->SendScintilla(Sci::SCI_ENDUNDOACTION);
    pane->recordErased(first, last_plus_one - first);
    pane->recordInserted(first, bytes, length);
    pane->noteChange();
    return length;
}

int textsw_undo(TextPane *pane)
{
    if (!pane || pane->isReadOnly() || !pane->SendScintilla(Sci::SCI_CANUNDO))
        return 0;
    TextPane::EditScope scope(pane);
    pane->keepSavedText();
    pane->undoRecorded();
    pane->noteChange();
    return 1;
}

// --- Caret, selections, view -----------------------------------------------------------------

Textsw_index textsw_get_insertion_point(TextPane *pane)
{
    return pane ? pane->SendScintilla(Sci::SCI_GETCURRENTPOS) : 0;
}

void textsw_set_insertion_point(TextPane *pane, Textsw_index position)
{
    if (!pane)
        return;
    position = clampToText(pane, position);
    const long anchor = pane->SendScintilla(Sci::SCI_GETANCHOR);
    const long caret = pane->SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (anchor != caret && (position == anchor || position == caret)) {
        const long other = position == anchor ? caret : anchor;
        pane->SendScintilla(Sci::SCI_SETSELECTION, static_cast<unsigned long>(position), other);
    } else {
        pane->SendScintilla(Sci::SCI_SETEMPTYSELECTION, position);
    }
    pane->SendScintilla(Sci::SCI_CHOOSECARETX);
}

void textsw_set_selection(TextPane *pane, Textsw_index first, Textsw_index last_plus_one,
                          unsigned type)
{
    if (!pane)
        return;
    first = clampToText(pane, first);
    last_plus_one = std::max(first, clampToText(pane, last_plus_one));
    if (type == TEXTSW_SEL_SECONDARY)
        pane->setSecondarySelection(first, last_plus_one);
    else
        pane->setPrimarySelection(first, last_plus_one);
}

int textsw_get_selection(TextPane *pane, Textsw_index *first, Textsw_index *last_plus_one,
                         unsigned type)
{
    long start = 0;
    long end = 0;
    if (pane) {
        if (type == TEXTSW_SEL_SECONDARY) {
            pane->secondarySelection(&start, &end);
        } else {
            start = pane->SendScintilla(Sci::SCI_GETSELECTIONSTART);
            end = pane->SendScintilla(Sci::SCI_GETSELECTIONEND);
        }
    }
    if (first)
        *first = start;
    if (last_plus_one)
        *last_plus_one = end;
    return end > start ? 1 : 0;
}

void textsw_possibly_normalize(TextPane *pane, Textsw_index position)
{
    if (!pane)
        return;
    position = clampToText(pane, position);
    const long line = pane->SendScintilla(
        Sci::SCI_VISIBLEFROMDOCLINE, pane->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
    const long firstShown = pane->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long onScreen = std::max(1L, pane->SendScintilla(Sci::SCI_LINESONSCREEN));
    if (line < firstShown || line >= firstShown + onScreen)
        pane->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, std::max(0L, line - onScreen / 3));

    long textLeft = pane->SendScintilla(Sci::SCI_GETMARGINLEFT);
    for (int margin = 0; margin < 5; ++margin)
        textLeft += pane->SendScintilla(Sci::SCI_GETMARGINWIDTHN, margin);
    const long textWidth = std::max(1L, pane->viewport()->width() - textLeft -
                                            pane->SendScintilla(Sci::SCI_GETMARGINRIGHT));
    const long x = pane->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, position);
    const long charWidth = pane->SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_DEFAULT, "M");
    if (x < textLeft || x > textLeft + textWidth - charWidth) {
        const long offset = pane->SendScintilla(Sci::SCI_GETXOFFSET) + (x - textLeft);
        pane->SendScintilla(Sci::SCI_SETXOFFSET, std::max(0L, offset - textWidth / 3));
    }
}

// --- Settings --------------------------------------------------------------------------------

void textsw_set_read_only(TextPane *pane, bool read_only)
{
    if (pane)
        pane->setReadOnly(read_only);
}

bool textsw_read_only(TextPane *pane)
{
    return pane && pane->isReadOnly();
}

void textsw_set_memory_limit(TextPane *pane, long limit)
{
    if (pane)
        pane->setMemoryLimit(limit);
}

long textsw_memory_limit(TextPane *pane)
{
    return pane ? pane->memoryLimit() : 0;
}

void textsw_set_auto_indent(TextPane *pane, bool on)
{
    if (pane)
        pane->setAutoIndenting(on);
}

void textsw_set_font(TextPane *pane, const QFont &font)
{
    if (!pane)
        return;
    // Scintilla sizes fonts in points; a font given in pixels (as X fonts are) is converted at
    // the screen's resolution, which Qt converts back to the same pixels.
    QFont sized = font;
    if (sized.pointSizeF() <= 0 && sized.pixelSize() > 0)
        sized.setPointSizeF(sized.pixelSize() * 72.0 / pane->logicalDpiY());
    pane->setPaneFont(sized);
}

QSize textsw_size_for_chars(TextPane *pane, int columns, int rows)
{
    if (!pane)
        return QSize();
    const long charWidth = pane->SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_DEFAULT, "M");
    const long lineHeight = pane->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL);
    const int frame = 2 * pane->frameWidth();
    long margins = 0;
    for (int margin = 0; margin < 5; ++margin)
        margins += pane->SendScintilla(Sci::SCI_GETMARGINWIDTHN, margin);
    const long width = columns * charWidth + margins + pane->SendScintilla(Sci::SCI_GETMARGINLEFT) +
                       pane->SendScintilla(Sci::SCI_GETMARGINRIGHT) + frame +
                       pane->verticalScrollBar()->sizeHint().width();
    const long height =
        rows * lineHeight + frame + pane->horizontalScrollBar()->sizeHint().height();
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

void textsw_set_menu(TextPane *pane, QMenu *menu)
{
    if (pane)
        pane->setPopupMenu(menu);
}

void textsw_set_client_data(TextPane *pane, std::intptr_t data)
{
    if (pane)
        pane->setClientData(data);
}

std::intptr_t textsw_get_client_data(TextPane *pane)
{
    return pane ? pane->clientData() : 0;
}

void textsw_set_notify_proc(TextPane *pane, TextswNotifyProc proc)
{
    if (pane)
        pane->setNotifyProc(std::move(proc));
}

void textsw_set_refusal_proc(TextPane *pane, TextswNotifyProc proc)
{
    if (pane)
        pane->setRefusalProc(std::move(proc));
}

void textsw_set_highlighting(TextPane *pane, bool on)
{
    if (pane)
        pane->setHighlighting(on);
}

void textsw_set_line_numbers(TextPane *pane, bool on)
{
    if (pane)
        pane->setShowsLineNumbers(on);
}
