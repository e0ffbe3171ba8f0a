#include "mainwindowfixture.h"

#include "documents/printing.h"
#include "documents/printjob.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class Printing : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        saved = configurationTable[0];
        setDevice(dir.file("printer"));
        selectNothing();
    }
    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([] { return !printJobRunning(); }));
        configurationTable[0] = saved;
        MainWindowTest::TearDown();
    }

    static void setDevice(const std::string &device)
    {
        snprintf(configurationTable[0].printerDevice, sizeof configurationTable[0].printerDevice, "%s",
                 device.c_str());
    }
    // The main pane holds the PRIMARY with nothing selected.
    static void selectNothing()
    {
        textsw_set_selection(textPane, 0, 0, TEXTSW_SEL_PRIMARY);
    }
    // A device file with old contents and an old modification time.
    std::string oldDevice()
    {
        const std::string device = dir.file("printer");
        writeFile(device, "old job");
        struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        utimensat(AT_FDCWD, device.c_str(), times, 0);
        return device;
    }
    static time_t modified(const std::string &name)
    {
        struct stat status {};
        stat(name.c_str(), &status);
        return status.st_mtime;
    }
    static void print()
    {
        printDocument();
        ASSERT_TRUE(waitUntil([] { return !printJobRunning(); }));
    }
    std::vector<std::string> noticeFirstLines() const
    {
        std::vector<std::string> lines;
        for (const NoticeRecord &record : notices.shown())
            lines.push_back(record.lines.front());
        return lines;
    }

    Configuration saved;
};

TEST_F(Printing, ASelectionIsPrintedExactlyAfterTheAnswer)
{
    load("a.c", "one\ntwo\n");
    textsw_set_selection(textPane, 2, 5, TEXTSW_SEL_PRIMARY);
    const std::string device = oldDevice();
    std::string deviceWhileAsked;
    notices.setResponder([&](const NoticeRecord &) {
        deviceWhileAsked = readFile(device);
        return std::string("Yes");
    });
    print();
    ASSERT_EQ(notices.shown().size(), 1u);
    EXPECT_EQ(notices.shown()[0].lines, (std::vector<std::string>{"Print selection?"}));
    EXPECT_EQ(notices.shown()[0].buttons, (std::vector<std::string>{"Yes", "cancel", "Print edited file"}));
    EXPECT_EQ(deviceWhileAsked, "old job");
    EXPECT_EQ(readFile(device), "e\nt");
}

TEST_F(Printing, WithoutASelectionTheStoredFileIsPrintedAfterTheOfferToSave)
{
    load("a.c", "stored\n");
    type("unsaved ");
    selectNothing();
    const std::string device = oldDevice();
    notices.press("Don't save");
    notices.press("Yes");
    print();
    EXPECT_EQ(questions(), (std::vector<std::string>{"Save this file ?", "Print file?"}));
    EXPECT_EQ(notices.shown()[1].buttons, (std::vector<std::string>{"Yes", "cancel"}));
    EXPECT_EQ(readFile(device), "stored\n");

    notices.press("SAVE");
    notices.press("Yes");
    print();
    EXPECT_EQ(readFile(device), "unsaved stored\n");
}

TEST_F(Printing, ASaveThatFailsStopsThePrint)
{
    load("a.c", "stored\n");
    type("unsaved ");
    selectNothing();
    const std::string device = oldDevice();
    ASSERT_EQ(unlink(dir.file("a.c").c_str()), 0);
    ASSERT_EQ(mkdir(dir.file("a.c").c_str(), 0755), 0); // the name cannot take the text now
    notices.setResponder([](const NoticeRecord &record) {
        return record.lines.back() == "Save this file ?" ? std::string("SAVE") : std::string("Ok");
    });
    print();
    const std::vector<std::string> asked = noticeFirstLines();
    EXPECT_EQ(asked.back(), "Could not save the file");
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "Print file?"), 0);
    EXPECT_EQ(readFile(device), "old job");
    rmdir(dir.file("a.c").c_str());
}

TEST_F(Printing, PrintEditedFilePrintsTheStoredFileWithoutOfferingToSave)
{
    load("a.c", "stored\n");
    type("unsaved ");
    textsw_set_selection(textPane, 0, 3, TEXTSW_SEL_PRIMARY);
    const std::string device = oldDevice();
    notices.press("Print edited file");
    print();
    EXPECT_EQ(questions(), (std::vector<std::string>{"Print selection?"}));
    EXPECT_EQ(readFile(device), "stored\n");
}

TEST_F(Printing, CancelLeavesTheDeviceUntouched)
{
    load("a.c", "text\n");
    const std::string device = oldDevice();
    textsw_set_selection(textPane, 0, 2, TEXTSW_SEL_PRIMARY);
    notices.press("cancel");
    print();
    selectNothing();
    notices.press("cancel");
    print();
    EXPECT_EQ(questions(), (std::vector<std::string>{"Print selection?", "Print file?"}));
    EXPECT_EQ(readFile(device), "old job");
    EXPECT_EQ(modified(device), 1000000000);

    // A device that does not exist is not even created.
    setDevice(dir.file("new-printer"));
    notices.press("cancel");
    print();
    EXPECT_NE(access(dir.file("new-printer").c_str(), F_OK), 0);
}

TEST_F(Printing, ADeviceThatCannotBeOpenedIsReported)
{
    load("a.c", "text\n");
    currentConfiguration = plainFileConfiguration;
    notices.press("Yes");
    print();
    ASSERT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(notices.shown()[1].lines, (std::vector<std::string>{"Cannot open printer device"}));
    EXPECT_EQ(notices.shown()[1].buttons, (std::vector<std::string>{"Ok"}));

    currentConfiguration = 0;
    setDevice(dir.file("no-such-directory/printer"));
    textsw_set_selection(textPane, 0, 2, TEXTSW_SEL_PRIMARY);
    notices.press("Yes");
    print();
    EXPECT_EQ(notices.shown().back().lines, (std::vector<std::string>{"Cannot open printer device"}));
}

// Nothing to print: the user is told, and the device keeps its last job.
TEST_F(Printing, NoFileOrAnUnreadableFileLeavesTheDeviceAsItWas)
{
    const std::string device = oldDevice();
    notices.press("Yes");
    print(); // no file in the main window
    EXPECT_EQ(noticeFirstLines(), (std::vector<std::string>{"Print file?", "No file to print"}));

    load("gone.c", "text\n");
    unlink(dir.file("gone.c").c_str());
    notices.clear();
    notices.press("Yes");
    print();
    EXPECT_EQ(noticeFirstLines(), (std::vector<std::string>{"Print file?", "Cannot read the file to print"}));
    EXPECT_EQ(notices.shown()[1].lines[1], "gone.c");

    // The device naming the file itself would empty the file before it is read.
    load("self.c", "keep me\n");
    setDevice(dir.file("self.c"));
    notices.clear();
    notices.press("Yes");
    print();
    EXPECT_EQ(noticeFirstLines(), (std::vector<std::string>{"Print file?", "The printer device is the file to print"}));
    EXPECT_EQ(readFile(dir.file("self.c")), "keep me\n");

    EXPECT_EQ(readFile(device), "old job");
    EXPECT_EQ(modified(device), 1000000000);
}

TEST_F(Printing, ALargeFileOfAnyBytesIsPrintedByteForByte)
{
    std::string bytes;
    for (int i = 0; bytes.size() < 5 * 1024 * 1024; ++i)
        bytes += std::string("line \0 with NUL\n", 16) + "\xff\xfe\xc3 invalid UTF-8 " + std::to_string(i) + "\r\n";
    load("big.c", bytes);
    selectNothing();
    const std::string device = oldDevice();
    notices.press("Yes");
    print();
    const std::string printed = readFile(device);
    EXPECT_EQ(printed.size(), bytes.size());
    EXPECT_TRUE(printed == bytes); // no diff of megabytes in the report

    // The last print job is all the device holds.
    load("small.c", "small\n");
    selectNothing();
    notices.press("Yes");
    print();
    EXPECT_EQ(readFile(device), "small\n");
}

TEST_F(Printing, AWriteErrorIsReported)
{
    load("a.c", "text\n");
    setDevice("/dev/full");
    textsw_set_selection(textPane, 0, 3, TEXTSW_SEL_PRIMARY);
    notices.press("Yes");
    print();
    ASSERT_EQ(notices.shown().size(), 2u);
    EXPECT_EQ(notices.shown()[1].lines, (std::vector<std::string>{"Printing stopped", strerror(ENOSPC)}));
}

TEST_F(Printing, FormattedPrintTypesTheExpandedCommands)
{
    load("a.c", "text\n");
    type("x");
    snprintf(configurationTable[0].formattedPrintCall, 1024, "pr -f *# | lp");
    snprintf(configurationTable[0].oddPagesCall, 1024, "odd *");
    snprintf(configurationTable[0].evenPagesCall, 1024, "even #");
    snprintf(configurationTable[0].preformattedCall, 1024, "lp *#\\necho done");
    notices.press("Don't save");
    printAll();
    EXPECT_EQ(questions(), (std::vector<std::string>{"Save this file ?"}));
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"pr -f a.c | lp", "\n"}));
    typed.clear();
    notices.setResponder([](const NoticeRecord &) { return "Don't save"; });
    printOddPages();
    printEvenPages();
    printPreformatted();
    EXPECT_EQ(typed.inputs(), (std::vector<std::string>{"odd a", "\n", "even .c", "\n", "lp a.c\necho done", "\n"}));

    typed.clear();
    currentConfiguration = plainFileConfiguration;
    printAll();
    EXPECT_EQ(typed.all(), "\n");
}

} // namespace
