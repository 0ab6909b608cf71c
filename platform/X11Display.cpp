#include "X11Display.h"

#include <cstdio>

namespace
{
// Xlib's default handler ends the process on any protocol error. A request
// on a window that another client destroyed must not end the program: the
// error is reported and the destruction reaches the program as a message.
int ReportXError(Display* display, XErrorEvent* error)
{
    char text[256];
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
                 error->minor_code, error->resourceid);
    return 0;
}

Display* OpenDisplay()
{
    Display* display = XOpenDisplay(nullptr);
    if (display)
        XSetErrorHandler(ReportXError);
    return display;
}
}

namespace Platform
{
// Tried once per run: a missing display does not appear later, and retrying
// on every call would make each failing call pay the connection timeout.
Display* GetDisplay()
{
    static Display* display = OpenDisplay();
    return display;
}
}
