// The WGL extensions the program asks about, answered from GLEW's GLX flags
// (valid after glewInit), and the swap interval through whichever GLX
// swap-control extension the driver has.

#include "PlatformTesting.h"
#include "Win32Api.h"
#include "WglGlxew.h"

namespace
{
PlatformTesting::SwapIntervalObserver& SwapIntervalObserver()
{
    static PlatformTesting::SwapIntervalObserver observer;
    return observer;
}
}

namespace Platform
{
// Frame-buffer configurations with their attribute queries are GLX 1.3.
bool HasPixelFormatExtension()
{
    return GlxewVersion13();
}

bool HasMultisampleExtension()
{
    return GlxewMultisample();
}

bool HasSwapControlExtension()
{
    return GlxewSwapControl();
}
}

// Applies to the current context's drawable, as on Windows.
BOOL wglSwapIntervalEXT(int interval)
{
    const BOOL result = Platform::GlxewSetSwapInterval(interval) ? TRUE : FALSE;
    if (SwapIntervalObserver())
        SwapIntervalObserver()(interval, result);
    return result;
}

namespace PlatformTesting
{
void SetSwapIntervalObserver(SwapIntervalObserver observer)
{
    ::SwapIntervalObserver() = std::move(observer);
}
}
