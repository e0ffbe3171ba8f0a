#pragma once
// Journals left behind by a tsl that ended without saving: finding those of a file, and telling
// whether the tsl that writes a journal still runs.
#include "toolkit/editjournal.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LeftJournal {
    std::string path;    // the journal file
    JournalHeader header;
    std::string records; // the edits it holds
};

// The journals of the file `name` whose writer has ended, newest first. Journals of a running
// tsl (this one or another frame) are not among them.
std::vector<LeftJournal> journalsLeftFor(const std::string &name);
// Removes a journal and its copy of the stored file.
void removeLeftJournal(const LeftJournal &journal);
// The copy of the stored file that the journal names, "" when it names none.
std::string baseCopyPath(const LeftJournal &journal);

// `name` as an absolute path: links and "." and ".." resolved when the file exists.
std::string absolutePathOf(const std::string &name);
// The start of every journal file name of the file at `absolutePath`.
std::string journalStem(const std::string &absolutePath);
// The start time of a process (clock ticks after boot), 0 when there is no such process.
std::uint64_t processStartTime(long pid);
// The start time field of a /proc/PID/stat line, 0 when it cannot be read.
std::uint64_t startTimeFromStat(std::string_view stat);
// Whether the process that wrote the journal still runs.
bool journalWriterRuns(const JournalHeader &header);
