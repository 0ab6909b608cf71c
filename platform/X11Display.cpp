#include "X11Display.h"

#include "Win32Api.h"

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

// The innermost trap set; Xlib's handler is one function for the process.
Platform::X11ErrorTrap* activeTrap = nullptr;

// The Windows error closest to the X error's cause.
DWORD WindowsErrorOf(unsigned char code)
{
    switch (code) {
    case BadAlloc:
        return ERROR_NOT_ENOUGH_MEMORY;
    case BadValue:
    case BadMatch:
        return ERROR_INVALID_PARAMETER;
    case BadWindow:
    case BadDrawable:
        return ERROR_INVALID_WINDOW_HANDLE;
    default:
        return ERROR_GEN_FAILURE;
    }
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

// Earlier requests are answered first, so that their errors are not taken
// for this trap's.
X11ErrorTrap::X11ErrorTrap(Display* display) : display(display)
{
    XSync(display, False);
    previousTrap = activeTrap;
    activeTrap = this;
    previousHandler = XSetErrorHandler(Catch);
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    activeTrap = previousTrap;
}

bool X11ErrorTrap::Failed()
{
    XSync(display, False);
    return errorCode != 0;
}

const std::string& X11ErrorTrap::Text() const
{
    return text;
}

void X11ErrorTrap::Record(const char* what) const
{
    SetLastError(WindowsErrorOf(errorCode));
    std::fprintf(stderr, "%s: %s\n", what, text.c_str());
}

int X11ErrorTrap::Catch(Display* display, XErrorEvent* error)
{
    X11ErrorTrap* trap = activeTrap;
    if (display != trap->display) {
        X11ErrorTrap* outermost = trap;
        while (outermost->previousTrap != nullptr)
            outermost = outermost->previousTrap;
        return outermost->previousHandler(display, error);
    }
    if (trap->errorCode == 0) {
        char description[256];
        XGetErrorText(display, error->error_code, description, sizeof description);
        trap->errorCode = error->error_code;
        trap->text = std::string(description) + " (request " + std::to_string(error->request_code) +
                     "." + std::to_string(error->minor_code) + ")";
    }
    return 0;
}
}
