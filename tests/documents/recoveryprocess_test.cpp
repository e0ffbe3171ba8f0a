// The real program killed while a file has unsaved changes, then started again on that file:
// driven through the X server as a user drives it.
#include "support/realprogram.h"
#include "toolkit/editjournal.h"
#include "toolkit/piecetext.h"

#include <dirent.h>

namespace {

const std::string stored = "int main() { return 0; }\n";
// Typed at the start of the text: "hello tsl", Return, "second".
const std::string expected = "hello tsl\nsecond" + stored;

std::vector<std::string> stateFiles(const TempDir &home, const std::string &ending)
{
    const std::string folder = home.file(".local/state/tsl");
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    while (const dirent *entry = dir ? readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            names.push_back(folder + "/" + name);
    }
    if (dir)
        closedir(dir);
    return names;
}

std::string replayedJournal(const std::string &path)
{
    JournalHeader header;
    std::string records;
    if (!readJournal(readFile(path), header, records))
        return "<unreadable>";
    PieceText text(stored);
    return replayEdits(records, text) ? text.text() : "<does not fit>";
}

void prepareHome(const TempDir &home)
{
    writeFile(home.file(".tslrc"), readFile(TSL_SOURCE_DIR "/share/tsl/tslrc"));
    writeFile(home.file("a.c"), stored);
}

// Types into the text of a tsl started on a.c and waits until its journal holds what was typed.
void typeAndWaitForTheJournal(const TempDir &home)
{
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c>$'"), "");
    xdotool("mousemove 400 300 click 1 key ctrl+Home type 'hello tsl'");
    xdotool("key Return type second");
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c> - edited$'"), "");
    std::string journal;
    for (int tries = 0; tries < 50; ++tries) {
        const std::vector<std::string> journals = stateFiles(home, ".journal");
        journal = journals.size() == 1 ? replayedJournal(journals.front()) : "";
        if (journal == expected)
            break;
        usleep(200000);
    }
    ASSERT_EQ(journal, expected);
}

void killAndWait(RunningTsl &tsl, int signal)
{
    ASSERT_GT(tsl.pid(), 0);
    kill(tsl.pid(), signal);
    ASSERT_NE(tsl.waitForEnd(), -1);
}

TEST(RecoveryProcess, KilledTslOffersTheTypedTextAndRecoverGivesItExactly)
{
    TempDir home;
    prepareHome(home);
    {
        RunningTsl tsl(home, "a.c");
        typeAndWaitForTheJournal(home);
        killAndWait(tsl, SIGKILL);
    }
    EXPECT_EQ(readFile(home.file("a.c")), stored);

    RunningTsl again(home, "a.c");
    std::string offer = noticeOtherThan("");
    ASSERT_NE(offer, "") << "no recovery notice";
    offer.erase(offer.find_last_not_of('\n') + 1);
    // Shown before the main window: the keys go to it once it has the focus.
    xdotool("windowfocus " + offer + " sleep 0.3 key Return"); // "Recover", the default
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c> - edited$'"), "");
    xdotool("mousemove 400 300 click 1 key ctrl+s"); // the click gives the window the keyboard
    EXPECT_NE(xdotool("search --sync --onlyvisible --name '<a.c>$'"), "");
    for (int tries = 0; tries < 25 && readFile(home.file("a.c")) != expected; ++tries)
        usleep(200000);
    EXPECT_EQ(readFile(home.file("a.c")), expected);
    EXPECT_TRUE(stateFiles(home, ".journal").empty()) << "a journal is left after Save";
    EXPECT_TRUE(stateFiles(home, ".base").empty());
}

TEST(RecoveryProcess, DiscardGivesTheStoredFileAndRemovesTheJournal)
{
    TempDir home;
    prepareHome(home);
    {
        RunningTsl tsl(home, "a.c");
        typeAndWaitForTheJournal(home);
        killAndWait(tsl, SIGKILL);
    }
    RunningTsl again(home, "a.c");
    std::string offer = noticeOtherThan("");
    ASSERT_NE(offer, "");
    offer.erase(offer.find_last_not_of('\n') + 1);
    xdotool("windowfocus " + offer + " sleep 0.3 key Tab space"); // "Discard"
    ASSERT_NE(xdotool("search --sync --onlyvisible --name '<a.c>$'"), "");
    usleep(500000);
    EXPECT_EQ(xdotool("search --onlyvisible --name '<a.c> - edited$'"), "");
    EXPECT_TRUE(stateFiles(home, ".journal").empty());
    EXPECT_TRUE(stateFiles(home, ".base").empty());
    EXPECT_EQ(readFile(home.file("a.c")), stored);
}

// A crash prints one line naming the signal and leaves the journal for the next start.
TEST(RecoveryProcess, AFatalSignalLeavesTheJournalAndPrintsOneLine)
{
    TempDir home;
    prepareHome(home);
    RunningTsl tsl(home, "a.c");
    typeAndWaitForTheJournal(home);
    kill(tsl.pid(), SIGSEGV);
    const int status = tsl.waitForEnd();
    ASSERT_NE(status, -1);
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string errors = tsl.errors(), line = "tsl: ended by signal SIGSEGV (Segmentation fault)\n";
    const std::size_t at = errors.find(line);
    EXPECT_NE(at, std::string::npos) << errors;
    EXPECT_EQ(errors.find(line, at + 1), std::string::npos) << "printed more than once";
    const std::vector<std::string> journals = stateFiles(home, ".journal");
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_EQ(replayedJournal(journals.front()), expected);
}

TEST(RecoveryProcess, QuitWithDontSaveLeavesNoJournal)
{
    TempDir home;
    prepareHome(home);
    RunningTsl tsl(home, "a.c");
    typeAndWaitForTheJournal(home);
    const std::string reallyQuit = chooseQuit();
    ASSERT_NE(noticeOtherThan(reallyQuit), "");
    xdotool("key Tab space"); // "Don't save"
    const int status = tsl.waitForEnd();
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(stateFiles(home, ".journal").empty());
    EXPECT_TRUE(stateFiles(home, ".base").empty());
    EXPECT_EQ(readFile(home.file("a.c")), stored);
}

} // namespace
