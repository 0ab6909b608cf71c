#include "ProgramProcess.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace FullScreenTests
{
namespace
{
const char* program = KORVANA_BINARY_DIR "/tests/fullscreen_program";

// One "Key:" line of /proc/PID/status, or an empty string.
std::string StatusField(pid_t pid, const std::string& key)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return line.substr(key.size() + 1);
    return "";
}
}

ProgramProcess::ProgramProcess(const std::string& config, const char* displayName)
{
    TestSupport::WriteFile(dir / "Korvana.cfg", config);
    int toProgram[2], fromProgram[2];
    if (pipe2(toProgram, O_CLOEXEC) != 0 || pipe2(fromProgram, O_CLOEXEC) != 0)
        return;
    pid = fork();
    if (pid == 0) {
        dup2(toProgram[0], STDIN_FILENO);
        dup2(fromProgram[1], STDOUT_FILENO);
        setenv("DISPLAY", displayName, 1);
        const rlimit noCore{0, 0};  // crashes by design leave no core files
        setrlimit(RLIMIT_CORE, &noCore);
        execl(program, program, dir.path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(toProgram[0]);
    close(fromProgram[1]);
    input = toProgram[1];
    output = fromProgram[0];
}

ProgramProcess::~ProgramProcess()
{
    if (pid > 0 && WaitEnd(0) == -1)
        EndBy(SIGKILL);
    if (input >= 0)
        close(input);
    if (output >= 0)
        close(output);
}

bool ProgramProcess::WaitReady(double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (received.find("ready\n") == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd ready{output, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buffer[256];
        const ssize_t length = read(output, buffer, sizeof buffer);
        if (length <= 0)
            return false;
        received.append(buffer, static_cast<std::size_t>(length));
    }
    return true;
}

void ProgramProcess::Send(const std::string& command)
{
    const std::string line = command + "\n";
    if (write(input, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        ADD_FAILURE() << "the program does not read its input";
}

int ProgramProcess::EndBy(int signal)
{
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return status;
}

int ProgramProcess::WaitEnd(double seconds)
{
    for (int waited = 0;; ++waited) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return status;
        }
        if (waited >= seconds * 20)
            return -1;
        usleep(50000);
    }
}

std::vector<pid_t> ChildrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    DIR* processes = opendir("/proc");
    while (dirent* entry = processes ? readdir(processes) : nullptr) {
        const pid_t candidate = static_cast<pid_t>(std::atoi(entry->d_name));
        const std::string itsParent = candidate > 0 ? StatusField(candidate, "PPid") : "";
        if (!itsParent.empty() && std::stoi(itsParent) == parent)
            children.push_back(candidate);
    }
    if (processes)
        closedir(processes);
    return children;
}

bool CatchesSignal(pid_t process, int signal)
{
    const std::string mask = StatusField(process, "SigCgt");
    return !mask.empty() && (std::stoull(mask, nullptr, 16) >> (signal - 1) & 1) != 0;
}
}
