#pragma once
#include <string>

// A temporary directory removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);

// Result of running a program to its end with its standard output captured.
struct ProcessResult {
    int exitStatus = -1; // exit code, or -1 when the program did not exit normally
    std::string output;  // standard output and standard error, in order
};
ProcessResult runProcess(const std::string &program, const std::string &argument,
                         const std::string &home, const std::string &directory = ".");

// While it exists, files are opened with the permissions of an ordinary user even when the tests
// run as root (Linux file-system uid), so that a file without write permission really refuses an
// update. Does nothing for an ordinary user.
class OrdinaryUserFileAccess {
public:
    OrdinaryUserFileAccess();
    ~OrdinaryUserFileAccess();
    OrdinaryUserFileAccess(const OrdinaryUserFileAccess &) = delete;
    OrdinaryUserFileAccess &operator=(const OrdinaryUserFileAccess &) = delete;

private:
    int previous_ = -1;
};

// Reads the shipped default configuration file into the tables (no messages expected).
void useDefaultConfiguration();
