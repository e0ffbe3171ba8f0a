#pragma once
// Finds, in a compiler's output, the messages that name a line of an edited file, using the
// configuration's error form. Pure: no widgets, no global state, no file-system look-ups (those
// are left to an injected resolver).
//
// The error form is one line (a newline in it ends it):
//   '*'   the name of an edited file. Written "*#" for the main document's file (its root and
//         extension, which together are the whole file name); a project window's file is
//         matched by its title, and the form character after '*' is skipped without comparison.
//   '%'   a positive decimal line number (leading blanks and a sign accepted); the rest of the
//         form after it is ignored.
//   other characters match themselves exactly.
// The form is compared with each output line from its first character. A "./" where a file
// name is expected is skipped, and so is a "./" at the start of a file's own name. A line is an
// entry only when a file was recognised and a line number read. File names are compared as
// prefixes (isCommonPrefix): the output's last line, cut short inside a name, still agrees as far
// as it goes.
//
// A line whose file is not recognised that way may still name an edited file by another path
// (src/prog.c, /home/me/prog.c, ../prog.c): the file part, read up to the form's next character,
// is handed to the resolver together with the directory that make (or ninja) said it entered
// ("make[1]: Entering directory '/home/me'"; empty when none), and the resolver tells which edited
// file, if any, it names on disk. Only a line whose rest fits the form is handed over.
//
// Each entry also tells the kind of message and its column: after the line number, ":5" or ",5"
// is the column, and the first of the words error, fatal, warning, note and remark in the rest of
// the line (in any case) is the kind; a message without any of them counts as an error.

#include "toolkit/mappedarray.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr int mainDocumentSlot = -1;
// The resolver's answer for a file that is not being edited.
constexpr int noEditedFile = -2;

enum class MessageKind : std::uint8_t {
    error = 0,
    warning = 1, // warnings, notes and remarks
};

// Columns beyond this are not kept (the message then has none).
constexpr int largestColumn = 32767;

// A message line. Its end is not kept but found in the output (lineEndOf), and the kind and the
// column are packed, so that an entry takes 16 bytes: a long output has as many entries as it has
// message lines.
struct ErrorEntry {
    long lineStart = 0;  // position of the message's line in the output
    int lineNumber = 0;  // greater than 0
    std::int16_t projectSlot = mainDocumentSlot; // or the project window slot, 0 to 255
    // The kind (lowest bit) and the column (the other bits; 0: none).
    std::uint16_t details = 0;

    MessageKind kind() const { return static_cast<MessageKind>(details & 1); }
    int column() const { return details >> 1; }
    void setDetails(MessageKind kind, int column)
    {
        const int kept = column > 0 && column <= largestColumn ? column : 0;
        details = static_cast<std::uint16_t>(kept << 1 | static_cast<int>(kind));
    }

    bool operator==(const ErrorEntry &other) const
    {
        return lineStart == other.lineStart && lineNumber == other.lineNumber &&
               projectSlot == other.projectSlot && details == other.details;
    }
};

// The end of the entry's line in `output`, the output it was found in: its newline, or the end of
// the output (exclusive).
long lineEndOf(std::string_view output, const ErrorEntry &entry);
// The entry's line in `output`, without its line end.
std::string_view messageLine(std::string_view output, const ErrorEntry &entry);

using ErrorEntries = MappedArray<ErrorEntry>;

// A project window as the error list sees it: its slot and its title (the file name, followed
// by " - edited" while `edited` is set).
struct ProjectFileTitle {
    int slot = 0;
    std::string title;
    bool edited = false;
};

// Tells which edited file the file part of a message names: mainDocumentSlot, a project slot, or
// noEditedFile. `directory` is the directory make said it entered (absolute, or relative to the
// directory of the compile), or empty.
using FileResolver = std::function<int(std::string_view directory, std::string_view filePart)>;

// Matches single output lines against one form and one set of file names.
class ErrorFormMatcher {
public:
    // `projects` in slot order: the first title that agrees wins.
    ErrorFormMatcher(const char *errorForm, const char *fileName,
                     const std::vector<ProjectFileTitle> &projects, FileResolver resolver = {});

    // Matches the line [lineStart, lineEnd) of `output`. The file names may be compared with
    // text beyond the line, as far as the output goes. Fills `entry` and returns true for a
    // message line. `directory`: see FileResolver.
    bool matchLine(std::string_view output, std::size_t lineStart, std::size_t lineEnd, ErrorEntry &entry,
                   std::string_view directory = {}) const;
    // Whether `line` would be a message if the file it names were edited: it fits the form with
    // an edited file's name, or with any file part before the form's next character. Nothing is
    // looked up on disk.
    bool fitsForm(std::string_view line) const;

    // How one line fares, for a user trying the form: a message for an edited file, a message for
    // another file, or none.
    struct Trial {
        enum class Outcome { message, otherFile, noMessage };
        Outcome outcome = Outcome::noMessage;
        ErrorEntry entry;          // of a message
        std::string_view file;     // of a message: the file as the line names it
        std::size_t stoppedAt = 0; // of no message: the form character (from 0) where comparing stopped
    };
    Trial tryLine(std::string_view line, std::string_view directory = {}) const;

private:
    struct ProjectName {
        int slot;
        std::string name;
    };
    struct Match;
    // How a '*' recognises a file: by the exact names, by a path that the resolver finds on disk,
    // or by any path (whether the rest of the line would make it a message).
    enum class Names { exact, pathsOnDisk, anyPath };
    bool matchFrom(Match &match, Names names) const;
    bool takeProject(const ProjectName &project, std::size_t &pos, std::size_t &f, int &slot) const;
    bool matchName(std::string_view output, std::size_t &pos, std::size_t &f, int &slot) const;
    bool matchPath(Match &match, bool lookUp) const;
    void readDetails(std::string_view output, std::size_t pos, std::size_t lineEnd, ErrorEntry &entry) const;

    std::string form_;
    std::string fileName_;
    std::vector<ProjectName> projects_;
    // For each first byte, the indices in projects_ of the names that start with it, in slot
    // order: a line is compared only with the titles that can agree with it.
    std::vector<unsigned> projectsByFirstByte_[256];
    FileResolver resolver_;
};

// Every message line of `output`, in order. `fileName` is the main document's file name (empty
// when no file is loaded); `projects` the open project windows in slot order.
std::vector<ErrorEntry> parseErrorMessages(std::string_view output, const char *errorForm,
                                           const char *fileName,
                                           const std::vector<ProjectFileTitle> &projects,
                                           FileResolver resolver = {});

// Parses an output while it arrives, so that a long output's message lines are known when the
// compile ends without parsing it all in one go then. A line is matched once enough text follows
// it that no comparison of the form can reach past what has arrived; finish() matches the rest.
// The entries are exactly those parseErrorMessages gives for the whole output.
class IncrementalErrorParser {
public:
    IncrementalErrorParser(const char *errorForm, const char *fileName,
                           const std::vector<ProjectFileTitle> &projects, FileResolver resolver = {});

    // `output`: the output so far; each call's text begins with the previous call's.
    void parseArrived(std::string_view output);
    // Matches every line of `output` that has its line end. (A line's match is settled once its
    // line end has arrived, unless a file name holds a line end.)
    void parseCompleteLines(std::string_view output);
    // `output`: the whole output. The parser is spent afterwards.
    ErrorEntries finish(std::string_view output);
    // The entries found so far.
    const ErrorEntries &entries() const { return entries_; }
    // Whether the parser was made with these inputs (otherwise its entries are not theirs).
    bool madeFrom(const char *errorForm, const char *fileName,
                  const std::vector<ProjectFileTitle> &projects) const;

private:
    void parseLines(std::string_view output, std::size_t reach);
    void followDirectory(std::string_view line);

    ErrorFormMatcher matcher_;
    std::string errorForm_, fileName_;
    std::vector<ProjectFileTitle> projects_;
    std::size_t reach_ = 0;  // how far past a line's start matching it may read
    std::size_t parsed_ = 0; // where the next line to match starts
    std::vector<std::string> directories_; // entered by make, innermost last
    std::size_t directoriesNotKept_ = 0;    // entered beyond the deepest nesting kept
    ErrorEntries entries_;
};
