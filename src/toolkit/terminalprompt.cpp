// Whether the shell in the terminal pane waits at an empty prompt: which process group holds the
// terminal's foreground (and the name of the program there), and whether keys have gone to the
// terminal since the last Return, Ctrl-C or Ctrl-U.
#include "toolkit/terminalpane.h"

#include <QKeyEvent>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The name the kernel keeps for process `pid` ("" when it has gone).
std::string processName(long pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// The process group of process `pid`, from /proc (-1 when it has gone). The fields after the
// name, which is in parentheses and may hold anything, begin with the state, the parent and the
// group.
long processGroupOf(long pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string state;
    long parent = 0, group = -1;
    fields >> state >> parent >> group;
    return fields ? group : -1;
}

// The name of a program of process group `group`: its leader's, or, when the leader has ended
// (the first command of a pipeline may end first), that of another member.
std::string groupProgramName(long group)
{
    std::string name = processName(group);
    if (!name.empty())
        return name;
    DIR *processes = opendir("/proc");
    if (!processes)
        return name;
    while (struct dirent *entry = readdir(processes)) {
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0')
            continue;
        if (processGroupOf(pid) == group) {
            name = processName(pid);
            if (!name.empty())
                break;
        }
    }
    closedir(processes);
    return name;
}

// Keys that send nothing to the program in the terminal: modifiers alone, and Shift with the
// keys that scroll the terminal's history.
bool sendsNothing(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return event->modifiers() == Qt::ShiftModifier;
    default:
        return false;
    }
}

} // namespace

bool TerminalPane::programInForeground(std::string *program)
{
    const pid_t shell = getShellPID();
    const pid_t foreground = masterFd_ >= 0 ? tcgetpgrp(masterFd_) : -1;
    // Before the shell has made the terminal its own there is no foreground group; what is typed
    // then waits in the terminal for the shell.
    if (shell <= 0 || foreground <= 0 || foreground == getpgid(shell))
        return false;
    if (program)
        *program = groupProgramName(foreground);
    return true;
}

bool TerminalPane::shellReadingInput()
{
    // The system call the shell is blocked in: "running" while it works; a read of its standard
    // input, or a wait for input through poll or select, at its prompt.
    const pid_t shell = getShellPID();
    std::ifstream file("/proc/" + std::to_string(shell) + "/syscall");
    std::string call, firstArgument;
    if (shell <= 0 || !(file >> call))
        return true;
    if (call == "running")
        return false;
#if defined(__x86_64__)
    const char *const waitsForInput[] = {"7", "23", "232", "270", "271", "281", "441"}; // poll ... epoll_pwait2
    const std::string readCall = "0";
#elif defined(__aarch64__)
    const char *const waitsForInput[] = {"22", "72", "73", "441"}; // epoll_pwait, pselect6, ppoll, epoll_pwait2
    const std::string readCall = "63";
#else
    const char *const waitsForInput[] = {""};
    const std::string readCall;
    return true; // the numbers of other machines are not known here
#endif
    if (call == readCall)
        return (file >> firstArgument) && firstArgument == "0x0";
    for (const char *number : waitsForInput)
        if (call == number)
            return true;
    return false;
}

void TerminalPane::noteKeyPress(const QKeyEvent *event)
{
    if (!event || sendsNothing(event))
        return;
    const int key = event->key();
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || (control && (key == Qt::Key_C || key == Qt::Key_U))) {
        lineHalfTyped_ = false;
        return;
    }
    // Keys without text (arrows, Home, Delete, ...) and control keys move or change the line;
    // pasted text comes as one key event holding all of it.
    const QByteArray text = event->text().toUtf8();
    if (text.isEmpty() || control)
        lineHalfTyped_ = true;
    else
        noteTypedBytes(text.constData(), text.size());
}

void TerminalPane::noteTypedBytes(const char *bytes, int length)
{
    // Return (or a newline), Ctrl-C and Ctrl-U leave the shell an empty line; anything after
    // the last of them is on it.
    for (int i = 0; i < length; ++i) {
        const char c = bytes[i];
        lineHalfTyped_ = !(c == '\r' || c == '\n' || c == '\x03' || c == '\x15');
    }
}
