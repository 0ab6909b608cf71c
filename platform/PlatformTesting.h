// Seams through which tests replace what the platform layer would ask the
// system for, and record what it would show or change. None of these is
// called by the program itself.
#pragma once

#include "Win32Api.h"

#include <functional>
#include <string>
#include <vector>

namespace PlatformTesting
{
// Answers every MessageBoxA call instead of showing a box; an empty function
// restores the real boxes.
using MessageBoxResponder = std::function<int(HWND owner, const std::string& text,
                                              const std::string& caption, UINT type)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// Sees every frame a modal window of the layer (a message box) draws: its
// title and its pixels, RGB rows from the top, before they are shown. Tests
// read boxes this way, whatever other windows cover them on the display.
using ModalFrameObserver = std::function<void(const std::string& title, int width, int height,
                                              const std::vector<unsigned char>& rgb)>;
void SetModalFrameObserver(ModalFrameObserver observer);

// Makes GetModuleFileNameA report this path instead of the executable's;
// an empty string restores the real path.
void SetModuleFileName(const std::string& path);
// Makes GetModuleFileNameA fail as when /proc/self/exe cannot be read, until
// the next SetModuleFileName.
void MakeModuleFileNameUnreadable();

// Replaces the primary output's mode list; ChangeDisplaySettingsA then only
// records its calls. A null display restores the real output.
struct FakeDisplay {
    std::vector<DEVMODEA> modes;  // answered in this order from number 0
    DEVMODEA current{};           // answered for ENUM_CURRENT_SETTINGS
    struct Switch {
        bool restore;             // (nullptr, 0): back to the desktop mode
        DEVMODEA mode;
        DWORD flags;
    };
    std::vector<Switch> switches; // every ChangeDisplaySettingsA call, in order
};
void SetFakeDisplay(FakeDisplay* display);

// Forgets every registered window class, so that each test can register
// its classes again as a fresh program would.
void ForgetWindowClasses();

// Drives modal dialogs: called with the dialog after WM_INITDIALOG and then
// each time the dialog's queue runs empty, until the dialog ends. It posts
// messages to the dialog and its controls as a user's clicks would. An empty
// function leaves dialogs to the user.
using DialogDriver = std::function<void(HWND dialog)>;
void SetDialogDriver(DialogDriver driver);

// Sees every swap interval set with wglSwapIntervalEXT and its result. The
// virtual display's software driver keeps no interval to read back, so
// tests see it here. An empty function removes it.
using SwapIntervalObserver = std::function<void(int interval, BOOL result)>;
void SetSwapIntervalObserver(SwapIntervalObserver observer);

// Sees every message GetMessageA is about to return, as a test's eyes and
// hands inside a program's message loop: it may inspect windows and post or
// send messages. An empty function removes it.
using MessageHook = std::function<void(const MSG& msg)>;
void SetMessageHook(MessageHook hook);
}
