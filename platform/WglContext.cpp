// WGL rendering contexts over GLX: compatibility, direct contexts made for
// the DC's pixel format, current on the DC's drawable.

#include "WindowObjects.h"
#include "X11Display.h"

#include <set>

struct HGLRC__ {
    GLXContext context;
};

namespace
{
std::set<HGLRC>& Contexts()
{
    static std::set<HGLRC> contexts;
    return contexts;
}

HGLRC current = nullptr;
}

HGLRC wglCreateContext(HDC dc)
{
    Display* display = Platform::GetDisplay();
    if (!display || !dc || !Platform::LiveWindow(dc->window) || !dc->config)
        return nullptr;
    Platform::X11ErrorTrap trap(display);
    GLXContext context = glXCreateNewContext(display, dc->config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.Failed()) {
        trap.Record("The X server refused the GL context");
        if (context)
            glXDestroyContext(display, context);
        return nullptr;
    }
    if (!context)
        return nullptr;
    HGLRC created = new HGLRC__{context};
    Contexts().insert(created);
    return created;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context)
{
    Display* display = Platform::GetDisplay();
    if (!display)
        return FALSE;
    if (!context) {
        glXMakeContextCurrent(display, None, None, nullptr);
        current = nullptr;
        return TRUE;
    }
    if (!Contexts().count(context) || !dc || !Platform::LiveWindow(dc->window) || !dc->config)
        return FALSE;
    const ::Window drawable = Platform::DrawableOf(dc);
    Platform::X11ErrorTrap trap(display);
    const bool made = glXMakeContextCurrent(display, drawable, drawable, context->context);
    if (trap.Failed())
        trap.Record("The GL context could not be made current");
    if (!made || trap.Failed()) {
        // As on Windows, a failed call leaves no context current.
        glXMakeContextCurrent(display, None, None, nullptr);
        current = nullptr;
        return FALSE;
    }
    current = context;
    return TRUE;
}

BOOL wglDeleteContext(HGLRC context)
{
    Display* display = Platform::GetDisplay();
    if (!display || !Contexts().erase(context))
        return FALSE;
    if (context == current) {
        glXMakeContextCurrent(display, None, None, nullptr);
        current = nullptr;
    }
    glXDestroyContext(display, context->context);
    delete context;
    return TRUE;
}
