// For the test programs that also run on a desktop: which run this is, and
// what the window manager there does with a window, read from its hints.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Whether this run is the one on the desktop displays.
bool KorvanaOnDesktop();

namespace Desktop
{
// Whether an EWMH window manager manages the display's screen.
bool WindowManagerRuns(Display* display);

// The frame a window manager puts around a client window, zero without one.
struct Frame {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};
Frame FrameExtents(Display* display, Window client);

// A window's rectangle on the screen, the frame of a window manager included.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
Rect OuterRect(Display* display, Window client);

// What the window manager lets the user do with the window
// (_NET_WM_ALLOWED_ACTIONS), as atom names.
std::vector<std::string> AllowedActions(Display* display, Window client);

// Closes the window as its title bar's close button does: through the
// window manager, or where none runs, with the message it would send.
void CloseFromTitleBar(Display* display, Window client);

// A property of 32-bit items, empty when the window has none.
std::vector<long> LongsProperty(Display* display, Window window, const char* name, Atom type);

// The window the window manager lists (_NET_CLIENT_LIST) whose class is
// `className`, or None.
Window ClientOfClass(Display* display, const char* className);

// Asks the window manager to activate the window, as a task bar does.
void Activate(Display* display, Window window);

// Destroys the window through a connection of its own, as another program
// would; false when no connection to the display opens.
bool DestroyAsAnotherClient(Window window);

// Polls `done` until it holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5));
}
