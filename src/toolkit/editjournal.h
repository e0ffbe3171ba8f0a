#pragma once
// The recovery journal of a text: the edits made to it since it was last its saved text, as
// records (bytes inserted at a position, a range erased), kept in checked frames so that a journal
// cut short anywhere (a killed process, a power cut) still yields every edit before the cut; and
// the replay of those records onto the saved text. Pure: bytes in, bytes out.
//
// A journal file: the line journalMagic, a header frame, then edit frames. A frame is a kind byte,
// the payload's length (4 bytes) and hash (8 bytes, little-endian), then the payload. The payloads
// of the edit frames, joined, are the records: 'i', position, length, the bytes; or 'e', position,
// length; numbers as unsigned LEB128. A record may be split between two frames.
#include "toolkit/filestamp.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Collects the records of a text's edits until they are taken (written out).
class EditRecorder {
public:
    void inserted(long position, const char *bytes, long length);
    void erased(long position, long length);
    // The text is its saved text again: the records collected so far no longer matter.
    void restart();

    // Records not yet taken, oldest first; valid until the next change of the recorder.
    std::string_view pending() const { return std::string_view(pending_).substr(taken_); }
    // Drops the first `count` bytes of pending(), which have been written out.
    void taken(std::size_t count);
    // Counts the restarts after which something was recorded: records apply to the saved text
    // of the generation in which they were recorded.
    std::uint64_t generation() const { return generation_; }
    // Whether anything was recorded since the last restart.
    bool recordedSinceRestart() const { return recorded_; }
    // Called when records arrive while none are pending, and at each restart.
    void setWake(std::function<void()> wake) { wake_ = std::move(wake); }

private:
    void beginRecord();
    void dropPending();

    std::string pending_;
    std::size_t taken_ = 0; // bytes of pending_ already written out
    std::uint64_t generation_ = 0;
    bool recorded_ = false;
    std::function<void()> wake_;
};

// The text an edit applies to.
class EditTarget {
public:
    virtual ~EditTarget() = default;
    virtual long length() const = 0;
    virtual void insert(long position, const char *bytes, long length) = 0;
    virtual void erase(long position, long length) = 0;
};

// Applies the records in order; a record cut short at the end is left out. Stops, returning false,
// at a malformed record or one that does not fit the text (a range beyond its end); the records
// before it have been applied.
bool replayEdits(std::string_view records, EditTarget &target);
// Whether replayEdits would apply every record to a text of `length` bytes.
bool editsFit(std::string_view records, long length);
// How many records there are (one cut short at the end not counted).
long countEdits(std::string_view records);

// Who wrote a journal, for which file, and what that file was when the records began.
struct JournalHeader {
    long pid = 0;
    std::uint64_t processStart = 0; // the process's start time (clock ticks since boot)
    std::string file;               // the edited file's absolute path
    FileStamp stored;               // the file when loaded or last stored: the text the records apply to
    std::string baseCopy;           // name, within the journal's folder, of a copy of that text ("" none)
};

extern const char journalMagic[]; // the first line of every journal file

// The start of a journal file: journalMagic and the header frame.
std::string journalStart(const JournalHeader &header);
// An edit frame holding `records` (any slice of pending()).
std::string journalEditFrame(std::string_view records);
// Reads a journal file: false when it does not begin with a whole header. `records` gets the
// payloads of the edit frames up to the first one that is cut short or damaged.
bool readJournal(std::string_view file, JournalHeader &header, std::string &records);
