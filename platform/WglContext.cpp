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

namespace Platform
{
::Window DrawableOf(HDC dc);
}

HGLRC wglCreateContext(HDC dc)
{
    Display* display = Platform::GetDisplay();
    if (!display || !dc || !Platform::LiveWindow(dc->window) || !dc->config)
        return nullptr;
    GLXContext context = glXCreateNewContext(display, dc->config, GLX_RGBA_TYPE, nullptr, True);
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
    if (!glXMakeContextCurrent(display, drawable, drawable, context->context))
        return FALSE;
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
