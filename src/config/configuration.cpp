#include "config/configuration.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

GeneralSettings generalSettings;
Configuration configurationTable[configurationSlots];
HelpTexts helpTexts;
int currentConfiguration = 0;

namespace {

const char *const defaultSystemDirectory = "/usr/openwin/lib";
std::string systemDirectory = defaultSystemDirectory;

FILE *currentFile = nullptr;
// Set by a read that found the end of the file or a line over its limit. Every further read of
// the header reports again; the sections after the header stop at the first error.
bool readFailed = false;

int nextByte()
{
    return currentFile ? getc(currentFile) : EOF;
}

// Skips every character up to and including `wanted`; false at the end of the file.
bool skipPast(int wanted)
{
    for (;;) {
        int c = nextByte();
        if (c == EOF)
            return false;
        if (c == wanted)
            return true;
    }
}

// The longest run of digits; the first non-digit ends it and is consumed. Unsigned decimal,
// stored in a signed 32-bit int.
bool readDigits(int &value)
{
    uint32_t accumulated = 0;
    for (;;) {
        int c = nextByte();
        if (c == EOF)
            return false;
        if (c < '0' || c > '9')
            break;
        accumulated = accumulated * 10u + static_cast<uint32_t>(c - '0');
    }
    value = static_cast<int>(accumulated);
    return true;
}

void failRead()
{
    readFailed = true;
    reportConfigurationError();
}

// Reads one line into `field` (capacity counts the NUL). False at the end of the file or when the
// line holds more than capacity - 1 characters; the field then keeps what fitted.
bool readFieldLine(char *field, size_t capacity)
{
    size_t length = 0;
    for (;;) {
        int c = nextByte();
        if (c == EOF) {
            field[length] = '\0';
            return false;
        }
        if (c == '\n')
            break;
        if (length == capacity - 1) {
            field[length] = '\0';
            return false;
        }
        field[length++] = static_cast<char>(c);
    }
    field[length] = '\0';
    return true;
}

bool readEntry(Configuration &entry)
{
    // The rest of the line holding the '{' is not part of the entry.
    if (!skipPast('\n'))
        return false;
    struct Field {
        char *text;
        size_t capacity;
    };
    const Field fields[] = {
        {entry.description, sizeof entry.description},
        {entry.compilerCall, sizeof entry.compilerCall},
        {entry.sourceExtensions, sizeof entry.sourceExtensions},
        {entry.targetExtension, sizeof entry.targetExtension},
        {entry.targetCall, sizeof entry.targetCall},
        {entry.printerDevice, sizeof entry.printerDevice},
        {entry.formattedPrintCall, sizeof entry.formattedPrintCall},
        {entry.oddPagesCall, sizeof entry.oddPagesCall},
        {entry.evenPagesCall, sizeof entry.evenPagesCall},
        {entry.preformattedCall, sizeof entry.preformattedCall},
        {entry.errorForm, sizeof entry.errorForm},
        {entry.flags, sizeof entry.flags},
    };
    for (const Field &field : fields)
        if (!readFieldLine(field.text, field.capacity))
            return false;
    return skipPast('}');
}

// Reads entries up to the section's closing '@'. Entries beyond the table's 64 slots are read
// the same way and dropped.
bool readConfigurationSection()
{
    int slot = 0;
    for (;;) {
        int c;
        do {
            c = nextByte();
        } while (c != EOF && c != '{' && c != '@');
        if (c == EOF)
            return false;
        if (c == '@')
            return true;
        static Configuration overflow;
        Configuration &entry = slot < fileConfigurationSlots ? configurationTable[slot] : overflow;
        if (slot >= fileConfigurationSlots)
            memset(&overflow, 0, sizeof overflow);
        ++slot;
        if (!readEntry(entry))
            return false;
    }
}

bool readHelpBlock(char *text)
{
    if (!skipPast('{') || !skipPast('\n'))
        return false;
    size_t length = 0;
    for (;;) {
        int c = nextByte();
        if (c == EOF || length == helpTextCapacity - 1) {
            text[length] = '\0';
            return c == '}';
        }
        if (c == '}')
            break;
        text[length++] = static_cast<char>(c);
    }
    text[length] = '\0';
    return true;
}

// Opens `path` only when it names a regular file (or a link to one): a FIFO there would block
// start-up, a device such as /dev/zero would never end, and a directory holds no settings. Such
// a candidate counts as missing, so that the next place is tried.
FILE *openRegularFile(const std::string &path, const char *mode)
{
    struct stat st;
    if (mode[0] != 'r' || strchr(mode, '+')) {
        if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return nullptr;
        return fopen(path.c_str(), mode);
    }
    // Opened without blocking, so that a FIFO answers at once, and checked on the open file.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE *file = fdopen(fd, mode);
    if (!file)
        close(fd);
    return file;
}

void fillPlainFileConfiguration()
{
    Configuration &plain = configurationTable[plainFileConfiguration];
    strcpy(plain.description, "File");
    strcpy(plain.sourceExtensions, "..");
    strcpy(plain.flags, "n");
}

} // namespace

bool flagIsSet(char flag)
{
    return toupper(static_cast<unsigned char>(flag)) == 'Y';
}

bool Configuration::compilerTerminates() const
{
    return flagIsSet(flags[0]);
}

bool Configuration::disableSaveWhileCompiling() const
{
    return flagIsSet(flags[1]);
}

const char *systemConfigurationDirectory()
{
    return systemDirectory.c_str();
}

void setSystemConfigurationDirectoryForTests(const char *directory)
{
    systemDirectory = directory ? directory : defaultSystemDirectory;
}

void reportConfigurationError()
{
    fputs("Some error in configuration file\n", stdout);
    fputs("continuing  ...\n", stdout);
    fflush(stdout);
}

int readMarkedNumber()
{
    int value = 0;
    if (readFailed || !skipPast('#') || !readDigits(value)) {
        failRead();
        return 0;
    }
    return value;
}

int readFollowingNumber()
{
    int value = 0;
    if (readFailed || !readDigits(value)) {
        failRead();
        return 0;
    }
    return value;
}

char *readMarkedString()
{
    std::string value;
    bool complete = !readFailed && skipPast('#');
    while (complete) {
        int c = nextByte();
        if (c == EOF)
            complete = false;
        else if (c == '\n' || c == '\0')
            break;
        else
            value += static_cast<char>(c);
    }
    if (!complete) {
        failRead();
        value.clear();
    }
    return strdup(value.c_str());
}

void clearConfiguration()
{
    free(generalSettings.mainFontName);
    free(generalSettings.projectFontName);
    generalSettings = GeneralSettings();
    memset(configurationTable, 0, sizeof configurationTable);
    memset(&helpTexts, 0, sizeof helpTexts);
}

FILE *openConfigurationFile(const char *mode)
{
    const char *home = getenv("HOME");
    if (!home)
        home = "";
    const std::string candidates[] = {
        std::string(home) + "/" + ".tslrc",
        std::string(systemDirectory) + "/system" + ".tslrc",
        std::string(home) + "/tsl.config",
    };
    for (const std::string &path : candidates) {
        if (FILE *file = openRegularFile(path, mode)) {
            currentFile = file;
            return file;
        }
    }
    currentFile = nullptr;
    if (strcmp(mode, "r") == 0)
        fputs("Error: No configuration file found.\n", stdout);
    printf("No file \"%s\" in your HOME (%s) directory; \n", ".tslrc", home);
    printf("no file \"system%s\" in SYSRC (%s) directory\n", ".tslrc", systemDirectory.c_str());
    fputs("Stopped.\n\n", stdout);
    fflush(stdout);
    return nullptr;
}

void readConfigurationFrom(FILE *file)
{
    clearConfiguration();
    currentFile = file;
    readFailed = false;

    GeneralSettings &s = generalSettings;
    s.mainTextMemoryLimit = readMarkedNumber();
    s.resultsTextMemoryLimit = readMarkedNumber();
    s.projectTextMemoryLimit = readMarkedNumber();
    s.maxProjectWindows = readMarkedNumber();
    s.mainFrameWidth = readMarkedNumber();
    s.mainFrameHeight = readFollowingNumber();
    s.projectFrameWidth = readMarkedNumber();
    s.projectFrameHeight = readFollowingNumber();
    s.mainFontName = readMarkedString();
    s.projectFontName = readMarkedString();
    s.ignoredSetting11 = readMarkedNumber();
    s.ignoredSetting12 = readMarkedNumber();
    s.fileListRows = readMarkedNumber();
    s.helpTextColumns = readMarkedNumber();
    s.helpTextRows = readFollowingNumber();
    s.resultsColumns = readMarkedNumber();
    s.resultsRows = readFollowingNumber();
    s.configurationCount = readMarkedNumber();

    if (readFailed || !skipPast('@')) {
        reportConfigurationError();
        return;
    }
    if (!readConfigurationSection()) {
        reportConfigurationError();
        return;
    }
    fillPlainFileConfiguration();
    for (char *text : {helpTexts.aboutText, helpTexts.introductionText, helpTexts.summaryText}) {
        if (!readHelpBlock(text)) {
            reportConfigurationError();
            return;
        }
    }
}

void readConfigurationFile()
{
    FILE *file = openConfigurationFile("r");
    if (!file)
        exit(1);
    readConfigurationFrom(file);
    fclose(file);
    currentFile = nullptr;
}
