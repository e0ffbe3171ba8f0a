#include "config/configuration.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The eighteen header settings, each on its own line with a comment before the value.
std::string header(const std::string &count = "3")
{
    return "memory limits #1000\n#2000\n#3000\nmax windows #10\n"
           "main frame #640x480\nproject frame #500 400\n"
           "main font #-misc-fixed-medium-r-normal--13-*\nproject font #fixed\n"
           "#0\n#0\nrows #12\nhelp #80x24\nresults #72x10\ncount #" + count + "\n";
}

std::string entry(const std::string &description, const std::string &flags = "yN")
{
    return "{ entry\n" + description + "\ncc -o * *#\n.c .h\n\n./*\n/dev/lp0\npa\npo\npe\npp\n*#:%:\n" +
           flags + "\n}\n";
}

std::string helpSection()
{
    return "{about\nAbout text\n}\nskipped {intro\nline 1\nline 2\n} {summary\nS\n}\n";
}

struct ReadResult {
    std::string output; // what the reader printed
    int errors = 0;     // how many times the error message was printed
};

ReadResult readText(const std::string &text)
{
    TempDir dir;
    writeFile(dir.file("rc"), text);
    FILE *file = fopen(dir.file("rc").c_str(), "r");
    testing::internal::CaptureStdout();
    readConfigurationFrom(file);
    ReadResult result;
    result.output = testing::internal::GetCapturedStdout();
    fclose(file);
    const std::string message = "Some error in configuration file\ncontinuing  ...\n";
    for (size_t at = result.output.find(message); at != std::string::npos;
         at = result.output.find(message, at + 1))
        ++result.errors;
    return result;
}

TEST(ConfigurationReader, ReadsHeaderEntriesAndHelpTexts)
{
    ReadResult r = readText(header() + "@\n" + entry("C") + "between entries\n" + entry("Java", "n") + "@\n" +
                            helpSection());
    EXPECT_EQ(r.output, "");
    const GeneralSettings &s = generalSettings;
    EXPECT_EQ(s.mainTextMemoryLimit, 1000);
    EXPECT_EQ(s.resultsTextMemoryLimit, 2000);
    EXPECT_EQ(s.projectTextMemoryLimit, 3000);
    EXPECT_EQ(s.maxProjectWindows, 10);
    EXPECT_EQ(s.mainFrameWidth, 640);
    EXPECT_EQ(s.mainFrameHeight, 480);
    EXPECT_EQ(s.projectFrameWidth, 500); // a blank between the pair reads like the 'x'
    EXPECT_EQ(s.projectFrameHeight, 400);
    EXPECT_STREQ(s.mainFontName, "-misc-fixed-medium-r-normal--13-*");
    EXPECT_STREQ(s.projectFontName, "fixed");
    EXPECT_EQ(s.fileListRows, 12);
    EXPECT_EQ(s.helpTextColumns, 80);
    EXPECT_EQ(s.helpTextRows, 24);
    EXPECT_EQ(s.resultsColumns, 72);
    EXPECT_EQ(s.resultsRows, 10);
    EXPECT_EQ(s.configurationCount, 3);

    const Configuration &c = configurationTable[0];
    EXPECT_STREQ(c.description, "C");
    EXPECT_STREQ(c.compilerCall, "cc -o * *#");
    EXPECT_STREQ(c.sourceExtensions, ".c .h");
    EXPECT_STREQ(c.targetExtension, "");
    EXPECT_STREQ(c.targetCall, "./*");
    EXPECT_STREQ(c.printerDevice, "/dev/lp0");
    EXPECT_STREQ(c.formattedPrintCall, "pa");
    EXPECT_STREQ(c.oddPagesCall, "po");
    EXPECT_STREQ(c.evenPagesCall, "pe");
    EXPECT_STREQ(c.preformattedCall, "pp");
    EXPECT_STREQ(c.errorForm, "*#:%:");
    EXPECT_TRUE(c.compilerTerminates());           // 'y'
    EXPECT_FALSE(c.disableSaveWhileCompiling());   // 'N'
    EXPECT_STREQ(configurationTable[1].description, "Java");
    EXPECT_FALSE(configurationTable[1].compilerTerminates());
    EXPECT_FALSE(configurationTable[1].disableSaveWhileCompiling()); // one-character flag line
    EXPECT_STREQ(configurationTable[2].description, "");

    const Configuration &plain = configurationTable[plainFileConfiguration];
    EXPECT_STREQ(plain.description, "File");
    EXPECT_STREQ(plain.sourceExtensions, "..");
    EXPECT_STREQ(plain.flags, "n");
    EXPECT_STREQ(plain.compilerCall, "");

    EXPECT_STREQ(helpTexts.aboutText, "About text\n");
    EXPECT_STREQ(helpTexts.introductionText, "line 1\nline 2\n");
    EXPECT_STREQ(helpTexts.summaryText, "S\n");
}

TEST(ConfigurationReader, NumberForms)
{
    // "#640" newline "#480": the second number reads the '#' as its end, 480 becomes comment text.
    // "#-5" and "# 12" end at once and give 0; the digits after them are comment text.
    std::string text = "#1\n#2\n#3\n#4\n#640\n#480\n#7x8\n#a\n#b\n#0\n#0\n#-5\n# 12\n#3x4\n#99@@";
    ReadResult r = readText(text);
    EXPECT_EQ(r.errors, 1); // only the missing help section
    EXPECT_EQ(generalSettings.mainFrameWidth, 640);
    EXPECT_EQ(generalSettings.mainFrameHeight, 0);
    EXPECT_EQ(generalSettings.projectFrameWidth, 7);
    EXPECT_EQ(generalSettings.projectFrameHeight, 8);
    EXPECT_STREQ(generalSettings.mainFontName, "a");
    EXPECT_EQ(generalSettings.fileListRows, 0);     // "#-5"
    EXPECT_EQ(generalSettings.helpTextColumns, 0);  // "# 12": the blank ends an empty number...
    EXPECT_EQ(generalSettings.helpTextRows, 12);    // ...and the pair's second number starts after it
    EXPECT_EQ(generalSettings.resultsRows, 4);
    EXPECT_EQ(generalSettings.configurationCount, 99);
}

TEST(ConfigurationReader, EmptyMarkedStringAndCarriageReturns)
{
    std::string text = header();
    text.replace(text.find("#fixed"), 6, "#");
    ReadResult r = readText(text + "@\n" + entry("C\r") + "@" + helpSection());
    EXPECT_EQ(r.errors, 0);
    EXPECT_STREQ(generalSettings.projectFontName, "");
    EXPECT_STREQ(configurationTable[0].description, "C\r");
}

TEST(ConfigurationReader, FieldCapacities)
{
    ReadResult ok = readText(header() + "@" + entry(std::string(255, 'd')) + "{\nx\n" + std::string(4095, 'c') +
                             "\n\n\n\n\n\n\n\n\n\n\n}@" + helpSection());
    EXPECT_EQ(ok.errors, 0);
    EXPECT_EQ(strlen(configurationTable[0].description), 255u);
    EXPECT_EQ(strlen(configurationTable[1].compilerCall), 4095u);

    ReadResult tooLong = readText(header() + "@" + entry("first") + entry(std::string(256, 'd')) + entry("third") +
                                  "@" + helpSection());
    EXPECT_EQ(tooLong.errors, 1);
    EXPECT_STREQ(configurationTable[0].description, "first");
    EXPECT_STREQ(configurationTable[1].compilerCall, "");
    EXPECT_STREQ(configurationTable[2].description, "");
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, ""); // error before the closing '@'
    EXPECT_STREQ(helpTexts.aboutText, "");
}

TEST(ConfigurationReader, SectionEdges)
{
    ReadResult empty = readText(header() + "@@" + helpSection());
    EXPECT_EQ(empty.errors, 0);
    EXPECT_STREQ(configurationTable[0].description, "");
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "File");

    // Ends right after the configuration section: one error, three empty help texts, "File" filled.
    ReadResult noHelp = readText(header() + "@" + entry("C") + "@\n");
    EXPECT_EQ(noHelp.errors, 1);
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "File");
    EXPECT_STREQ(helpTexts.aboutText, "");
    EXPECT_STREQ(helpTexts.summaryText, "");

    // Ends inside an entry.
    ReadResult cut = readText(header() + "@" + entry("C") + "{\nD\ncc\n");
    EXPECT_EQ(cut.errors, 1);
    EXPECT_STREQ(configurationTable[1].description, "D");
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "");
}

TEST(ConfigurationReader, HeaderEndingEarlyReportsOncePerMissingSettingPlusOnce)
{
    // The file ends after setting 16's '#': settings 16, 17 and 18 report, then the section search.
    ReadResult r = readText("#1\n#2\n#3\n#4\n#5x6\n#7x8\n#a\n#b\n#0\n#0\n#13\n#14x15\n#");
    EXPECT_EQ(r.errors, 4);
    EXPECT_EQ(r.output.size(), 4 * strlen("Some error in configuration file\ncontinuing  ...\n"));
    EXPECT_EQ(generalSettings.helpTextRows, 15);
    EXPECT_EQ(generalSettings.resultsColumns, 0);
    EXPECT_EQ(generalSettings.configurationCount, 0);
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "");

    ReadResult nothing = readText("");
    EXPECT_EQ(nothing.errors, 19);
    EXPECT_STREQ(generalSettings.mainFontName, "");
}

TEST(ConfigurationReader, SixtyFiveEntriesKeepSixtyFourAndStillReadHelp)
{
    std::string entries;
    for (int i = 0; i < 65; ++i)
        entries += entry("config " + std::to_string(i));
    ReadResult r = readText(header() + "@" + entries + "@" + helpSection());
    EXPECT_EQ(r.errors, 0);
    EXPECT_STREQ(configurationTable[63].description, "config 63");
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "File");
    EXPECT_STREQ(helpTexts.summaryText, "S\n");
}

TEST(ConfigurationReader, HelpTextLimit)
{
    ReadResult fits = readText(header() + "@@{\n" + std::string(15999, 'h') + "}{\n}{\n}");
    EXPECT_EQ(fits.errors, 0);
    EXPECT_EQ(strlen(helpTexts.aboutText), 15999u);
    ReadResult over = readText(header() + "@@{\n" + std::string(16000, 'h') + "}{\nI\n}{\n}");
    EXPECT_EQ(over.errors, 1);
    EXPECT_STREQ(helpTexts.introductionText, "");
}

TEST(ConfigurationFile, LookedUpInThreePlacesInOrder)
{
    TempDir home, system;
    setenv("HOME", home.path().c_str(), 1);
    setSystemConfigurationDirectoryForTests(system.path().c_str());

    writeFile(home.file("tsl.config"), "third");
    writeFile(system.file("system.tslrc"), "second");
    writeFile(home.file(".tslrc"), "first");
    for (const char *expected : {"first", "second", "third"}) {
        FILE *file = openConfigurationFile("r");
        ASSERT_NE(file, nullptr);
        char buffer[16] = {};
        EXPECT_STREQ(fgets(buffer, sizeof buffer, file), expected);
        fclose(file);
        remove(std::string(expected) == "first" ? home.file(".tslrc").c_str() : system.file("system.tslrc").c_str());
    }
    remove(home.file("tsl.config").c_str());

    // Only a lookup for reading starts its messages with the "Error:" line.
    testing::internal::CaptureStdout();
    EXPECT_EQ(openConfigurationFile("r+"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "No file \".tslrc\" in your HOME (" + home.path() + ") directory; \n"
              "no file \"system.tslrc\" in SYSRC (" + system.path() + ") directory\nStopped.\n\n");
    setSystemConfigurationDirectoryForTests(nullptr);
}

// Only a regular file counts as found: a FIFO would block start-up, /dev/zero would never end,
// and a directory holds nothing. Each makes the lookup go on to the next place.
TEST(ConfigurationFile, OnlyRegularFilesCount)
{
    TempDir home, system;
    setenv("HOME", home.path().c_str(), 1);
    setSystemConfigurationDirectoryForTests(system.path().c_str());
    writeFile(home.file("tsl.config"), "third");
    const std::string first = home.file(".tslrc");

    ASSERT_EQ(mkfifo(first.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(system.file("system.tslrc").c_str(), 0700), 0);
    const auto openedText = [] {
        FILE *file = openConfigurationFile("r"); // a FIFO that blocked would hang the test here
        if (!file)
            return std::string("none");
        char buffer[16] = {};
        std::string text = fgets(buffer, sizeof buffer, file) ? buffer : "";
        fclose(file);
        return text;
    };
    EXPECT_EQ(openedText(), "third");
    remove(first.c_str());
    ASSERT_EQ(symlink("/dev/zero", first.c_str()), 0);
    EXPECT_EQ(openedText(), "third");
    remove(first.c_str());
    ASSERT_EQ(mkdir(first.c_str(), 0700), 0);
    EXPECT_EQ(openedText(), "third");
    rmdir(first.c_str());

    // A link to a regular file is that file.
    writeFile(home.file("real"), "linked");
    ASSERT_EQ(symlink(home.file("real").c_str(), first.c_str()), 0);
    EXPECT_EQ(openedText(), "linked");

    // With nothing usable anywhere the lookup fails as for missing files.
    remove(first.c_str());
    remove(home.file("tsl.config").c_str());
    ASSERT_EQ(mkfifo(first.c_str(), 0600), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(openedText(), "none");
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Error: No configuration file found.\n", 0), 0u);
    setSystemConfigurationDirectoryForTests(nullptr);
}

TEST(ConfigurationFile, ShippedDefaultReadsWithoutErrors)
{
    ReadResult r;
    {
        FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r");
        ASSERT_NE(file, nullptr);
        testing::internal::CaptureStdout();
        readConfigurationFrom(file);
        r.output = testing::internal::GetCapturedStdout();
        fclose(file);
    }
    EXPECT_EQ(r.output, "");
    // The sizes that a damaged setting falls back to are the shipped file's.
    EXPECT_EQ(generalSettings.mainFrameWidth, defaultMainFrameWidth);
    EXPECT_EQ(generalSettings.mainFrameHeight, defaultMainFrameHeight);
    EXPECT_EQ(generalSettings.projectFrameWidth, defaultProjectFrameWidth);
    EXPECT_EQ(generalSettings.projectFrameHeight, defaultProjectFrameHeight);
    EXPECT_EQ(generalSettings.resultsColumns, defaultResultsColumns);
    EXPECT_EQ(generalSettings.resultsRows, defaultResultsRows);
    EXPECT_EQ(generalSettings.helpTextColumns, defaultHelpTextColumns);
    EXPECT_EQ(generalSettings.helpTextRows, defaultHelpTextRows);
    EXPECT_GT(generalSettings.configurationCount, 8);
    for (int i = 0; i < generalSettings.configurationCount; ++i)
        EXPECT_STRNE(configurationTable[i].description, "") << "slot " << i;
    EXPECT_STRNE(helpTexts.aboutText, "");
    EXPECT_STRNE(helpTexts.introductionText, "");
    EXPECT_STRNE(helpTexts.summaryText, "");
    // Every line of the help texts fits the width of the help windows.
    for (const char *text : {helpTexts.aboutText, helpTexts.introductionText, helpTexts.summaryText}) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(static_cast<int>(line.size()), generalSettings.helpTextColumns) << line;
    }
}

// Each entry of the shipped file as the comment on its brace line describes it. A comment that
// runs on to further lines shifts every field of its entry without any message, so the fields are
// checked one by one, and the print commands by what every one of them holds.
TEST(ConfigurationFile, ShippedEntriesAreWhatTheirCommentsSay)
{
    FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r");
    ASSERT_NE(file, nullptr);
    testing::internal::CaptureStdout();
    readConfigurationFrom(file);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    fclose(file);

    struct Entry {
        const char *description, *compile, *extensions, *target, *run, *errorForm, *flags;
    };
    const Entry entries[] = {
        {"C (gcc)", "gcc -g -Wall -o * *#", ".c .h", "", "./*", "*#:%", "yy"},
        {"C++ (g++)", "g++ -g -Wall -o * *#", ".cpp .cc .cxx .C .hpp .hh", "", "./*", "*#:%", "yy"},
        {"Fortran (gfortran)", "gfortran -g -Wall -o * *#", ".f90 .f95 .f03 .f .for", "", "./*", "*#:%", "yy"},
        {"Python 3 (syntax check)", "python3 -m py_compile *#", ".py", "", "python3 *#", "  File \"*#\", line %", "yy"},
        {"Shell script (sh -n)", "sh -n *#", ".sh", "", "sh *#", "*#: %", "yy"},
        {"Java (javac)", "javac -g *#", ".java", "", "java *", "*#:%", "yy"},
        {"LaTeX (pdflatex)", "pdflatex -interaction=nonstopmode -file-line-error *#", ".tex .ltx", ".pdf", "xdg-open *",
         "*#:%", "yy"},
        {"Make", "make", "Makefile makefile GNUmakefile .mk", "", "make run", "*#:%", "yy"},
        // The interpreter does not end by itself: typed into the terminal, chosen from the menu.
        {"Python 3 (interactive)", "python3 -i *#", "", "", "python3 *#", "  File \"*#\", line %", "nn"},
    };
    const int count = static_cast<int>(std::size(entries));
    EXPECT_EQ(generalSettings.configurationCount, count);
    for (int slot = 0; slot < count; ++slot) {
        const Entry &want = entries[slot];
        const Configuration &got = configurationTable[slot];
        SCOPED_TRACE(want.description);
        EXPECT_STREQ(got.description, want.description);
        EXPECT_STREQ(got.compilerCall, want.compile);
        EXPECT_STREQ(got.sourceExtensions, want.extensions);
        EXPECT_STREQ(got.targetExtension, want.target);
        EXPECT_STREQ(got.targetCall, want.run);
        EXPECT_STREQ(got.printerDevice, "/dev/usb/lp0");
        for (const std::string print : {got.formattedPrintCall, got.oddPagesCall, got.evenPagesCall, got.preformattedCall})
            EXPECT_TRUE(print.rfind("pr -f *# | lp", 0) == 0 || print.rfind("lp ", 0) == 0) << print;
        EXPECT_STREQ(got.errorForm, want.errorForm);
        EXPECT_STREQ(got.flags, want.flags); // y or n, both
    }
    EXPECT_STREQ(configurationTable[count].description, "");
    EXPECT_STREQ(configurationTable[plainFileConfiguration].description, "File");
}

TEST(ConfigurationFile, ProgramWithoutConfigurationStopsWithStatusOne)
{
    TempDir home;
    ProcessResult r = runProcess(TSL_BINARY, "", home.path());
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.output, "Error: No configuration file found.\n"
                        "No file \".tslrc\" in your HOME (" + home.path() + ") directory; \n"
                        "no file \"system.tslrc\" in SYSRC (/usr/openwin/lib) directory\n"
                        "Stopped.\n\n");
}

} // namespace
