// GLEW's GLX flags and swap-control entry points, valid after glewInit.

#include "WglGlxew.h"

#include <GL/glew.h>
#include <GL/glxew.h>

namespace Platform
{
bool GlxewVersion13()
{
    return GLXEW_VERSION_1_3;
}

bool GlxewMultisample()
{
    return GLXEW_ARB_multisample;
}

bool GlxewSwapControl()
{
    return GLXEW_EXT_swap_control || GLXEW_MESA_swap_control || GLXEW_SGI_swap_control;
}

bool GlxewSetSwapInterval(int interval)
{
    Display* display = glXGetCurrentDisplay ? glXGetCurrentDisplay() : nullptr;
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable || interval < 0)
        return false;
    if (GLXEW_EXT_swap_control && glXSwapIntervalEXT) {
        glXSwapIntervalEXT(display, drawable, interval);
        return true;
    }
    if (GLXEW_MESA_swap_control && glXSwapIntervalMESA)
        return glXSwapIntervalMESA(static_cast<unsigned>(interval)) == 0;
    if (GLXEW_SGI_swap_control && glXSwapIntervalSGI && interval > 0)
        return glXSwapIntervalSGI(interval) == 0;
    return false;
}
}
