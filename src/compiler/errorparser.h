#pragma once
// Finds, in a compiler's output, the messages that name a line of an edited file, using the
// configuration's error form. Pure: no widgets, no global state, no file-system look-ups.
//
// The error form is one line (a newline in it ends it):
//   '*'   the name of an edited file. Written "*#" for the main document's file (its root and
//         extension, which together are the whole file name); a project window's file is
//         matched by its title, and the form character after '*' is skipped without comparison.
//   '%'   a positive decimal line number (leading blanks and a sign accepted); the rest of the
//         form after it is ignored.
//   other characters match themselves exactly.
// The form is compared with each output line from its first character. A "./" where a file
// name is expected is skipped. A line is an entry only when a file was recognised and a line
// number read. File names are compared as prefixes (isCommonPrefix): the output's last line,
// cut short inside a name, still agrees as far as it goes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

constexpr int mainDocumentSlot = -1;

struct ErrorEntry {
    long lineStart = 0;  // position of the message's line in the output
    long lineEnd = 0;    // its newline, or the end of the output (exclusive)
    int lineNumber = 0;  // greater than 0
    int projectSlot = mainDocumentSlot; // or the project window slot, 0 to 255

    bool operator==(const ErrorEntry &other) const
    {
        return lineStart == other.lineStart && lineEnd == other.lineEnd &&
               lineNumber == other.lineNumber && projectSlot == other.projectSlot;
    }
};

// A project window as the error list sees it: its slot and its title (the file name, followed
// by " - edited" while `edited` is set).
struct ProjectFileTitle {
    int slot = 0;
    std::string title;
    bool edited = false;
};

// Matches single output lines against one form and one set of file names.
class ErrorFormMatcher {
public:
    // `projects` in slot order: the first title that agrees wins.
    ErrorFormMatcher(const char *errorForm, const char *fileName,
                     const std::vector<ProjectFileTitle> &projects);

    // Matches the line [lineStart, lineEnd) of `output`. The file names may be compared with
    // text beyond the line, as far as the output goes. Fills `entry` and returns true for a
    // message line.
    bool matchLine(std::string_view output, std::size_t lineStart, std::size_t lineEnd,
                   ErrorEntry &entry) const;

private:
    struct ProjectName {
        int slot;
        std::string name;
    };
    bool takeProject(const ProjectName &project, std::size_t &pos, std::size_t &f,
                     int &slot) const;
    bool matchName(std::string_view output, std::size_t &pos, std::size_t &f, int &slot) const;

    std::string form_;
    std::string fileName_;
    std::vector<ProjectName> projects_;
    // For each first byte, the indices in projects_ of the names that start with it, in slot
    // order: a line is compared only with the titles that can agree with it.
    std::vector<unsigned> projectsByFirstByte_[256];
};

// Every message line of `output`, in order. `fileName` is the main document's file name (empty
// when no file is loaded); `projects` the open project windows in slot order.
std::vector<ErrorEntry> parseErrorMessages(std::string_view output, const char *errorForm,
                                           const char *fileName,
                                           const std::vector<ProjectFileTitle> &projects);

// Parses an output while it arrives, so that a long output's message lines are known when the
// compile ends without parsing it all in one go then. A line is matched once enough text follows
// it that no comparison of the form can reach past what has arrived; finish() matches the rest.
// The entries are exactly those parseErrorMessages gives for the whole output.
class IncrementalErrorParser {
public:
    IncrementalErrorParser(const char *errorForm, const char *fileName,
                           const std::vector<ProjectFileTitle> &projects);

    // `output`: the output so far; each call's text begins with the previous call's.
    void parseArrived(std::string_view output);
    // `output`: the whole output. The parser is spent afterwards.
    std::vector<ErrorEntry> finish(std::string_view output);
    // Whether the parser was made with these inputs (otherwise its entries are not theirs).
    bool madeFrom(const char *errorForm, const char *fileName,
                  const std::vector<ProjectFileTitle> &projects) const;

private:
    void parseLines(std::string_view output, std::size_t reach);

    ErrorFormMatcher matcher_;
    std::string errorForm_, fileName_;
    std::vector<ProjectFileTitle> projects_;
    std::size_t reach_ = 0;  // how far past a line's start matching it may read
    std::size_t parsed_ = 0; // where the next line to match starts
    std::vector<ErrorEntry> entries_;
};
