#include "compiler/messagemarks.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/terminalmessages.h"
#include "documents/projectwindows.h"
#include "frame/mainframe.h"
#include "toolkit/notifier.h"
#include "toolkit/textmarks.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Longest time one slice of placing marks may take (ms); the rest waits for the next turn of the
// event loop.
constexpr int sliceBudget = 15;
// At most this many messages are listed in a mark's tooltip.
constexpr int messagesInTip = 12;
constexpr int marksMask = 1 << TEXTSW_MARK_ERROR | 1 << TEXTSW_MARK_WARNING;
constexpr std::uint8_t warningOnLine = 1, errorOnLine = 2;

const QColor errorColour(0xD0, 0x20, 0x20);
const QColor warningColour(0xE0, 0x90, 0x00);

struct Mark {
    long handle;
    long line; // the line it was placed on: the line that the messages name
};

// The marks of one pane, in the order of their lines.
struct PaneMarks {
    QPointer<TextPane> pane;
    int slot = mainDocumentSlot;
    std::vector<Mark> marks;
    std::vector<std::uint8_t> kinds; // while placing: what the messages say of each line
    std::size_t nextLine = 0;        // while placing: the next line to look at
};

std::vector<PaneMarks> markedPanes;
QPointer<TextPane> underlinedPane;
bool placing = false;
// While placing: the next entry whose line is to be looked at, and the index in markedPanes of
// each slot's pane (-1: none yet; slot + 1).
std::size_t nextEntry = 0;
std::array<int, projectWindowSlots + 1> paneIndex;
const char placingClientMark = 0;
const NotifyClient placingClient = &placingClientMark;

TextPane *paneOfSlot(int slot)
{
    if (slot == mainDocumentSlot)
        return textPane;
    if (slot < 0 || slot >= projectWindowSlots || !projectWindowTable[slot])
        return nullptr;
    return projectWindowTable[slot]->pane;
}

NotifyValue placeNextSlice(NotifyClient, int);

// The messages that the marks show, and the text their positions point into.
struct MarkedMessages {
    const ErrorEntries *entries = nullptr;
    std::string_view text;
    bool utf8 = true;
};

MarkedMessages markedMessages()
{
    if (terminalMessagesLead())
        return {&terminalErrorList().entries(), terminalMessageText(), true};
    if (compilerOutput)
        return {&errorList.entries(), compilerOutput->text(), compilerOutput->isUtf8()};
    return {};
}

void scheduleNextSlice()
{
    struct itimerval soon {};
    soon.it_value.tv_usec = 1000;
    notify_set_itimer_func(placingClient, placeNextSlice, ITIMER_REAL, &soon, nullptr);
}

// What the messages say of each line of each pane, from the entry nextEntry on, until the
// slice's time is up: false when entries are left for the next slice.
bool collectMarkedLines(const QElapsedTimer &clock)
{
    const ErrorEntries *entries = markedMessages().entries;
    const std::size_t count = entries ? entries->size() : 0;
    while (nextEntry < count) {
        const std::size_t sliceEnd = std::min(count, nextEntry + 16384);
        for (; nextEntry < sliceEnd; ++nextEntry) {
            const ErrorEntry &entry = (*entries)[nextEntry];
            int &index = paneIndex[static_cast<std::size_t>(entry.projectSlot + 1)];
            if (index < 0) {
                TextPane *pane = paneOfSlot(entry.projectSlot);
                if (!pane)
                    continue;
                index = static_cast<int>(markedPanes.size());
                PaneMarks marked;
                marked.pane = pane;
                marked.slot = entry.projectSlot;
                marked.kinds.assign(
                    static_cast<std::size_t>(pane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)), 0);
                markedPanes.push_back(std::move(marked));
            }
            std::vector<std::uint8_t> &kinds = markedPanes[static_cast<std::size_t>(index)].kinds;
            const std::size_t line = static_cast<std::size_t>(entry.lineNumber - 1);
            if (line < kinds.size())
                kinds[line] |= entry.kind() == MessageKind::error ? errorOnLine : warningOnLine;
        }
        if (nextEntry < count && clock.elapsed() >= sliceBudget)
            return false;
    }
    return true;
}

// Collects what the messages say of the lines, then adds marks, until the slice's time is up;
// then the next slice is scheduled.
void placeSlice()
{
    QElapsedTimer clock;
    clock.start();
    if (!collectMarkedLines(clock)) {
        scheduleNextSlice();
        return;
    }
    for (PaneMarks &marked : markedPanes) {
        if (!marked.pane) {
            marked.kinds = {};
            continue;
        }
        while (marked.nextLine < marked.kinds.size()) {
            const long line = static_cast<long>(marked.nextLine++);
            if (const std::uint8_t kind = marked.kinds[static_cast<std::size_t>(line)]) {
                const int mark = kind & errorOnLine ? TEXTSW_MARK_ERROR : TEXTSW_MARK_WARNING;
                const long handle = textsw_add_mark(marked.pane, line, mark);
                if (handle >= 0)
                    marked.marks.push_back({handle, line});
            }
            if ((marked.nextLine & 1023) == 0 && clock.elapsed() >= sliceBudget) {
                scheduleNextSlice();
                return;
            }
        }
        marked.kinds = {};
    }
    placing = false;
}

NotifyValue placeNextSlice(NotifyClient, int)
{
    if (placing)
        placeSlice();
    return NOTIFY_DONE;
}

// The lines (as placed) of the marks that are on `line` now. The marks keep their order as
// lines come and go, so they are found by halving; a mark that has gone makes it a plain search.
std::vector<long> placedLinesOn(TextPane *pane, const std::vector<Mark> &marks, long line)
{
    std::vector<long> placed;
    auto lineNow = [&](std::size_t index) { return textsw_mark_line(pane, marks[index].handle); };
    std::size_t low = 0, high = marks.size();
    bool ordered = true;
    while (low < high && ordered) {
        const std::size_t middle = (low + high) / 2;
        const long now = lineNow(middle);
        ordered = now >= 0;
        if (now < line)
            low = middle + 1;
        else
            high = middle;
    }
    if (!ordered) {
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (lineNow(i) == line)
                placed.push_back(marks[i].line);
        return placed;
    }
    for (std::size_t i = low; i < marks.size() && lineNow(i) == line; ++i)
        placed.push_back(marks[i].line);
    return placed;
}

// The tooltip of a marked line: the message lines that named it.
std::string messageTip(TextPane *pane, long line)
{
    const MarkedMessages messages = markedMessages();
    if (!messages.entries || !(textsw_marks_on(pane, line) & marksMask))
        return std::string();
    const auto marked = std::find_if(markedPanes.begin(), markedPanes.end(),
                                     [&](const PaneMarks &each) { return each.pane == pane; });
    if (marked == markedPanes.end())
        return std::string();
    const std::vector<long> placed = placedLinesOn(pane, marked->marks, line);
    std::string tip;
    int listed = 0, more = 0;
    for (const ErrorEntry &entry : *messages.entries) {
        if (entry.projectSlot != marked->slot ||
            std::find(placed.begin(), placed.end(), entry.lineNumber - 1L) == placed.end())
            continue;
        if (listed == messagesInTip) {
            ++more;
            continue;
        }
        std::string message(messageLine(messages.text, entry));
        if (!messages.utf8)
            message = QString::fromLatin1(message.data(), static_cast<int>(message.size())).toStdString();
        tip += (listed++ ? "\n" : "") + message;
    }
    if (more > 0)
        tip += "\n... and " + std::to_string(more) + (more == 1 ? " more message" : " more messages");
    return tip;
}

bool isWordByte(unsigned char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           byte == '_' || byte >= 0x80;
}

} // namespace

void prepareMessageMarks(TextPane *pane)
{
    textsw_show_mark_margin(pane);
    textsw_set_margin_tip_proc(pane, messageTip);
}

void placeMessageMarks()
{
    removeMessageMarks();
    if (!markedMessages().entries)
        return;
    nextEntry = 0;
    paneIndex.fill(-1);
    placing = true;
    placeSlice();
}

void removeMessageMarks()
{
    notify_set_itimer_func(placingClient, nullptr, ITIMER_REAL, nullptr, nullptr);
    placing = false;
    for (PaneMarks &marked : markedPanes)
        textsw_remove_marks(marked.pane);
    markedPanes.clear();
    if (underlinedPane)
        textsw_set_underline(underlinedPane, 0, 0, QColor());
    underlinedPane = nullptr;
}

QColor messageKindColour(MessageKind kind)
{
    return kind == MessageKind::error ? errorColour : warningColour;
}

bool placingMessageMarks()
{
    return placing;
}

void markMessageColumn(TextPane *pane, const ErrorEntry &entry)
{
    if (underlinedPane)
        textsw_set_underline(underlinedPane, 0, 0, QColor());
    underlinedPane = nullptr;
    const long line = entry.lineNumber - 1L;
    if (!pane || entry.column() <= 0 || line < 0 || line >= pane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT))
        return;
    const long start = pane->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = pane->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    if (start < 0 || end < start || end > textsw_length(pane))
        return;
    // A copy of the one line: the editor's pointer into its buffer is not kept across calls.
    const std::string text = textsw_contents(pane, start, end);
    long first = 0, lastPlusOne = 0;
    if (!columnToken(text.data(), static_cast<long>(text.size()), entry.column(), &first, &lastPlusOne))
        return;
    textsw_set_underline(pane, start + first, start + lastPlusOne, messageKindColour(entry.kind()));
    underlinedPane = pane;
}

bool columnToken(const char *line, long length, int column, long *first, long *lastPlusOne)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(line);
    long at = 0;
    long shown = 1; // the display column at `at`
    while (at < length && shown < column) {
        shown = bytes[at] == '\t' ? ((shown - 1) / 8 + 1) * 8 + 1 : shown + 1;
        for (++at; at < length && (bytes[at] & 0xC0) == 0x80; ++at) {
        }
    }
    // A column inside a tab's room is the character after the tab.
    if (at >= length)
        return false;
    long end = at + 1;
    if (isWordByte(bytes[at])) {
        while (end < length && isWordByte(bytes[end]))
            ++end;
    } else {
        while (end < length && (bytes[end] & 0xC0) == 0x80)
            ++end;
    }
    *first = at;
    *lastPlusOne = end;
    return true;
}
