// The one X display connection of the platform layer, shared by windows,
// message boxes, dialogs and display settings, and the trap that turns the
// server's late error reports into failed calls. Internal to platform/.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace Platform
{
// Opens the display named by DISPLAY on first use; null when there is none,
// in which case every call that needs it fails as its Windows call would.
Display* GetDisplay();

// Catches the X errors of the requests made while it lives. The server
// reports an error only after the request returned, so Failed() waits for
// its answer to every request made so far. Errors of other displays, and
// those after the trap ends, go to the layer's reporting handler.
class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // True when a request made since the trap was set failed.
    bool Failed();
    // The server's description of the first failure, empty without one.
    const std::string& Text() const;
    // Records the failure as the Windows call would (GetLastError) and
    // writes what failed and why to standard error.
    void Record(const char* what) const;

private:
    static int Catch(Display* display, XErrorEvent* error);

    Display* display;
    XErrorHandler previousHandler;
    X11ErrorTrap* previousTrap;
    unsigned char errorCode = 0;
    std::string text;
};
}
