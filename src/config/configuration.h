#pragma once
// The configuration file: general settings, the table of compiler and print configurations and
// the help texts. Read once at start-up; the dialogs change the tables in memory only.

#include <cstdio>

constexpr int configurationSlots = 65;       // 64 from the file plus the plain-file slot
constexpr int plainFileConfiguration = 64;   // "File": no configuration applies
constexpr int fileConfigurationSlots = 64;
constexpr int helpTextCapacity = 16000;

// The window sizes of the shipped default file (in pixels, or columns and rows of text). A size
// of 0, which a damaged or unread setting gives, stands for these.
constexpr int defaultMainFrameWidth = 1000;
constexpr int defaultMainFrameHeight = 760;
constexpr int defaultProjectFrameWidth = 700;
constexpr int defaultProjectFrameHeight = 560;
constexpr int defaultResultsColumns = 90;
constexpr int defaultResultsRows = 14;
constexpr int defaultHelpTextColumns = 80;
constexpr int defaultHelpTextRows = 30;

struct GeneralSettings {
    int mainTextMemoryLimit = 0;
    int resultsTextMemoryLimit = 0;
    int projectTextMemoryLimit = 0;
    int maxProjectWindows = 0;
    int mainFrameWidth = 0;
    int mainFrameHeight = 0;
    int projectFrameWidth = 0;
    int projectFrameHeight = 0;
    char *mainFontName = nullptr;    // heap strings owned by the settings
    char *projectFontName = nullptr;
    int ignoredSetting11 = 0;
    int ignoredSetting12 = 0;
    int fileListRows = 0;
    int helpTextColumns = 0;
    int helpTextRows = 0;
    int resultsColumns = 0;
    int resultsRows = 0;
    int configurationCount = 0;
};

// Field capacities count the terminating NUL.
struct Configuration {
    char description[256];
    char compilerCall[4096];
    char sourceExtensions[256];
    char targetExtension[256];
    char targetCall[256];
    char printerDevice[256];
    char formattedPrintCall[1024];
    char oddPagesCall[1024];
    char evenPagesCall[1024];
    char preformattedCall[1024];
    char errorForm[1024];
    char flags[256]; // [0] compilerTerminates, [1] disableSaveWhileCompiling

    bool compilerTerminates() const;
    bool disableSaveWhileCompiling() const;
};

struct HelpTexts {
    char aboutText[helpTextCapacity];
    char introductionText[helpTextCapacity];
    char summaryText[helpTextCapacity];
};

extern GeneralSettings generalSettings;
extern Configuration configurationTable[configurationSlots];
extern HelpTexts helpTexts;
extern int currentConfiguration;

// A configuration flag counts as yes when its character, upper-cased, is 'Y'.
bool flagIsSet(char flag);

// Reads the configuration file from its three places; when none opens, prints the messages and
// ends the process with status 1.
void readConfigurationFile();

// Opens the first of the three candidate files that opens with `mode` and keeps it as the reader's
// current file; prints the "not found" messages and returns null when none does.
FILE *openConfigurationFile(const char *mode);

// Reads the whole configuration from an open file (the reader's current file becomes `file`) into
// the tables, which are emptied first. Closes nothing.
void readConfigurationFrom(FILE *file);

int readMarkedNumber();
int readFollowingNumber();
char *readMarkedString();
void reportConfigurationError();

// Empties every table; the settings' strings are freed.
void clearConfiguration();

// The directory of the system-wide file. Tests point it into their own temporary folders.
const char *systemConfigurationDirectory();
void setSystemConfigurationDirectoryForTests(const char *directory);
