// A small program for the full-screen tests: the program's own shell, run in
// the folder named by its argument (which holds Korvana.cfg), with the setup
// dialog answered OK. Once the GL window has drawn a few frames it prints
// "ready"; then a line "close" on standard input closes the window and a
// line "crash" makes it write through a wild pointer.

#include "GLWindow.h"
#include "SystemsManager.h"

#include "platform/PlatformTesting.h"

#include <poll.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace
{
bool IsGLWindow(HWND window)
{
    auto* object = reinterpret_cast<KorvanaFramework::GLWindowEssentials*>(GetWindowLongA(window, GWL_USERDATA));
    return dynamic_cast<KorvanaFramework::GLWindow*>(object) != nullptr;
}

// The command waiting on standard input, or an empty string.
std::string PendingCommand()
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0)
        return "";
    char line[32] = {};
    const ssize_t length = read(STDIN_FILENO, line, sizeof line - 1);
    return length > 0 ? std::string(line, static_cast<std::size_t>(length)) : "";
}

void Obey(const std::string& command, HWND window)
{
    if (command.rfind("close", 0) == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (command.rfind("crash", 0) == 0)
        *reinterpret_cast<volatile int*>(std::uintptr_t{16}) = 1;
}
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    PlatformTesting::SetDialogDriver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    int paints = 0;
    PlatformTesting::SetMessageHook([&paints](const MSG& msg) {
        if (msg.message != WM_PAINT || !IsGLWindow(msg.hwnd))
            return;
        if (++paints == 3) {
            std::puts("ready");
            std::fflush(stdout);
        }
        Obey(PendingCommand(), msg.hwnd);
    });
    KorvanaFramework::SystemsManager manager(nullptr, std::string(argv[1]) + "/");
    manager.Run();
    return 0;
}
