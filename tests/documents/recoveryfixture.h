#pragma once
// The main window with recovery journals in the test program's own state folder, emptied before
// each test, and what the recovery tests share: the journal files there, a journal made to look
// as if the tsl that wrote it had been killed, and replaying a journal from disk.
#include "mainwindowfixture.h"

#include "documents/leftjournals.h"
#include "documents/recoveryjournal.h"
#include "toolkit/editjournal.h"
#include "toolkit/piecetext.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

class RecoveryTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        emptyStateFolder();
    }
    void TearDown() override
    {
        textsw_set_contents(textPane, "", 0);
        emptyStateFolder();
        MainWindowTest::TearDown();
    }

    static std::vector<std::string> stateFiles(const char *ending)
    {
        std::vector<std::string> names;
        DIR *folder = opendir(recoveryDirectory().c_str());
        while (const dirent *entry = folder ? readdir(folder) : nullptr) {
            const std::string name = entry->d_name;
            if (name.size() > strlen(ending) && name.compare(name.size() - strlen(ending), strlen(ending), ending) == 0)
                names.push_back(recoveryDirectory() + "/" + name);
        }
        if (folder)
            closedir(folder);
        return names;
    }
    static void emptyStateFolder()
    {
        for (const char *ending : {".journal", ".base"})
            for (const std::string &path : stateFiles(ending))
                unlink(path.c_str());
    }
    // The journal at `path`, replayed onto `base`; "<unreadable>" when it is not a journal.
    static std::string replayed(const std::string &path, const std::string &base, JournalHeader *header = nullptr)
    {
        JournalHeader read;
        std::string records;
        if (!readJournal(readFile(path), read, records))
            return "<unreadable>";
        if (header)
            *header = read;
        PieceText text(base);
        if (!replayEdits(records, text))
            return "<does not fit>";
        return text.text();
    }
    // A process number that no process has now.
    static long deadPid()
    {
        const pid_t child = fork();
        if (child == 0)
            _exit(0);
        waitpid(child, nullptr, 0);
        return child;
    }
    // Writes out the pane's journal and leaves a copy of it (and of its copy of the stored
    // file) as a tsl that was killed would; then the pane's changes go, as with the process.
    static std::string leaveJournalOfKilledTsl(TextPane *pane)
    {
        writeRecoveryJournal(pane);
        waitUntil([] { return false; }, 50); // the copy of the stored file, in slices
        const std::string own = recoveryJournalPath(pane);
        JournalHeader header;
        std::string records;
        EXPECT_TRUE(readJournal(readFile(own), header, records)) << own;
        const long pid = deadPid();
        const std::string stem = recoveryDirectory() + "/" + journalStem(header.file) + "-" + std::to_string(pid) + "-1";
        if (!header.baseCopy.empty()) {
            writeFile(stem + ".base", readFile(recoveryDirectory() + "/" + header.baseCopy));
            header.baseCopy = stem.substr(stem.rfind('/') + 1) + ".base";
        }
        header.pid = pid;
        header.processStart = 1;
        writeFile(stem + ".journal", journalStart(header) + journalEditFrame(records));
        textsw_set_contents(pane, "", 0);
        return stem + ".journal";
    }
    static void reopen(const std::string &name)
    {
        document.fileName = name;
        directoryChanged = false;
        openDocument();
        QCoreApplication::processEvents();
    }
};
