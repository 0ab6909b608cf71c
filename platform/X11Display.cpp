#include "X11Display.h"

#include <cstdio>
#include <string>

namespace
{
Platform::X11ErrorTrap* innermostTrap = nullptr;

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

namespace Platform
{
// Errors of requests made before the trap still reach the handler they were
// made under.
X11ErrorTrap::X11ErrorTrap(Display* display)
    : display(display), outer(innermostTrap)
{
    XSync(display, False);
    previousHandler = XSetErrorHandler(Catch);
    innermostTrap = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(display, False);
    innermostTrap = outer;
    XSetErrorHandler(previousHandler);
}

bool X11ErrorTrap::Failed()
{
    XSync(display, False);
    return !text.empty();
}

int X11ErrorTrap::Catch(Display* display, XErrorEvent* error)
{
    X11ErrorTrap* trap = innermostTrap;
    if (!trap || trap->display != display)
        return ReportXError(display, error);
    if (trap->text.empty()) {
        char name[256];
        XGetErrorText(display, error->error_code, name, sizeof name);
        char request[64];
        std::snprintf(request, sizeof request, " (request %d.%d)", error->request_code, error->minor_code);
        trap->text = std::string(name) + request;
    }
    return 0;
}
}
