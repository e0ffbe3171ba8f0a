// Whether the tsl that wrote a journal still runs: by its process number and start time, so that
// a number taken by another process since does not keep a journal from being offered.
#include "documents/leftjournals.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(LeftJournals, StartTimeIsReadAfterTheProcessName)
{
    const struct {
        const char *stat;
        std::uint64_t start;
    } rows[] = {
        {"4242 (tsl) S 1 4242 4242 34816 4242 4194304 2711 0 0 0 12 3 0 0 20 0 4 0 8675309 493027328 9021 "
         "18446744073709551615\n",
         8675309},
        // A program name may hold blanks and parentheses.
        {"77 (a (b) c) R 1 77 77 0 -1 4194560 98 0 0 0 0 0 0 0 20 0 1 0 123 4096 1 18446744073709551615\n", 123},
        {"77 (x) R 1 77 77 0 -1 4194560 98 0 0 0 0 0 0 0 20 0 1 0", 0}, // cut before the field
        {"no parenthesis at all", 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(startTimeFromStat(row.stat), row.start) << row.stat;
}

TEST(LeftJournals, OnlyTheProcessThatWroteTheJournalRunsIt)
{
    JournalHeader header;
    header.pid = getpid();
    header.processStart = processStartTime(getpid());
    ASSERT_NE(header.processStart, 0u);
    EXPECT_TRUE(journalWriterRuns(header));
    header.processStart += 1; // the number was taken by another process
    EXPECT_FALSE(journalWriterRuns(header));

    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    header.pid = child;
    EXPECT_FALSE(journalWriterRuns(header));
    header.pid = 0;
    EXPECT_FALSE(journalWriterRuns(header));
}

} // namespace
