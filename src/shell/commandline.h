#pragma once
// The two requests the command line may make before anything else happens: the usage and the
// version. Both are answered without the X server and without the configuration file.

enum class CommandLineRequest { Run, Help, Version };

// "--help" or "--version" anywhere among the arguments (the first one found wins); otherwise
// the arguments keep their meaning: toolkit options, then the file to edit.
CommandLineRequest commandLineRequest(int argc, char **argv);

// The texts printed for the two requests, each ending in a newline.
const char *usageText();
const char *versionText();
