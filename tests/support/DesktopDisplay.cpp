// Linked into the test programs that also run on a desktop. CTest starts
// their second run with KORVANA_DESKTOP=1; before any test runs, that run
// moves to the displays where openbox manages the windows. Where the test
// script could not start them, the displays are unset and the tests that
// need them skip.
#include "DesktopDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <thread>

namespace
{
void UseDisplay(const char* name, const char* desktopName)
{
    const char* desktop = std::getenv(desktopName);
    if (desktop != nullptr)
        setenv(name, desktop, 1);
    else
        unsetenv(name);
}

const bool movedToDesktop = [] {
    const char* flag = std::getenv("KORVANA_DESKTOP");
    if (flag == nullptr || flag[0] != '1')
        return false;
    UseDisplay("DISPLAY", "KORVANA_WM_DISPLAY");
    UseDisplay("KORVANA_XORG_DISPLAY", "KORVANA_XORG_WM_DISPLAY");
    return true;
}();

void SendClientMessage(Display* display, Window to, Window about, const char* type, long mask,
                       const std::vector<long>& data)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = about;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    for (size_t i = 0; i < data.size() && i < 5; ++i)
        event.xclient.data.l[i] = data[i];
    XSendEvent(display, to, False, mask, &event);
    XFlush(display);
}
}  // namespace

bool KorvanaOnDesktop()
{
    return movedToDesktop;
}

namespace Desktop
{
std::vector<long> LongsProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        const long* items = reinterpret_cast<const long*>(data);
        values.assign(items, items + count);
        XFree(data);
    }
    return values;
}

Window ClientOfClass(Display* display, const char* className)
{
    for (long client : LongsProperty(display, DefaultRootWindow(display), "_NET_CLIENT_LIST", XA_WINDOW)) {
        XClassHint hint{};
        if (!XGetClassHint(display, static_cast<Window>(client), &hint))
            continue;
        const bool match = std::string(hint.res_class) == className;
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (match)
            return static_cast<Window>(client);
    }
    return None;
}

// Source 2: from a pager or task bar, which the window manager always obeys.
void Activate(Display* display, Window window)
{
    SendClientMessage(display, DefaultRootWindow(display), window, "_NET_ACTIVE_WINDOW",
                      SubstructureRedirectMask | SubstructureNotifyMask, {2, CurrentTime});
}

bool DestroyAsAnotherClient(Window window)
{
    Display* other = XOpenDisplay(nullptr);
    if (other == nullptr)
        return false;
    XDestroyWindow(other, window);
    XSync(other, False);
    XCloseDisplay(other);
    return true;
}

bool WindowManagerRuns(Display* display)
{
    return !LongsProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
}

Frame FrameExtents(Display* display, Window client)
{
    std::vector<long> extents = LongsProperty(display, client, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    extents.resize(4, 0);  // left, right, top, bottom
    return Frame{static_cast<int>(extents[0]), static_cast<int>(extents[1]), static_cast<int>(extents[2]),
                 static_cast<int>(extents[3])};
}

Rect OuterRect(Display* display, Window client)
{
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, client, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, client, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    const Frame frame = FrameExtents(display, client);
    return Rect{x - frame.left, y - frame.top, attributes.width + frame.left + frame.right,
                attributes.height + frame.top + frame.bottom};
}

std::vector<std::string> AllowedActions(Display* display, Window client)
{
    std::vector<std::string> names;
    for (long atom : LongsProperty(display, client, "_NET_WM_ALLOWED_ACTIONS", XA_ATOM)) {
        char* name = XGetAtomName(display, static_cast<Atom>(atom));
        names.push_back(name);
        XFree(name);
    }
    return names;
}

// The window manager answers _NET_CLOSE_WINDOW with the WM_DELETE_WINDOW
// message its close button sends.
void CloseFromTitleBar(Display* display, Window client)
{
    if (WindowManagerRuns(display)) {
        SendClientMessage(display, DefaultRootWindow(display), client, "_NET_CLOSE_WINDOW",
                          SubstructureRedirectMask | SubstructureNotifyMask, {CurrentTime, 2});
        return;
    }
    SendClientMessage(display, client, client, "WM_PROTOCOLS", NoEventMask,
                      {static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False)), CurrentTime});
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
}  // namespace Desktop
