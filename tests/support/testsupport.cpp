#include "support/testsupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir()
{
    char name[] = "/tmp/tsltest.XXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("mkdtemp failed");
    path_ = name;
}

TempDir::~TempDir()
{
    std::string command = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", path_.c_str());
}

void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

ProcessResult runProcess(const std::string &program, const std::string &argument,
                         const std::string &home, const std::string &directory)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        dup2(fds[1], 2);
        close(fds[0]);
        close(fds[1]);
        if (chdir(directory.c_str()) != 0)
            _exit(126);
        setenv("HOME", home.c_str(), 1);
        if (argument.empty())
            execl(program.c_str(), program.c_str(), (char *)nullptr);
        else
            execl(program.c_str(), program.c_str(), argument.c_str(), (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    ProcessResult result;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        result.output.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

#include <sys/fsuid.h>

OrdinaryUserFileAccess::OrdinaryUserFileAccess()
{
    if (geteuid() == 0)
        previous_ = setfsuid(65534);
}

OrdinaryUserFileAccess::~OrdinaryUserFileAccess()
{
    if (previous_ >= 0)
        setfsuid(static_cast<uid_t>(previous_));
}

#include "config/configuration.h"

void useDefaultConfiguration()
{
    FILE *file = fopen(TSL_SOURCE_DIR "/share/tsl/tslrc", "r");
    if (!file)
        throw std::runtime_error("no default configuration");
    readConfigurationFrom(file);
    fclose(file);
}
