// Storing files: whatever the folder, the links, the owner or the disk, a store either puts the
// new bytes in place and keeps everything the file was, or fails and leaves the old file whole.
#include "addressspace.h"
#include "storetesting.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/xattr.h>

using SafeStore = StoreTest;

TEST_F(SafeStore, WritableFileInAFolderThatRefusesNewFilesIsStoredInPlace)
{
    TempDir dir;
    chmod(dir.path().c_str(), 0755); // the ordinary user may not create files here
    writeFile(dir.file("f.c"), "old\n");
    chmod(dir.file("f.c").c_str(), 0666);
    const ino_t inode = statOf(dir.file("f.c")).st_ino;
    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        CHECK(store(dir.file("f.c"), "new text\n") == 0);
        // A new file cannot be made there at all.
        CHECK(store(dir.file("g.c"), "x") == EACCES);
        return "";
    }, true));
    EXPECT_EQ(readFile(dir.file("f.c")), "new text\n");
    EXPECT_EQ(statOf(dir.file("f.c")).st_ino, inode);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"f.c"});
}

TEST_F(SafeStore, OwnerAndSharedGroupAreKept)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give files other owners";
    TempDir dir;
    chmod(dir.path().c_str(), 0777); // new files may be made: a rename would be possible
    // Another owner's file, writable through a group the user shares.
    writeFile(dir.file("theirs"), "old\n");
    ASSERT_EQ(chown(dir.file("theirs").c_str(), otherOwner, sharedGroup), 0);
    chmod(dir.file("theirs").c_str(), 0664);
    // The user's own file in that group rather than the user's own group.
    writeFile(dir.file("mine"), "old\n");
    ASSERT_EQ(chown(dir.file("mine").c_str(), ordinaryUser, sharedGroup), 0);
    chmod(dir.file("mine").c_str(), 0640);

    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        CHECK(store(dir.file("theirs"), "theirs, new\n") == 0);
        CHECK(store(dir.file("mine"), "mine, new\n") == 0);
        return "";
    }, true, {sharedGroup}));
    EXPECT_EQ(readFile(dir.file("theirs")), "theirs, new\n");
    EXPECT_EQ(statOf(dir.file("theirs")).st_uid, otherOwner);
    EXPECT_EQ(statOf(dir.file("theirs")).st_gid, sharedGroup);
    EXPECT_EQ(statOf(dir.file("theirs")).st_mode & 07777, 0664u);
    EXPECT_EQ(readFile(dir.file("mine")), "mine, new\n");
    EXPECT_EQ(statOf(dir.file("mine")).st_uid, ordinaryUser);
    EXPECT_EQ(statOf(dir.file("mine")).st_gid, sharedGroup);
    EXPECT_EQ(statOf(dir.file("mine")).st_mode & 07777, 0640u);
    // The copies of the old versions: the user could not make one the other owner's.
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"mine", "mine%", "theirs", "theirs%"}));
    EXPECT_EQ(readFile(dir.file("theirs%")), "old\n");
    EXPECT_EQ(statOf(dir.file("theirs%")).st_gid, sharedGroup);
    EXPECT_EQ(statOf(dir.file("theirs%")).st_mode & 07777, 0664u);
    EXPECT_EQ(statOf(dir.file("mine%")).st_uid, ordinaryUser);
    EXPECT_EQ(statOf(dir.file("mine%")).st_gid, sharedGroup);
    EXPECT_EQ(statOf(dir.file("mine%")).st_mode & 07777, 0640u);
}

TEST_F(SafeStore, HardLinksKeepEveryNameOnTheNewBytes)
{
    TempDir dir;
    writeFile(dir.file("a"), "old\n");
    ASSERT_EQ(link(dir.file("a").c_str(), dir.file("b").c_str()), 0);
    ASSERT_EQ(store(dir.file("a"), "new\n"), 0);
    EXPECT_EQ(readFile(dir.file("a")), "new\n");
    EXPECT_EQ(readFile(dir.file("b")), "new\n");
    EXPECT_EQ(statOf(dir.file("a")).st_ino, statOf(dir.file("b")).st_ino);
    EXPECT_EQ(statOf(dir.file("a")).st_nlink, 2u);
    // Shorter bytes: the rest of the old text is cut off.
    ASSERT_EQ(store(dir.file("b"), "n"), 0);
    EXPECT_EQ(readFile(dir.file("a")), "n");
}

TEST_F(SafeStore, ExtendedAttributesAndAclsAreKept)
{
    TempDir dir;
    writeFile(dir.file("f"), "old\n");
    const std::string f = "'" + dir.file("f") + "'";
    ASSERT_EQ(system(("setfattr -n user.origin -v kept " + f).c_str()), 0) << "setfattr missing: run scripts/install-deps";
    ASSERT_EQ(system(("setfacl -m u:1234:rw " + f).c_str()), 0) << "setfacl missing: run scripts/install-deps";
    const ino_t inode = statOf(dir.file("f")).st_ino;
    ASSERT_EQ(store(dir.file("f"), "new\n"), 0);
    EXPECT_NE(statOf(dir.file("f")).st_ino, inode) << "expected the usual store: a new file renamed over";
    EXPECT_EQ(readFile(dir.file("f")), "new\n");
    char value[16] = {};
    EXPECT_EQ(getxattr(dir.file("f").c_str(), "user.origin", value, sizeof value - 1), 4);
    EXPECT_STREQ(value, "kept");
    EXPECT_EQ(system(("getfacl -cp " + f + " 2>/dev/null | grep -qx 'user:1234:rw-'").c_str()), 0);

    // A folder's default ACL does not creep onto a file that had none.
    writeFile(dir.file("plain"), "old\n");
    chmod(dir.file("plain").c_str(), 0640);
    ASSERT_EQ(system(("setfacl -d -m u:1234:rwx '" + dir.path() + "'").c_str()), 0);
    ASSERT_EQ(store(dir.file("plain"), "new\n"), 0);
    EXPECT_LT(getxattr(dir.file("plain").c_str(), "system.posix_acl_access", nullptr, 0), 0);
    EXPECT_EQ(statOf(dir.file("plain")).st_mode & 07777, 0640u);
}

TEST_F(SafeStore, SymbolicLinksStayLinksAndDanglingOnesCreateTheirFile)
{
    TempDir dir;
    mkdir(dir.file("sub").c_str(), 0755);
    writeFile(dir.file("sub/real"), "old\n");
    ASSERT_EQ(symlink("sub/real", dir.file("link").c_str()), 0);
    ASSERT_EQ(store(dir.file("link"), "through the link\n"), 0);
    EXPECT_EQ(readFile(dir.file("sub/real")), "through the link\n");
    struct stat st;
    ASSERT_EQ(lstat(dir.file("link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // A dangling link, relative, reached through a second link: the file it names is created.
    ASSERT_EQ(symlink("sub/new.c", dir.file("dangling").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("dangling").c_str(), dir.file("chain").c_str()), 0);
    ASSERT_EQ(store(dir.file("chain"), "created\n"), 0);
    EXPECT_EQ(readFile(dir.file("sub/new.c")), "created\n");
    ASSERT_EQ(lstat(dir.file("dangling").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    // A link into a folder that does not exist, and a loop, fail.
    ASSERT_EQ(symlink("nowhere/x", dir.file("lost").c_str()), 0);
    EXPECT_EQ(store(dir.file("lost"), "x"), ENOENT);
    ASSERT_EQ(symlink("loop", dir.file("loop").c_str()), 0);
    EXPECT_EQ(store(dir.file("loop"), "x"), ELOOP);
}

TEST_F(SafeStore, FullDiskLeavesTheOldFileWhole)
{
    TempDir dir;
    EXPECT_CHILD_OK(onSmallTmpfs(dir.path(), "size=64k", [&]() -> std::string {
        const std::string old(16384, 'o');
        writeFile(dir.file("single"), old);
        writeFile(dir.file("linked"), old);
        CHECK(link(dir.file("linked").c_str(), dir.file("second name").c_str()) == 0);
        // Fill the disk.
        FILE *filler = fopen(dir.file("filler").c_str(), "w");
        CHECK(filler);
        const std::string block(4096, 'f');
        while (fwrite(block.data(), 1, block.size(), filler) == block.size() && fflush(filler) == 0) {
        }
        fclose(filler);

        const std::string longer(40000, 'n');
        CHECK(store(dir.file("single"), longer) == ENOSPC);
        CHECK(readFile(dir.file("single")) == old);
        CHECK(store(dir.file("linked"), longer) == ENOSPC);
        CHECK(readFile(dir.file("linked")) == old);
        CHECK(readFile(dir.file("second name")) == old);
        CHECK(entries(dir.path()) == (std::vector<std::string>{"filler", "linked", "second name", "single"}));

        // Bytes that fit where the old ones were are still stored, in place.
        CHECK(store(dir.file("single"), "short\n") == 0);
        CHECK(readFile(dir.file("single")) == "short\n");
        return "";
    }));
}

TEST_F(SafeStore, WriteFailingPartWayInPlacePutsTheOldBytesBack)
{
    TempDir dir;
    const std::string old(5000, 'o');
    writeFile(dir.file("a"), old);
    ASSERT_EQ(link(dir.file("a").c_str(), dir.file("b").c_str()), 0); // stored in place
    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        // A file size limit makes the write stop part way, after some new bytes went in.
        signal(SIGXFSZ, SIG_IGN);
        rlimit small{8192, 8192};
        CHECK(setrlimit(RLIMIT_FSIZE, &small) == 0);
        CHECK(store(dir.file("a"), std::string(20000, 'n')) == EFBIG);
        return "";
    }));
    EXPECT_EQ(readFile(dir.file("a")), old);
    EXPECT_EQ(readFile(dir.file("b")), old);
}

TEST_F(SafeStore, FileMountedOnItsOwnIsStoredInPlace)
{
    TempDir dir;
    writeFile(dir.file("hosts"), "old\n");
    writeFile(dir.file("source"), "mounted\n");
    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(dir.file("source").c_str(), dir.file("hosts").c_str(), nullptr, MS_BIND, nullptr) != 0)
            return "skip";
        CHECK(rename(dir.file("source").c_str(), dir.file("hosts").c_str()) != 0 && errno == EBUSY);
        CHECK(store(dir.file("hosts"), "new\n") == 0);
        CHECK(readFile(dir.file("hosts")) == "new\n");
        return "";
    }));
    EXPECT_EQ(readFile(dir.file("source")), "new\n"); // the mounted file is the one written
    EXPECT_EQ(readFile(dir.file("hosts%")), "mounted\n");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"hosts", "hosts%", "source"}));
}

TEST_F(SafeStore, NoMemoryToKeepTheOldBytesRefusesTheStoreInPlace)
{
    if (underAddressSanitizer)
        GTEST_SKIP() << "the address sanitizer ends the process when an allocation fails";
    TempDir dir;
    const std::string old(16 << 20, 'o');
    writeFile(dir.file("a"), old);
    ASSERT_EQ(link(dir.file("a").c_str(), dir.file("b").c_str()), 0); // stored in place
    EXPECT_CHILD_OK(inChild([&]() -> std::string {
        const std::string longer(20 << 20, 'n');
        // Room for a little more than is in use, not for a copy of the old bytes.
        CHECK(limitAddressSpace(8 << 20));
        try {
            CHECK(store(dir.file("a"), longer) == ENOMEM);
        } catch (const std::bad_alloc &) {
            return "std::bad_alloc escaped";
        }
        return "";
    }));
    EXPECT_EQ(readFile(dir.file("a")), old);
    EXPECT_EQ(readFile(dir.file("b")), old);
}
