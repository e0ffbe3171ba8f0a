#include "compiler/terminalmessages.h"

#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "compiler/messagefiles.h"
#include "compiler/messagemarks.h"
#include "compiler/resultswindow.h"
#include "documents/document.h"
#include "toolkit/notifier.h"
#include "toolkit/terminallines.h"
#include "toolkit/terminalpane.h"

#include <QPointer>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// The kept lines of one command stop growing here (a program that prints message lines for ever).
constexpr std::size_t keptBytesLimit = 64u << 20;
// Marks are placed this long after the first of a burst of new messages.
constexpr long marksDelayMicroseconds = 150000;

struct TerminalMessages {
    QPointer<TerminalPane> pane;
    bool on = true;
    // What decides which lines are kept: made from the form and the names of the moment.
    std::optional<ErrorFormMatcher> filter;
    std::string filterForm, filterFile;
    char needle = 0; // a character that every line fitting the form holds (0: none known)
    // The current command's kept lines, and the parser of them.
    std::string kept;
    std::string directory; // the shell's, when the command's first line was kept
    std::optional<IncrementalErrorParser> parser;
    ErrorList list;
    // The entries of each message text, in order.
    std::unordered_map<std::string, std::vector<int>> byText;
    // Which messages are newer: the terminal's (since their first entry) or the results window's.
    std::uint64_t clock = 0, listStamp = 0, resultsStamp = 0;
};
TerminalMessages state;

const char marksClientMark = 0;
const NotifyClient marksClient = &marksClientMark;
bool marksPending = false;

std::string_view lineOf(const ErrorEntry &entry)
{
    return messageLine(state.kept, entry);
}

// A character that every line that fits `form` holds: one that is compared wherever it stands
// (not the one after a '*', which a project window's title skips), before the '%'.
char needleOf(std::string_view form)
{
    for (std::size_t f = 0; f < form.size() && form[f] != '%' && form[f] != '\n'; ++f) {
        if (form[f] == '*') {
            ++f; // the character after it is not always compared
            continue;
        }
        return form[f];
    }
    return 0;
}

// "make[1]: Entering directory '...'" and "...: Leaving directory '...'": the parser follows them.
bool reportsDirectory(std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view report = line.substr(colon);
    return report.rfind(": Entering directory ", 0) == 0 || report.rfind(": Leaving directory ", 0) == 0;
}

void makeFilter()
{
    state.filterForm = currentErrorForm();
    state.filterFile = document.fileName;
    state.filter.emplace(state.filterForm.c_str(), state.filterFile.c_str(), projectTitles());
    state.needle = needleOf(state.filterForm);
}

NotifyValue placeMarksNow(NotifyClient, int)
{
    marksPending = false;
    placeMessageMarks();
    return NOTIFY_DONE;
}

// Places the marks soon: messages come in bursts.
void scheduleMarks()
{
    if (marksPending)
        return;
    marksPending = true;
    struct itimerval once {};
    once.it_value.tv_usec = marksDelayMicroseconds;
    notify_set_itimer_func(marksClient, placeMarksNow, ITIMER_REAL, &once, nullptr);
}

// The list takes the parser's entries from `from` on.
void takeEntries(std::size_t from)
{
    const ErrorEntries &found = state.parser->entries();
    if (from >= found.size())
        return;
    const bool wasLeading = terminalMessagesLead();
    if (state.listStamp == 0)
        state.listStamp = ++state.clock;
    state.list.extend(&found[from], found.size() - from);
    for (std::size_t i = from; i < found.size(); ++i)
        state.byText[std::string(lineOf(found[i]))].push_back(static_cast<int>(i));
    ttysw_show_links(state.pane, true);
    if (wasLeading || terminalMessagesLead())
        scheduleMarks();
}

void makeParser()
{
    const std::shared_ptr<EditedFileResolver> files = editedFilesOnDisk(state.directory);
    state.parser.emplace(currentErrorForm(), document.fileName.c_str(), projectTitles(), resolverOf(files));
}

void takeLine(std::string_view line)
{
    // Most lines hold neither the form's character nor a colon: they are none of the lines kept.
    if (state.needle && !std::memchr(line.data(), state.needle, line.size()) &&
        (state.needle == ':' || !std::memchr(line.data(), ':', line.size())))
        return;
    if (!state.filter || state.filterForm != currentErrorForm() || state.filterFile != document.fileName)
        makeFilter();
    if (!state.filter->fitsForm(line) && !reportsDirectory(line))
        return;
    if (state.kept.size() + line.size() + 1 > keptBytesLimit)
        return;
    if (!state.parser) {
        state.directory = ttysw_shell_directory(state.pane);
        makeParser();
    }
    state.kept.append(line.data(), line.size());
    state.kept += '\n';
    const std::size_t before = state.parser->entries().size();
    state.parser->parseCompleteLines(state.kept);
    takeEntries(before);
}

void forgetCommand()
{
    const bool wasLeading = terminalMessagesLead();
    state.kept.clear();
    if (state.kept.capacity() > (1u << 20))
        std::string().swap(state.kept);
    state.directory.clear();
    state.parser.reset();
    state.list.rebuild(ErrorEntries());
    state.byText.clear();
    state.listStamp = 0;
    ttysw_show_links(state.pane, false);
    ttysw_highlight_line(state.pane, std::string(), 0);
    // The results window's marks, if any, come back.
    if (wasLeading)
        placeMessageMarks();
}

void showTerminalStep(const ErrorStep &step)
{
    if (!step.shown)
        return;
    const int index = state.list.errorCursor();
    const std::string text(lineOf(*step.shown));
    const std::vector<int> &equal = state.byText[text];
    const int after = static_cast<int>(equal.end() - std::upper_bound(equal.begin(), equal.end(), index));
    ttysw_highlight_line(state.pane, text, after);
    showMessageSource(*step.shown);
}

QColor linkColour(const std::string &line)
{
    const auto found = state.byText.find(line);
    if (found == state.byText.end() || found->second.empty())
        return QColor();
    return messageKindColour(state.list.entries()[static_cast<std::size_t>(found->second.front())].kind());
}

void openLink(const std::string &line, int equalAfter)
{
    const auto found = state.byText.find(line);
    if (found == state.byText.end() || found->second.empty())
        return;
    const std::vector<int> &equal = found->second;
    const int index = equalAfter < static_cast<int>(equal.size()) ? equal[equal.size() - 1 - static_cast<std::size_t>(equalAfter)]
                                                                  : equal.front();
    // The user chose a message of the terminal: its messages lead.
    const bool wasLeading = terminalMessagesLead();
    state.listStamp = ++state.clock;
    if (!wasLeading)
        placeMessageMarks();
    showTerminalStep(state.list.select(index));
}

} // namespace

void watchTerminalMessages(TerminalPane *pane)
{
    state.pane = pane;
    ttysw_set_links(pane, {linkColour, openLink});
    ttysw_set_command_proc(pane, [] {
        if (state.on)
            forgetCommand();
    });
    setTerminalMessagesOn(state.on);
}

void setTerminalMessagesOn(bool on)
{
    state.on = on;
    if (!state.pane)
        return;
    forgetCommand();
    ttysw_set_line_proc(state.pane, on ? std::function<void(std::string_view)>(takeLine) : nullptr);
}

const ErrorList &terminalErrorList()
{
    return state.list;
}

std::string_view terminalMessageText()
{
    return state.kept;
}

bool terminalMessagesLead()
{
    return state.on && !state.list.entries().empty() && (!resultsWindow || state.listStamp > state.resultsStamp);
}

void nextTerminalMessage()
{
    if (state.list.buttons().next)
        showTerminalStep(state.list.next());
}

void previousTerminalMessage()
{
    if (state.list.buttons().previous)
        showTerminalStep(state.list.previous());
}

void rebuildTerminalMessages()
{
    state.filter.reset();
    if (!state.parser)
        return;
    const std::uint64_t stamp = state.listStamp;
    state.list.rebuild(ErrorEntries());
    state.byText.clear();
    makeParser();
    state.parser->parseCompleteLines(state.kept);
    takeEntries(0);
    if (stamp != 0)
        state.listStamp = stamp;
    ttysw_show_links(state.pane, !state.list.entries().empty());
    ttysw_highlight_line(state.pane, std::string(), 0);
    if (terminalMessagesLead())
        scheduleMarks();
}

void letResultsLead()
{
    const bool wasLeading = terminalMessagesLead();
    state.resultsStamp = ++state.clock;
    if (wasLeading)
        placeMessageMarks();
}
