// Recovery journals as bytes: recorded edits written in frames and read back give exactly the
// edited text, also when the journal was cut short or damaged at any point.
#include "toolkit/editjournal.h"
#include "toolkit/piecetext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A random edit of `text` (inserts with NULs and line ends, erases, at the ends too), made on the
// reference text and told to the recorder.
void randomEdit(std::mt19937 &random, std::string &text, EditRecorder &recorder)
{
    const long length = static_cast<long>(text.size());
    const long at = std::uniform_int_distribution<long>(0, length)(random);
    if (length > 0 && random() % 3 == 0) {
        const long count = std::uniform_int_distribution<long>(1, std::min(length - at, 40L) ? std::min(length - at, 40L) : 1)(random);
        if (at + count <= length) {
            text.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
            recorder.erased(at, count);
            return;
        }
    }
    std::string bytes;
    const int count = 1 + static_cast<int>(random() % (random() % 8 == 0 ? 300 : 3));
    for (int i = 0; i < count; ++i)
        bytes += "ab\n\0\r\xff\xc3\xa9"[random() % 8];
    text.insert(static_cast<std::size_t>(at), bytes);
    recorder.inserted(at, bytes.data(), static_cast<long>(bytes.size()));
}

// The journal file a writer would leave: the start, then the pending records taken in frames
// of random sizes (a record may be split between two frames).
std::string writeOut(std::mt19937 &random, EditRecorder &recorder, std::string &file)
{
    while (!recorder.pending().empty()) {
        const std::size_t slice = 1 + random() % (recorder.pending().size());
        file += journalEditFrame(recorder.pending().substr(0, slice));
        recorder.taken(slice);
    }
    return file;
}

// The records replayed onto `base`; the differences from the base that the replay finds, made
// from the last to the first as a pane makes them, must give the same text.
std::string replay(const std::string &base, const std::string &records)
{
    PieceText text(base);
    EXPECT_TRUE(replayEdits(records, text));
    std::string changed = base;
    const std::vector<PieceText::Change> changes = text.changes();
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        EXPECT_LE(change->from, change->to);
        if (change + 1 != changes.rend()) {
            EXPECT_LT((change + 1)->to, change->from) << "changes that touch";
        }
        changed.replace(static_cast<std::size_t>(change->from), static_cast<std::size_t>(change->to - change->from),
                        change->bytes);
    }
    EXPECT_EQ(changed, text.text());
    EXPECT_EQ(text.length(), static_cast<long>(changed.size()));
    return text.text();
}

JournalHeader sampleHeader()
{
    JournalHeader header;
    header.pid = 4242;
    header.processStart = 987654321;
    header.file = "/home/user/odd name\nwith a line end.c";
    header.stored.exists = true;
    header.stored.device = 2049;
    header.stored.inode = 1234567;
    header.stored.size = 40000000;
    header.stored.modifiedSeconds = 1700000000;
    header.stored.modifiedNanoseconds = 999999999;
    header.stored.hashed = true;
    header.stored.hash = 0xfedcba9876543210ULL;
    header.baseCopy = "0123456789abcdef-4242-1.base";
    return header;
}

TEST(EditJournal, RandomEditsWrittenInFramesReplayToTheEditedText)
{
    std::mt19937 random(18);
    for (int round = 0; round < 200; ++round) {
        std::string base(random() % 200, 'x');
        for (char &c : base)
            c = "int x;\n\0"[random() % 8];
        std::string text = base;
        EditRecorder recorder;
        std::string file = journalStart(sampleHeader());
        const int edits = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < edits; ++i) {
            randomEdit(random, text, recorder);
            if (random() % 4 == 0)
                writeOut(random, recorder, file);
        }
        writeOut(random, recorder, file);

        JournalHeader header;
        std::string records;
        ASSERT_TRUE(readJournal(file, header, records));
        EXPECT_EQ(countEdits(records), edits);
        EXPECT_TRUE(editsFit(records, static_cast<long>(base.size())));
        ASSERT_EQ(replay(base, records), text) << "round " << round;
    }
}

TEST(EditJournal, HeaderComesBackAsWritten)
{
    JournalHeader header;
    std::string records;
    ASSERT_TRUE(readJournal(journalStart(sampleHeader()), header, records));
    const JournalHeader written = sampleHeader();
    EXPECT_EQ(header.pid, written.pid);
    EXPECT_EQ(header.processStart, written.processStart);
    EXPECT_EQ(header.file, written.file);
    EXPECT_TRUE(header.stored.sameStatus(written.stored));
    EXPECT_TRUE(header.stored.hashed);
    EXPECT_EQ(header.stored.hash, written.stored.hash);
    EXPECT_EQ(header.baseCopy, written.baseCopy);
    EXPECT_TRUE(records.empty());
}

// A journal cut at any byte (a process killed while writing, a power cut) gives the text after
// some whole number of the recorded edits; a damaged frame ends what is read.
TEST(EditJournal, CutOrDamagedJournalGivesTheTextAfterAWholeNumberOfEdits)
{
    const std::string base = "line one\nline two\n";
    std::vector<std::string> states = {base};
    std::string text = base;
    EditRecorder recorder;
    std::string file = journalStart(sampleHeader());
    const std::size_t headerEnd = file.size();
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i) {
        randomEdit(random, text, recorder);
        states.push_back(text);
        if (i % 3 == 2)
            writeOut(random, recorder, file);
    }
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        JournalHeader header;
        std::string records;
        const bool read = readJournal(std::string_view(file).substr(0, cut), header, records);
        EXPECT_EQ(read, cut >= headerEnd) << cut;
        if (!read)
            continue;
        const std::string recovered = replay(base, records);
        EXPECT_EQ(recovered, states[static_cast<std::size_t>(countEdits(records))]) << "cut at " << cut;
    }
    EXPECT_EQ(countEdits([&] {
                  JournalHeader header;
                  std::string records;
                  readJournal(file, header, records);
                  return records;
              }()),
              12);

    // One byte changed in the second edit frame: only the first frame's edits are read.
    std::string damaged = file;
    std::size_t secondFrame = headerEnd;
    secondFrame += 13 + (static_cast<unsigned char>(damaged[secondFrame + 1]) |
                         static_cast<unsigned char>(damaged[secondFrame + 2]) << 8);
    damaged[secondFrame + 14] ^= 0x20;
    JournalHeader header;
    std::string records;
    ASSERT_TRUE(readJournal(damaged, header, records));
    EXPECT_EQ(replay(base, records), states[static_cast<std::size_t>(countEdits(records))]);
    EXPECT_LT(countEdits(records), 12);
}

TEST(EditJournal, EditsThatDoNotFitTheTextAreRefused)
{
    EditRecorder recorder;
    recorder.inserted(3, "abc", 3);
    recorder.erased(4, 3);
    const std::string records(recorder.pending());
    EXPECT_TRUE(editsFit(records, 4)); // "1234" -> "123abc4" -> "123a"
    EXPECT_EQ(replay("1234", records), "123a");
    EXPECT_FALSE(editsFit(records, 2)); // the insert lies beyond the end
    EXPECT_FALSE(editsFit(records, 0));
    PieceText shortText("12");
    EXPECT_FALSE(replayEdits(records, shortText));
    EXPECT_EQ(shortText.text(), "12");
    EXPECT_FALSE(editsFit(std::string("x\x01\x01", 3), 10)); // no such record
}

// A restart (the text is its saved text again) drops what was recorded and begins a new
// generation only when something had been recorded.
TEST(EditJournal, RestartDropsTheRecordsAndCountsGenerations)
{
    EditRecorder recorder;
    int wakes = 0;
    recorder.setWake([&wakes] { ++wakes; });
    recorder.restart();
    EXPECT_EQ(recorder.generation(), 0u);
    recorder.inserted(0, "a", 1);
    recorder.inserted(1, "b", 1);
    EXPECT_EQ(wakes, 2); // the restart, then the first record while none were pending
    EXPECT_TRUE(recorder.recordedSinceRestart());
    recorder.taken(recorder.pending().size());
    recorder.erased(0, 1);
    EXPECT_EQ(wakes, 3);
    recorder.restart();
    EXPECT_EQ(recorder.generation(), 1u);
    EXPECT_TRUE(recorder.pending().empty());
    EXPECT_FALSE(recorder.recordedSinceRestart());
}

TEST(ContentHash, SameBytesGiveTheSameValueHoweverTheyAreCut)
{
    std::mt19937 random(3);
    std::string bytes(5000, '\0');
    for (char &c : bytes)
        c = static_cast<char>(random());
    const std::uint64_t whole = contentHash(bytes.data(), bytes.size());
    for (int round = 0; round < 50; ++round) {
        ContentHash hash;
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t piece = std::min(bytes.size() - at, static_cast<std::size_t>(random() % 70));
            hash.feed(bytes.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(hash.value(), whole);
    }
    for (std::size_t length : {0, 1, 31, 32, 33, 64, 4999}) {
        std::string changed = bytes.substr(0, length);
        const std::uint64_t before = contentHash(changed.data(), changed.size());
        EXPECT_NE(before, contentHash(bytes.data(), length + 1)) << length;
        if (length > 0) {
            changed[length / 2] ^= 1;
            EXPECT_NE(before, contentHash(changed.data(), changed.size())) << length;
        }
    }
}

} // namespace
