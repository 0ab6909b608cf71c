// Keeps a switched display mode from outliving the process, as Windows does:
// while the desktop's mode is switched away, the signals that end the process
// restore it first, and a guardian process restores it after any other death
// (SIGKILL included). Internal to platform/.
#pragma once

#include <X11/Xlib.h>

namespace Platform
{
// What the primary output showed before the program's first switch.
struct DesktopMode {
    unsigned long mode = 0;  // the XRandR mode of the output's CRTC
    int screenWidth = 0;
    int screenHeight = 0;
};

// Puts `desktop` back on `display`'s primary output; false when the server
// refused (the cause is on standard error).
bool RestoreDesktopMode(Display* display, const DesktopMode& desktop);

// Starts the guardian, with its own connection to `display`'s server, and
// the signal handlers; false, with nothing started, when the guardian could
// not be started.
bool GuardDesktopMode(Display* display, const DesktopMode& desktop);

// The program restored the mode itself: the handlers go and the guardian
// ends without touching the display.
void EndDesktopModeGuard();
}
