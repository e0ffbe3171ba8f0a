// What the store tells besides a failure: a save that kept no copy of the previous version, once a
// run, over the window whose text it was; and at the next start, a save that a tsl which died
// left part way, with where the file's old text is.
#include "toolkit/notice.h"
#include "toolkit/storenotices.h"
#include "toolkit/textpane.h"
#include "toolkitlogic/storetesting.h"

#include <QCoreApplication>

#include <cstring>

namespace {

class StoreNotices : public StoreTest {
protected:
    TempDir dir;
    NoticeScript notices;
};

TEST_F(StoreNotices, ASaveThatKeepsNoCopySaysSoOnceARun)
{
    resetPreviousVersionNotice();
    QWidget window;
    auto *pane = new TextPane(&window);
    for (const char *name : {"f.c", "g.c"}) {
        writeFile(dir.file(name), "old\n");
        mkdir((dir.file(name) + "%").c_str(), 0755); // no file can take its place
        ASSERT_EQ(textsw_load_file(pane, dir.file(name), false), 0);
        textsw_insert(pane, "new ", 4);
        const std::size_t before = notices.shown().size();
        ASSERT_EQ(textsw_store_file(pane, dir.file(name)), 0);
        EXPECT_EQ(readFile(dir.file(name)), "new old\n");
        EXPECT_FALSE(textsw_modified(pane));
        EXPECT_EQ(notices.shown().size(), before); // not before the save has ended
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (std::vector<std::string>{"Saved. No copy of the previous version was kept as",
                                                                  dir.file("f.c%"), std::strerror(EISDIR)}));
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(notices.shown()[0].owner, &window);

    // A save that keeps its copy says nothing.
    resetPreviousVersionNotice();
    writeFile(dir.file("h.c"), "old\n");
    ASSERT_EQ(textsw_load_file(pane, dir.file("h.c"), false), 0);
    textsw_insert(pane, "new ", 4);
    ASSERT_EQ(textsw_store_file(pane, dir.file("h.c")), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(readFile(dir.file("h.c%")), "old\n");
    EXPECT_EQ(notices.shown().size(), 1u);
}

TEST_F(StoreNotices, TheNextStartTellsOfASaveThatDiedPartWay)
{
    const std::string old(100000, 'o'), file = dir.file("a.c");
    writeFile(file, old);
    ASSERT_EQ(link(file.c_str(), dir.file("b.c").c_str()), 0); // stored in place
    ASSERT_TRUE(storeStoppedAt("half written", file, std::string(150000, 'n')));
    ASSERT_NE(readFile(file), old);

    QWidget frame;
    tellInterruptedStores(&frame);
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (std::vector<std::string>{"tsl stopped while it was saving", file,
                                                                  "The text the file had before is in", file + "%"}));
    EXPECT_EQ(notices.shown()[0].buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(notices.shown()[0].owner, &frame);
    EXPECT_EQ(readFile(file + "%"), old);
    tellInterruptedStores(&frame);
    EXPECT_EQ(notices.shown().size(), 1u);
}

} // namespace
