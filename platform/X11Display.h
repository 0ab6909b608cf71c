// The one X display connection of the platform layer, shared by windows,
// message boxes, dialogs and display settings. Internal to platform/.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace Platform
{
// Opens the display named by DISPLAY on first use; null when there is none,
// in which case every call that needs it fails as its Windows call would.
Display* GetDisplay();

// Catches the X errors of the requests made on `display` while it lives,
// instead of the layer's reporting handler, so that a caller can turn a
// refused request into its own result. Traps nest.
class X11ErrorTrap
{
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has answered every request so far; true when
    // one of them failed.
    bool Failed();
    // The first error's text, naming the request; empty without one.
    const std::string& Text() const { return text; }

private:
    static int Catch(Display* display, XErrorEvent* error);

    Display* display;
    X11ErrorTrap* outer;
    int (*previousHandler)(Display*, XErrorEvent*);
    std::string text;
};
}
