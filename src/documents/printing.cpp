// "Print" sends the selection or the stored file, byte for byte, to the current configuration's
// printer device; the "Formatted print" items type the configuration's print commands into the
// terminal.
#include "compiler/expandcommand.h"
#include "config/configuration.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "documents/printing.h"
#include "documents/printjob.h"
#include "frame/mainframe.h"
#include "texttools/texttoolstate.h"
#include "toolkit/notice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int printEditedFileAnswer = 2;

void tell(const std::vector<std::string> &lines)
{
    notice_prompt(mainFrame, lines, {noticeYes("Ok")});
}

// Opens the device for writing, created or emptied, without waiting on a device that is busy.
// -1 after telling the user.
int openPrinterDevice()
{
    const char *device = configurationTable[currentConfiguration].printerDevice;
    const int fd = open(device, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        tell({"Cannot open printer device"});
    return fd;
}

// Whether the device names the very file `source` reads: emptying it would lose the file.
bool deviceIsFile(int source)
{
    struct stat file, device;
    return fstat(source, &file) == 0 && stat(configurationTable[currentConfiguration].printerDevice, &device) == 0 &&
           file.st_dev == device.st_dev && file.st_ino == device.st_ino;
}

bool printerFree()
{
    if (!printJobRunning())
        return true;
    tell({"The printer device is still busy", "with the last print"});
    return false;
}

void printSelection(std::string bytes)
{
    if (!printerFree())
        return;
    const int device = openPrinterDevice();
    if (device >= 0)
        startPrintJob(device, std::move(bytes), -1);
}

// The stored file is checked before the device is opened, so that a print that cannot happen
// leaves the device as it was.
void printFile()
{
    if (!printerFree())
        return;
    if (document.fileName.empty()) {
        tell({"No file to print"});
        return;
    }
    const int source = open(document.fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) {
        tell({"Cannot read the file to print", document.fileName, std::strerror(errno)});
        return;
    }
    struct stat status;
    if (fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(source);
        tell({"Cannot read the file to print", document.fileName, "It is not a regular file"});
        return;
    }
    if (deviceIsFile(source)) {
        close(source);
        tell({"The printer device is the file to print"});
        return;
    }
    const int device = openPrinterDevice();
    if (device < 0) {
        close(source);
        return;
    }
    startPrintJob(device, std::string(), source);
}

} // namespace

void printDocument()
{
    std::string selection = fetchSelection();
    if (!selection.empty()) {
        const int answer = notice_prompt(mainFrame, {"Print selection?"},
                                         {noticeYes("Yes"), noticeEscape(noticeNo("cancel")),
                                          noticeButton("Print edited file", printEditedFileAnswer)});
        if (answer == 1)
            printSelection(std::move(selection));
        else if (answer == printEditedFileAnswer)
            printFile();
        return;
    }
    // A store that failed has been reported; printing the older stored file would mislead.
    if (!offerToSave())
        return;
    if (notice_prompt(mainFrame, {"Print file?"}, {noticeYes("Yes"), noticeEscape(noticeNo("cancel"))}) == 1)
        printFile();
}

void printPreformatted()
{
    expandCommand(configurationTable[currentConfiguration].preformattedCall);
}

void printAll()
{
    expandCommand(configurationTable[currentConfiguration].formattedPrintCall);
}

void printOddPages()
{
    expandCommand(configurationTable[currentConfiguration].oddPagesCall);
}

void printEvenPages()
{
    expandCommand(configurationTable[currentConfiguration].evenPagesCall);
}
