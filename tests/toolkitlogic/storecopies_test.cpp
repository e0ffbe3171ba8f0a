// What a store keeps besides the new bytes: the '%' copy of the version it replaces, the old text
// of a store into the file itself that the process did not live to finish, and no temporary file
// of a store that was cut short once the next store in that folder has run.
#include "storetesting.h"

#include <cstring>

namespace {

using PreviousVersion = StoreTest;
using InterruptedStores = StoreTest;

// Bytes of every value, so that a copy that is cut or shifted shows.
std::string textOf(std::size_t length, unsigned seed)
{
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xff);
    return text;
}

TEST_F(PreviousVersion, EveryStoreOfAnExistingFileKeepsTheVersionItReplaces)
{
    TempDir dir;
    writeFile(dir.file("plain.c"), "one\n"); // a new file is renamed in
    chmod(dir.file("plain.c").c_str(), 0640);
    writeFile(dir.file("linked.c"), "one\n"); // written in place
    ASSERT_EQ(link(dir.file("linked.c").c_str(), dir.file("other name").c_str()), 0);
    chmod(dir.file("linked.c").c_str(), 0604);
    mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/real.c"), "one\n");
    ASSERT_EQ(symlink("sub/real.c", dir.file("link.c").c_str()), 0);

    for (const char *name : {"plain.c", "linked.c", "link.c"}) {
        const std::string file = dir.file(name), copy = file + "%";
        for (const char *bytes : {"two\n", "three\n"}) {
            const std::string previous = readFile(file);
            int copyError = -1;
            ASSERT_EQ(storeFileSafely(file, bytes, std::strlen(bytes), &copyError), 0) << name;
            EXPECT_EQ(copyError, 0) << name;
            EXPECT_EQ(readFile(file), bytes) << name;
            EXPECT_EQ(readFile(copy), previous) << name;
            EXPECT_EQ(statOf(copy).st_mode, statOf(file).st_mode) << name;
            EXPECT_EQ(statOf(copy).st_uid, statOf(file).st_uid) << name;
            EXPECT_EQ(statOf(copy).st_gid, statOf(file).st_gid) << name;
        }
    }
    // The hard-linked file's other name has the new text; its copy is a file of its own.
    EXPECT_EQ(readFile(dir.file("other name")), "three\n");
    EXPECT_EQ(statOf(dir.file("linked.c")).st_nlink, 2u);
    EXPECT_EQ(statOf(dir.file("linked.c%")).st_nlink, 1u);

    // A file that did not exist gets no copy.
    int copyError = -1;
    ASSERT_EQ(storeFileSafely(dir.file("new.c"), "x", 1, &copyError), 0);
    EXPECT_EQ(copyError, 0);
    // The copy of a linked file is beside the link, where Diff looks; no temporary is left.
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"link.c", "link.c%", "linked.c", "linked.c%", "new.c",
                                                             "other name", "plain.c", "plain.c%", "sub"}));
    EXPECT_EQ(entries(dir.file("sub")), std::vector<std::string>{"real.c"});
    EXPECT_TRUE(entries(storesFolder()).empty());
}

TEST_F(PreviousVersion, AStoreThatCannotKeepACopyStillStoresAndSaysWhy)
{
    TempDir dir;
    writeFile(dir.file("f.c"), "old\n");
    mkdir(dir.file("f.c%").c_str(), 0755);
    writeFile(dir.file("f.c%/inside"), "kept\n");
    int copyError = 0;
    ASSERT_EQ(storeFileSafely(dir.file("f.c"), "new\n", 4, &copyError), 0);
    EXPECT_EQ(copyError, EISDIR);
    EXPECT_EQ(readFile(dir.file("f.c")), "new\n");
    EXPECT_EQ(readFile(dir.file("f.c%/inside")), "kept\n");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"f.c", "f.c%"}));

    // A folder that takes no new file: the old text waits in the state folder only while the store
    // runs.
    chmod(dir.path().c_str(), 0755);
    writeFile(dir.file("g.c"), "old\n");
    chmod(dir.file("g.c").c_str(), 0666);
    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        int error = 0;
        CHECK(storeFileSafely(dir.file("g.c"), "new\n", 4, &error) == 0);
        CHECK(error == EACCES);
        return "";
    }, true));
    EXPECT_EQ(readFile(dir.file("g.c")), "new\n");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"f.c", "f.c%", "g.c"}));
    EXPECT_TRUE(entries(storesFolder()).empty());
}

// A store into the file itself (a hard-linked file, a file in a folder that takes no new file)
// killed at each of its steps: the old text is whole on disk, and the next start finds where.
TEST_F(InterruptedStores, AStoreKilledPartWayLeavesTheOldTextWholeAndNamed)
{
    const std::string old = textOf(300000, 1), replacement = textOf(400000, 2);
    for (const bool readOnlyFolder : {false, true}) {
        for (const char *step : {"previous version kept", "recorded", "half written", "written", "synced"}) {
            SCOPED_TRACE(std::string(readOnlyFolder ? "read-only folder, " : "hard link, ") + step);
            ASSERT_EQ(system(("rm -rf '" + stateHome.path() + "/tsl'").c_str()), 0);
            TempDir dir;
            const std::string file = dir.file("big.c");
            writeFile(file, old);
            if (readOnlyFolder) {
                chmod(file.c_str(), 0666);
                chmod(dir.path().c_str(), 0755);
                if (geteuid() != 0)
                    GTEST_SKIP() << "needs root to store as another user";
            } else {
                ASSERT_EQ(link(file.c_str(), dir.file("second name").c_str()), 0);
            }
            ASSERT_TRUE(storeStoppedAt(step, file, replacement, readOnlyFolder));
            const std::string left = readFile(file);
            if (std::strcmp(step, "half written") == 0) {
                EXPECT_TRUE(left != old && left != replacement) << "the stop did not cut the write";
            }

            const std::vector<InterruptedStore> found = findInterruptedStores();
            if (std::strcmp(step, "previous version kept") == 0) {
                // Nothing was written yet: the file itself is whole.
                EXPECT_EQ(left, old);
                ASSERT_LE(found.size(), 1u);
            } else {
                ASSERT_EQ(found.size(), 1u);
            }
            for (const InterruptedStore &store : found) {
                EXPECT_EQ(store.file, file);
                EXPECT_EQ(readFile(store.previousText), old);
                if (readOnlyFolder) {
                    EXPECT_EQ(store.previousText.rfind(storesFolder() + "/big.c%-", 0), 0u) << store.previousText;
                } else {
                    EXPECT_EQ(store.previousText, file + "%");
                }
                // Told once; the copy stays.
                forgetInterruptedStore(store);
                EXPECT_TRUE(findInterruptedStores().empty());
                EXPECT_EQ(readFile(store.previousText), old);
            }
            // Nothing else is left in the state folder.
            std::vector<std::string> named;
            for (const InterruptedStore &store : found)
                if (readOnlyFolder)
                    named.push_back(store.previousText.substr(storesFolder().size() + 1));
            EXPECT_EQ(entries(storesFolder()), named);
        }
    }
}

TEST_F(InterruptedStores, AStoreThatStillRunsIsNotTakenForOne)
{
    TempDir dir;
    writeFile(dir.file("a.c"), "old\n");
    ASSERT_EQ(link(dir.file("a.c").c_str(), dir.file("b.c").c_str()), 0);
    static std::vector<InterruptedStore> seenWhileStoring;
    setStoreStepHook([](const char *step) {
        if (std::strcmp(step, "half written") == 0)
            seenWhileStoring = findInterruptedStores();
    });
    const int result = store(dir.file("a.c"), "new\n");
    setStoreStepHook(nullptr);
    ASSERT_EQ(result, 0);
    EXPECT_TRUE(seenWhileStoring.empty());
    EXPECT_TRUE(findInterruptedStores().empty());
    EXPECT_TRUE(entries(storesFolder()).empty());
}

TEST_F(PreviousVersion, TheTemporaryFileOfAKilledStoreGoesAtTheNextStoreInItsFolder)
{
    TempDir dir;
    const std::string old = textOf(200000, 3);
    writeFile(dir.file("a.c"), old);
    writeFile(dir.file("b.c"), old);
    const auto temporaries = [&] {
        std::vector<std::string> names;
        for (const std::string &name : entries(dir.path()))
            if (name[0] == '.')
                names.push_back(name.substr(0, 9));
        return names;
    };
    ASSERT_TRUE(storeStoppedAt("temporary written", dir.file("a.c"), textOf(250000, 4)));
    EXPECT_EQ(temporaries(), std::vector<std::string>{".a.c.tsl-"});
    // The next store in the folder, though killed too, removes what the first one left.
    ASSERT_TRUE(storeStoppedAt("previous version kept", dir.file("b.c"), textOf(250000, 5)));
    EXPECT_EQ(temporaries(), std::vector<std::string>{".b.c.tsl-"});
    // Files that only look like temporaries, and one of a process that still runs (this one).
    const std::string ours = "." + std::string("c.c.tsl-") + std::to_string(getpid()) + "-AbC123";
    for (const std::string &name : {ours, std::string(".c.c.tsl-backup"), std::string(".c.c.tsl-12-toolong7")})
        writeFile(dir.file(name), "not ours to remove\n");

    ASSERT_EQ(store(dir.file("c.c"), "new\n"), 0); // a new file in the same folder
    std::vector<std::string> expected{".c.c.tsl-12-toolong7", ".c.c.tsl-backup", ours, "a.c", "b.c", "b.c%", "c.c"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(dir.path()), expected);
    EXPECT_EQ(readFile(dir.file("a.c")), old);
    EXPECT_EQ(readFile(dir.file("b.c")), old);
    EXPECT_EQ(readFile(dir.file("b.c%")), old); // kept before the new file was to be renamed in
}

} // namespace
