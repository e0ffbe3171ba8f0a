#include "compiler/errorparser.h"

#include "shell/strings.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

const std::size_t editedMarkLength = std::strlen(" - edited");

std::string_view from(std::string_view text, std::size_t pos)
{
    return pos < text.size() ? text.substr(pos) : std::string_view();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal number as strtol reads it, but never across the end of the line: a message without
// a line number must not take the number that starts the next line.
long readLineNumber(std::string_view output, std::size_t pos, std::size_t lineEnd)
{
    while (pos < lineEnd && isBlank(output[pos]))
        ++pos;
    bool negative = false;
    if (pos < lineEnd && (output[pos] == '+' || output[pos] == '-')) {
        negative = output[pos] == '-';
        ++pos;
    }
    long value = 0;
    for (; pos < lineEnd && output[pos] >= '0' && output[pos] <= '9'; ++pos) {
        if (value < INT_MAX)
            value = value * 10 + (output[pos] - '0');
    }
    if (value > INT_MAX)
        value = INT_MAX;
    return negative ? -value : value;
}

} // namespace

ErrorFormMatcher::ErrorFormMatcher(const char *errorForm, const char *fileName,
                                   const std::vector<ProjectFileTitle> &projects)
    : form_(errorForm), fileName_(fileName)
{
    std::size_t newline = form_.find('\n');
    if (newline != std::string::npos)
        form_.resize(newline);
    for (const ProjectFileTitle &project : projects) {
        std::string name = project.title;
        if (project.edited)
            name.resize(name.size() >= editedMarkLength ? name.size() - editedMarkLength : 0);
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

bool ErrorFormMatcher::matchLine(std::string_view output, std::size_t lineStart,
                                 std::size_t lineEnd, ErrorEntry &entry) const
{
    std::size_t pos = lineStart;
    std::size_t f = 0;
    bool fileRecognised = false;
    int slot = mainDocumentSlot;
    while (f < form_.size()) {
        char formChar = form_[f];
        if (formChar == '*') {
            if (!matchName(output, pos, f, slot))
                return false; // this line can yield no entry
            fileRecognised = true;
        } else if (formChar == '%') {
            long number = fileRecognised ? readLineNumber(output, pos, lineEnd) : 0;
            if (number <= 0)
                return false;
            entry.lineStart = static_cast<long>(lineStart);
            entry.lineEnd = static_cast<long>(lineEnd);
            entry.lineNumber = static_cast<int>(number);
            entry.projectSlot = slot;
            return true;
        } else {
            if (pos >= output.size() || output[pos] != formChar)
                return false;
            ++pos;
            ++f;
        }
    }
    return false;
}

std::vector<ErrorEntry> parseErrorMessages(std::string_view output, const char *errorForm,
                                           const char *fileName,
                                           const std::vector<ProjectFileTitle> &projects)
{
    IncrementalErrorParser parser(errorForm, fileName, projects);
    return parser.finish(output);
}

IncrementalErrorParser::IncrementalErrorParser(const char *errorForm, const char *fileName,
                                               const std::vector<ProjectFileTitle> &projects)
    : matcher_(errorForm, fileName, projects), errorForm_(errorForm), fileName_(fileName),
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

std::vector<ErrorEntry> IncrementalErrorParser::finish(std::string_view output)
{
    parseLines(output, 0);
    return std::move(entries_);
}

// Matches the complete lines of `output` from parsed_ on that have at least `reach` bytes after
// their start; with no reach, every line, the last one also without a line end.
void IncrementalErrorParser::parseLines(std::string_view output, std::size_t reach)
{
    if (entries_.empty())
        // Room for a message in every 64 bytes, so that long outputs are rarely copied while
        // the list grows; the pages are only touched as entries are added.
        entries_.reserve(output.size() / 64 + 16);
    const char *data = output.data();
    std::size_t pos = parsed_;
    while (pos < output.size() && (reach == 0 || output.size() - pos > reach)) {
        const void *newline = std::memchr(data + pos, '\n', output.size() - pos);
        if (!newline && reach != 0)
            break;
        const std::size_t lineEnd =
            newline ? static_cast<std::size_t>(static_cast<const char *>(newline) - data) : output.size();
        ErrorEntry entry;
        if (matcher_.matchLine(output, pos, lineEnd, entry))
            entries_.push_back(entry);
        pos = lineEnd + 1;
    }
    parsed_ = std::max(parsed_, pos);
}
