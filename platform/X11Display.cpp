#include "X11Display.h"

namespace Platform
{
// Tried once per run: a missing display does not appear later, and retrying
// on every call would make each failing call pay the connection timeout.
Display* GetDisplay()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}
}
