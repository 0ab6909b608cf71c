// The full-screen test program run as a process of its own on a given X
// display, with its standard input and output on pipes to the test.
#pragma once

#include "support/TestSupport.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace FullScreenTests
{
class ProgramProcess
{
public:
    // Starts the program in a fresh folder holding `config` as Korvana.cfg.
    ProgramProcess(const std::string& config, const char* displayName);
    // A program still running is killed.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Waits until the program says its GL window is drawing.
    bool WaitReady(double seconds);
    // Sends one command line ("close", "crash").
    void Send(const std::string& command);
    // Sends the signal and waits for the end; the wait status.
    int EndBy(int signal);
    // Waits for the end; the wait status, or -1 after `seconds`.
    int WaitEnd(double seconds);

    pid_t Pid() const { return pid; }

private:
    TestSupport::TempDir dir;
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    std::string received;
};

// A process's children, as /proc lists them.
std::vector<pid_t> ChildrenOf(pid_t parent);
// Whether a process has a handler for `signal` (its SigCgt mask).
bool CatchesSignal(pid_t process, int signal);
}
