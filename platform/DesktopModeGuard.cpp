// The guardian of a switched display mode and the signal handlers that hand
// it the restore.
//
// The guardian is forked when the mode is first switched and is tied to the
// program by a socket pair. It reads one byte: 'D' (the program restored the
// mode itself) ends it quietly; 'R' (a signal is ending the program) or the
// end of the stream (the program died, SIGKILL included) makes it restore the
// mode over its own X connection and answer. The handlers do nothing but
// send, wait for the answer and re-raise, all async-signal-safe calls: Xlib
// is never entered from a signal, where the program's connection may be
// halfway through a request.

#include "DesktopModeGuard.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace
{
// The catchable signals whose default action ends the process.
const int endingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,
                             SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE,
                             SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGSYS};
constexpr std::size_t signalCount = std::size(endingSignals);

// How long a dying program waits for the guardian's answer.
const int answerTimeoutMs = 3000;

const char doneRequest = 'D';
const char restoreRequest = 'R';

struct Guard {
    pid_t guardian = -1;
    volatile sig_atomic_t channel = -1;  // read by the handlers
    struct sigaction previous[signalCount];
    bool installed[signalCount] = {};
};
Guard guard;

// Sends one byte; a guardian that is gone raises no SIGPIPE.
bool SendByte(int channel, char byte)
{
    ssize_t sent;
    do
        sent = send(channel, &byte, 1, MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent == 1;
}

// One byte, or 0 at the end of the stream or on a failure.
char ReceiveByte(int channel)
{
    char byte = 0;
    ssize_t received;
    do
        received = recv(channel, &byte, 1, 0);
    while (received < 0 && errno == EINTR);
    return received == 1 ? byte : 0;
}

// Hands the restore to the guardian and waits for its answer, then ends the
// process by the same signal with its default action: the signal is blocked
// while the handler runs and is delivered as soon as the handler returns.
void RestoreAndEnd(int signal)
{
    const int channel = guard.channel;
    if (channel >= 0 && SendByte(channel, restoreRequest)) {
        pollfd answer{channel, POLLIN, 0};
        int ready;
        do
            ready = poll(&answer, 1, answerTimeoutMs);
        while (ready < 0 && errno == EINTR);
        if (ready > 0)
            ReceiveByte(channel);
    }
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(signal, &defaultAction, nullptr);
    raise(signal);
}

// A signal the process ignores stays ignored; any other ending signal gets
// the handler, with all of them blocked while it runs so that two signals
// do not race to the guardian.
void InstallHandlers()
{
    struct sigaction action {};
    action.sa_handler = RestoreAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : endingSignals)
        sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < signalCount; ++i) {
        sigaction(endingSignals[i], nullptr, &guard.previous[i]);
        const bool ignored = !(guard.previous[i].sa_flags & SA_SIGINFO) &&
                             guard.previous[i].sa_handler == SIG_IGN;
        guard.installed[i] = !ignored && sigaction(endingSignals[i], &action, nullptr) == 0;
    }
}

void RemoveHandlers()
{
    for (std::size_t i = 0; i < signalCount; ++i)
        if (guard.installed[i])
            sigaction(endingSignals[i], &guard.previous[i], nullptr);
    std::fill(std::begin(guard.installed), std::end(guard.installed), false);
}

// The guardian keeps only its end of the socket, moved above the standard
// streams, and standard error: it holds neither the program's X connection
// nor the pipes of whoever reads the program's output. In a process group of
// its own, the terminal's Ctrl+C and hang-up reach the program but not the
// guardian, which must outlive it. Returns the socket's descriptor.
int DetachGuardian(int channel)
{
    const int kept = channel > STDERR_FILENO ? channel : fcntl(channel, F_DUPFD, STDERR_FILENO + 1);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
    }
    close_range(STDERR_FILENO + 1, kept - 1, 0);
    close_range(kept + 1, ~0U, 0);
    setpgid(0, 0);
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    for (int signal : endingSignals) {
        const bool fromTerminal = signal == SIGINT || signal == SIGQUIT || signal == SIGHUP;
        action.sa_handler = fromTerminal || signal == SIGPIPE ? SIG_IGN : SIG_DFL;
        sigaction(signal, &action, nullptr);
    }
    return kept;
}

// The guardian's whole life after the fork.
[[noreturn]] void RunGuardian(int channel, const std::string& displayName, const Platform::DesktopMode& desktop)
{
    channel = DetachGuardian(channel);
    if (ReceiveByte(channel) == doneRequest)
        _exit(0);
    Display* own = XOpenDisplay(displayName.c_str());
    const bool restored = own && Platform::RestoreDesktopMode(own, desktop);
    if (!own)
        std::fprintf(stderr, "Display mode guardian: cannot open display %s\n", displayName.c_str());
    if (own)
        XCloseDisplay(own);
    SendByte(channel, restored ? 'Y' : 'N');
    _exit(restored ? 0 : 1);
}
}

namespace Platform
{
bool GuardDesktopMode(Display* display, const DesktopMode& desktop)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        std::fprintf(stderr, "Display mode guardian: socketpair: %s\n", std::strerror(errno));
        return false;
    }
    const std::string displayName = DisplayString(display);
    const pid_t guardian = fork();
    if (guardian == 0) {
        close(ends[0]);
        RunGuardian(ends[1], displayName, desktop);
    }
    close(ends[1]);
    if (guardian < 0) {
        std::fprintf(stderr, "Display mode guardian: fork: %s\n", std::strerror(errno));
        close(ends[0]);
        return false;
    }
    guard.guardian = guardian;
    guard.channel = ends[0];
    InstallHandlers();
    return true;
}

// The handlers go before the guardian is told: a signal in between ends the
// program by its default action, and the guardian, not yet told, restores
// the mode once more.
void EndDesktopModeGuard()
{
    if (guard.guardian <= 0)
        return;
    RemoveHandlers();
    const int channel = guard.channel;
    guard.channel = -1;
    SendByte(channel, doneRequest);
    close(channel);
    while (waitpid(guard.guardian, nullptr, 0) < 0 && errno == EINTR) {
    }
    guard.guardian = -1;
}
}
