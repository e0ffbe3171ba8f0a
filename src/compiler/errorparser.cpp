#include "compiler/errorparser.h"

#include "frame/strings.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const std::size_t editedMarkLength = std::strlen(" - edited");
// A file part longer than this is no file name.
constexpr std::size_t longestFilePart = 4096;
constexpr std::size_t deepestDirectoryNesting = 256;

std::string_view from(std::string_view text, std::size_t pos)
{
    return pos < text.size() ? text.substr(pos) : std::string_view();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isWordCharacter(char c)
{
    return isDigit(c) || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A file's own name without the "./" that the output's names are read without.
std::string withoutDotSlash(std::string name)
{
    std::size_t skip = 0;
    while (name.compare(skip, 2, "./") == 0)
        skip += 2;
    return name.substr(skip);
}

// A decimal number as strtol reads it, but never across the end of the line: a message without
// a line number must not take the number that starts the next line. `end` is set after its
// digits.
long readLineNumber(std::string_view output, std::size_t pos, std::size_t lineEnd, std::size_t &end)
{
    while (pos < lineEnd && isBlank(output[pos]))
        ++pos;
    bool negative = false;
    if (pos < lineEnd && (output[pos] == '+' || output[pos] == '-')) {
        negative = output[pos] == '-';
        ++pos;
    }
    long value = 0;
    for (; pos < lineEnd && isDigit(output[pos]); ++pos) {
        if (value < INT_MAX)
            value = value * 10 + (output[pos] - '0');
    }
    if (value > INT_MAX)
        value = INT_MAX;
    end = pos;
    return negative ? -value : value;
}

bool sameLetters(std::string_view word, const char *lower)
{
    for (char c : word) {
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != *lower++)
            return false;
    }
    return true;
}

// The kind that a word of a message gives, if any.
bool kindOfWord(std::string_view word, MessageKind &kind)
{
    struct Word {
        const char *lower;
        std::size_t length;
        MessageKind kind;
    };
    static const Word words[] = {{"error", 5, MessageKind::error},     {"fatal", 5, MessageKind::error},
                                 {"warning", 7, MessageKind::warning}, {"note", 4, MessageKind::warning},
                                 {"remark", 6, MessageKind::warning}};
    const char first = static_cast<char>(word[0] >= 'A' && word[0] <= 'Z' ? word[0] - 'A' + 'a' : word[0]);
    for (const Word &w : words) {
        if (w.length == word.size() && w.lower[0] == first && sameLetters(word, w.lower)) {
            kind = w.kind;
            return true;
        }
    }
    return false;
}

} // namespace

long lineEndOf(std::string_view output, const ErrorEntry &entry)
{
    const std::size_t start = std::min(static_cast<std::size_t>(entry.lineStart), output.size());
    const void *newline = std::memchr(output.data() + start, '\n', output.size() - start);
    return static_cast<long>(newline ? static_cast<const char *>(newline) - output.data() : output.size());
}

std::string_view messageLine(std::string_view output, const ErrorEntry &entry)
{
    const std::size_t start = std::min(static_cast<std::size_t>(entry.lineStart), output.size());
    return output.substr(start, static_cast<std::size_t>(lineEndOf(output, entry)) - start);
}

struct ErrorFormMatcher::Match {
    std::string_view output;
    std::size_t lineStart;
    std::size_t lineEnd;
    std::string_view directory;
    ErrorEntry &entry;
    std::size_t pos = 0;
    std::size_t f = 0;
    int slot = mainDocumentSlot;
    std::size_t fileStart = 0, fileEnd = 0; // the file part, once recognised
};

ErrorFormMatcher::ErrorFormMatcher(const char *errorForm, const char *fileName,
                                   const std::vector<ProjectFileTitle> &projects, FileResolver resolver)
    : form_(errorForm), fileName_(withoutDotSlash(fileName)), resolver_(std::move(resolver))
{
    std::size_t newline = form_.find('\n');
    if (newline != std::string::npos)
        form_.resize(newline);
    for (const ProjectFileTitle &project : projects) {
        std::string name = project.title;
        if (project.edited)
            name.resize(name.size() >= editedMarkLength ? name.size() - editedMarkLength : 0);
        name = withoutDotSlash(std::move(name));
        // A window without a name would agree with every line.
        if (!name.empty())
            projects_.push_back({project.slot, std::move(name)});
    }
    for (size_t i = 0; i < projects_.size(); ++i) {
        unsigned char firstByte = static_cast<unsigned char>(projects_[i].name[0]);
        projectsByFirstByte_[firstByte].push_back(static_cast<unsigned>(i));
    }
}

bool ErrorFormMatcher::takeProject(const ProjectName &project, std::size_t &pos, std::size_t &f,
                                   int &slot) const
{
    slot = project.slot;
    pos += project.name.size();
    f += f + 1 < form_.size() ? 2 : 1; // past '*' and the character after it, not compared
    return true;
}

// The '*' at form_[f]: recognises a file name at pos, advancing pos and f past it.
bool ErrorFormMatcher::matchName(std::string_view output, std::size_t &pos, std::size_t &f,
                                 int &slot) const
{
    if (pos + 1 < output.size() && output[pos] == '.' && output[pos + 1] == '/')
        pos += 2;
    std::string_view text = from(output, pos);
    // "*#" is the root of the main file name followed by its extension: the whole name. (When
    // the name does not end with the matched extension, root and extension would spell another
    // file's name; the name itself is what the messages must name.)
    bool hashFollows = f + 1 < form_.size() && form_[f + 1] == '#';
    if (hashFollows && !fileName_.empty() && isCommonPrefix(text, fileName_)) {
        slot = mainDocumentSlot;
        pos += fileName_.size();
        f += 2;
        return true;
    }
    // At the very end of the output every name agrees as far as the text goes: the first one.
    if (text.empty())
        return !projects_.empty() && takeProject(projects_.front(), pos, f, slot);
    for (unsigned index : projectsByFirstByte_[static_cast<unsigned char>(text[0])]) {
        if (isCommonPrefix(projects_[index].name, text))
            return takeProject(projects_[index], pos, f, slot);
    }
    return false;
}

// The '*' at form_[match.f], by path: the text up to the form's next character is a file name
// that the resolver looks up on disk (with `lookUp`; otherwise any file name is taken).
bool ErrorFormMatcher::matchPath(Match &match, bool lookUp) const
{
    std::size_t next = match.f + 1;
    if (next < form_.size() && form_[next] == '#')
        ++next;
    if (next >= form_.size() || form_[next] == '%' || form_[next] == '*')
        return false;
    const std::size_t start = match.pos;
    const std::size_t stop = std::min(match.lineEnd, start + longestFilePart);
    const void *delimiter = start < stop ? std::memchr(match.output.data() + start, form_[next], stop - start) : nullptr;
    if (!delimiter)
        return false;
    const std::size_t end = static_cast<std::size_t>(static_cast<const char *>(delimiter) - match.output.data());
    if (end == start)
        return false;
    const int slot = lookUp ? resolver_(match.directory, match.output.substr(start, end - start)) : mainDocumentSlot;
    if (slot == noEditedFile)
        return false;
    match.slot = slot;
    match.pos = end;
    match.f = next;
    return true;
}

// The column and the kind of a message, from the text after its line number.
void ErrorFormMatcher::readDetails(std::string_view output, std::size_t pos, std::size_t lineEnd,
                                   ErrorEntry &entry) const
{
    long column = 0;
    if (pos + 1 < lineEnd && (output[pos] == ':' || output[pos] == ',') && isDigit(output[pos + 1])) {
        for (++pos; pos < lineEnd && isDigit(output[pos]); ++pos)
            column = std::min(column * 10 + (output[pos] - '0'), static_cast<long>(largestColumn) + 1);
    }
    MessageKind kind = MessageKind::error;
    while (pos < lineEnd) {
        if (!isWordCharacter(output[pos])) {
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        while (pos < lineEnd && isWordCharacter(output[pos]))
            ++pos;
        if (kindOfWord(output.substr(start, pos - start), kind))
            break;
    }
    entry.setDetails(kind, static_cast<int>(column));
}

bool ErrorFormMatcher::matchFrom(Match &match, Names names) const
{
    match.pos = match.lineStart;
    match.f = 0;
    match.slot = mainDocumentSlot;
    bool fileRecognised = false;
    const std::string_view output = match.output;
    while (match.f < form_.size()) {
        char formChar = form_[match.f];
        if (formChar == '*') {
            const std::size_t nameStart = match.pos;
            if (!(names == Names::exact ? matchName(output, match.pos, match.f, match.slot)
                                        : matchPath(match, names == Names::pathsOnDisk)))
                return false; // this line can yield no entry
            fileRecognised = true;
            const bool dotSlash = names == Names::exact && nameStart + 1 < output.size() && output[nameStart] == '.' &&
                                  output[nameStart + 1] == '/';
            match.fileStart = std::min(nameStart + (dotSlash ? 2 : 0), match.pos);
            match.fileEnd = std::min(match.pos, match.lineEnd);
        } else if (formChar == '%') {
            std::size_t numberEnd = match.pos;
            long number = fileRecognised ? readLineNumber(output, match.pos, match.lineEnd, numberEnd) : 0;
            if (number <= 0)
                return false;
            ErrorEntry &entry = match.entry;
            entry.lineStart = static_cast<long>(match.lineStart);
            entry.lineNumber = static_cast<int>(number);
            entry.projectSlot = static_cast<std::int16_t>(match.slot);
            readDetails(output, numberEnd, match.lineEnd, entry);
            return true;
        } else {
            if (match.pos >= output.size() || output[match.pos] != formChar)
                return false;
            ++match.pos;
            ++match.f;
        }
    }
    return false;
}

bool ErrorFormMatcher::matchLine(std::string_view output, std::size_t lineStart, std::size_t lineEnd,
                                 ErrorEntry &entry, std::string_view directory) const
{
    Match match{output, lineStart, lineEnd, directory, entry};
    // Paths are looked up on disk only for a line that is a message whatever file it names: most
    // lines that hold the form's next character are none (the source lines that gcc quotes, its
    // "In function" lines), and each different one would cost a look-up.
    return matchFrom(match, Names::exact) ||
           (resolver_ && matchFrom(match, Names::anyPath) && matchFrom(match, Names::pathsOnDisk));
}

bool ErrorFormMatcher::fitsForm(std::string_view line) const
{
    ErrorEntry entry;
    Match match{line, 0, line.size(), {}, entry};
    return matchFrom(match, Names::exact) || matchFrom(match, Names::anyPath);
}

ErrorFormMatcher::Trial ErrorFormMatcher::tryLine(std::string_view line, std::string_view directory) const
{
    Trial trial;
    ErrorEntry anyFile;
    Match exact{line, 0, line.size(), directory, trial.entry};
    Match any{line, 0, line.size(), directory, anyFile};
    Match disk = exact;
    const Match *found = nullptr;
    bool fits = false;
    if (matchFrom(exact, Names::exact)) {
        found = &exact;
    } else if (matchFrom(any, Names::anyPath)) {
        fits = true;
        if (resolver_ && matchFrom(disk, Names::pathsOnDisk))
            found = &disk;
    }
    if (found) {
        trial.outcome = Trial::Outcome::message;
        trial.file = line.substr(found->fileStart, found->fileEnd - found->fileStart);
    } else if (fits) {
        trial.outcome = Trial::Outcome::otherFile;
    } else {
        // Once the exact name of an edited file was recognised, the comparison stopped after it; a
        // file part read up to the form's next character may reach into the rest of the message.
        const bool nameRecognised = exact.f > form_.find('*');
        trial.stoppedAt = nameRecognised ? exact.f : std::max(exact.f, any.f);
    }
    return trial;
}

std::vector<ErrorEntry> parseErrorMessages(std::string_view output, const char *errorForm,
                                           const char *fileName,
                                           const std::vector<ProjectFileTitle> &projects, FileResolver resolver)
{
    IncrementalErrorParser parser(errorForm, fileName, projects, std::move(resolver));
    const ErrorEntries entries = parser.finish(output);
    return std::vector<ErrorEntry>(entries.begin(), entries.end());
}

IncrementalErrorParser::IncrementalErrorParser(const char *errorForm, const char *fileName,
                                               const std::vector<ProjectFileTitle> &projects,
                                               FileResolver resolver)
    : matcher_(errorForm, fileName, projects, std::move(resolver)), errorForm_(errorForm), fileName_(fileName),
      projects_(projects)
{
    // Each element of the form reads at most a name (after "./") or one character.
    std::size_t longestName = fileName_.size();
    for (const ProjectFileTitle &project : projects_)
        longestName = std::max(longestName, project.title.size());
    reach_ = (errorForm_.size() + 1) * (longestName + 2);
}

bool IncrementalErrorParser::madeFrom(const char *errorForm, const char *fileName,
                                      const std::vector<ProjectFileTitle> &projects) const
{
    if (errorForm_ != errorForm || fileName_ != fileName || projects_.size() != projects.size())
        return false;
    for (std::size_t i = 0; i < projects.size(); ++i) {
        if (projects_[i].slot != projects[i].slot || projects_[i].title != projects[i].title ||
            projects_[i].edited != projects[i].edited)
            return false;
    }
    return true;
}

void IncrementalErrorParser::parseArrived(std::string_view output)
{
    parseLines(output, reach_);
}

void IncrementalErrorParser::parseCompleteLines(std::string_view output)
{
    const std::size_t lastLineEnd = output.rfind('\n');
    if (lastLineEnd != std::string_view::npos && lastLineEnd >= parsed_)
        parseLines(output.substr(0, lastLineEnd + 1), 0);
}

ErrorEntries IncrementalErrorParser::finish(std::string_view output)
{
    parseLines(output, 0);
    return std::move(entries_);
}

// Follows make's (and ninja's) reports of the directory it works in:
// "make[1]: Entering directory '/home/me/src'" ... "make[1]: Leaving directory '/home/me/src'".
void IncrementalErrorParser::followDirectory(std::string_view line)
{
    // "<program>: Entering directory" or "<program>[level]: Leaving directory": the words come
    // after the first colon.
    static const std::string_view entering = ": Entering directory ", leaving = ": Leaving directory ";
    const void *colon = std::memchr(line.data(), ':', line.size());
    if (!colon)
        return;
    const std::string_view report = line.substr(static_cast<std::size_t>(static_cast<const char *>(colon) - line.data()));
    if (report.substr(0, leaving.size()) == leaving) {
        if (directoriesNotKept_ > 0)
            --directoriesNotKept_;
        else if (!directories_.empty())
            directories_.pop_back();
        return;
    }
    if (report.substr(0, entering.size()) != entering)
        return;
    const std::size_t enter = static_cast<std::size_t>(static_cast<const char *>(colon) - line.data());
    // The name stands between quotes: '...', `...' or the typographic ones.
    std::string_view rest = line.substr(enter + entering.size());
    std::string_view closing = "'";
    if (!rest.empty() && (rest[0] == '\'' || rest[0] == '`')) {
        rest.remove_prefix(1);
    } else if (rest.substr(0, 3) == "\xE2\x80\x98") {
        rest.remove_prefix(3);
        closing = "\xE2\x80\x99";
    } else {
        return;
    }
    const std::size_t close = rest.rfind(closing);
    if (close == std::string_view::npos || close == 0)
        return;
    if (directories_.size() >= deepestDirectoryNesting) {
        ++directoriesNotKept_;
        return;
    }
    const std::string_view name = rest.substr(0, close);
    // A relative name is relative to the directory entered before (or to the compile's).
    if (name[0] == '/' || directories_.empty())
        directories_.emplace_back(name);
    else
        directories_.push_back(directories_.back() + "/" + std::string(name));
}

// Matches the complete lines of `output` from parsed_ on that have at least `reach` bytes after
// their start; with no reach, every line, the last one also without a line end.
void IncrementalErrorParser::parseLines(std::string_view output, std::size_t reach)
{
    const char *data = output.data();
    std::size_t pos = parsed_;
    while (pos < output.size() && (reach == 0 || output.size() - pos > reach)) {
        const void *newline = std::memchr(data + pos, '\n', output.size() - pos);
        if (!newline && reach != 0)
            break;
        const std::size_t lineEnd =
            newline ? static_cast<std::size_t>(static_cast<const char *>(newline) - data) : output.size();
        ErrorEntry entry;
        const std::string_view directory = directories_.empty() ? std::string_view() : directories_.back();
        if (matcher_.matchLine(output, pos, lineEnd, entry, directory))
            entries_.push_back(entry); // without memory for it the entry is left out
        else
            followDirectory(output.substr(pos, lineEnd - pos));
        pos = lineEnd + 1;
    }
    parsed_ = std::max(parsed_, pos);
}
