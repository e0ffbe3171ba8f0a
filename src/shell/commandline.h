#pragma once
// The command line: the two requests answered before anything else happens (the usage and the
// version, both without the X server and without the configuration file), the toolkit's own
// options, which the toolkit takes out of the arguments itself, and the file to edit.
#include <string>
#include <vector>

enum class CommandLineRequest {
    Run,
    Help,    // "--help"
    Version, // "--version"
    Refused, // an option that neither tsl nor the toolkit knows, or one without its value
};

struct CommandLine {
    CommandLineRequest request = CommandLineRequest::Run;
    // For a refused command line: what to say ("tsl: unknown option '--bogus'"), without a newline.
    std::string refusal;
    // The file names, in order; tsl edits the first. After "--" every argument is a file name.
    std::vector<std::string> files;
    // The value of the toolkit's -display option; `hasDisplay` tells whether it was given.
    std::string display;
    bool hasDisplay = false;
    // The value of the toolkit's -platform option, when given ("" otherwise).
    std::string platform;
};

// Reads the arguments in order: the first "--help", "--version" or refused option decides the
// request; the toolkit's options (with one dash or two, and their values) are passed over.
CommandLine parseCommandLine(int argc, char **argv);

// The texts printed for the two requests, each ending in a newline.
const char *usageText();
const char *versionText();
// What is said when more than one file is named: which one is edited. Empty for one or none.
std::string extraFilesNote(const std::vector<std::string> &files);
