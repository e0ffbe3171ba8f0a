#include "shell/commandline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLine parsed(const std::vector<const char *> &arguments)
{
    std::vector<char *> argv{const_cast<char *>("tsl")};
    for (const char *argument : arguments)
        argv.push_back(const_cast<char *>(argument));
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

using Files = std::vector<std::string>;

TEST(CommandLine, PassesOverTheToolkitsOptionsAndRefusesAnyOther)
{
    CommandLine line = parsed({"-display", ":5", "-geometry", "800x600+0+0", "--style", "Fusion",
                               "-stylesheet=a.qss", "-reverse", "--qwindowtitle", "T", "a.c", "b.c"});
    EXPECT_EQ(line.request, CommandLineRequest::Run);
    EXPECT_EQ(line.files, (Files{"a.c", "b.c"}));
    EXPECT_TRUE(line.hasDisplay);
    EXPECT_EQ(line.display, ":5");
    EXPECT_EQ(extraFilesNote(line.files), "tsl: one file at a time: editing a.c, ignoring b.c");
    EXPECT_EQ(extraFilesNote({"a.c"}), "");

    // After "--" every argument names a file; "-" alone is a name too.
    line = parsed({"-platform", "xcb", "--", "-n.c", "--bogus"});
    EXPECT_EQ(line.request, CommandLineRequest::Run);
    EXPECT_EQ(line.files, (Files{"-n.c", "--bogus"}));
    EXPECT_EQ(line.platform, "xcb");
    EXPECT_EQ(parsed({"-"}).files, Files{"-"});

    const std::pair<std::vector<const char *>, const char *> refused[] = {
        {{"--bogus"}, "tsl: unknown option '--bogus'"},
        {{"-v"}, "tsl: unknown option '-v'"},
        {{"a.c", "-geometry", "9x9", "-x", "--help"}, "tsl: unknown option '-x'"},
        {{"-display"}, "tsl: option '-display' needs a value"},
    };
    for (const auto &[arguments, refusal] : refused) {
        line = parsed(arguments);
        EXPECT_EQ(line.request, CommandLineRequest::Refused) << refusal;
        EXPECT_EQ(line.refusal, refusal);
    }
    // The first request found decides.
    EXPECT_EQ(parsed({"a.c", "--version", "--bogus"}).request, CommandLineRequest::Version);
    EXPECT_EQ(parsed({"-geometry", "--help"}).request, CommandLineRequest::Run); // the value of -geometry
}

} // namespace
