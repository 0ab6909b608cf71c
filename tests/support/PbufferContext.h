// A current GL context on an off-screen pbuffer, for GL tests. Include it
// after gtest: the X headers define macros (None, Bool) that break gtest.
#pragma once

#include <GL/glx.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace TestSupport
{
class PbufferContext
{
public:
    // An RGBA8 pbuffer of width × height; with depthStencil also a 24-bit
    // depth and an 8-bit stencil buffer. Ready() tells whether it is current.
    PbufferContext(int width, int height, bool depthStencil)
    {
        display = OpenDisplay();
        if (display == nullptr)
            return;
        const int depthBits = depthStencil ? 24 : 0;
        const int stencilBits = depthStencil ? 8 : 0;
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                                  GLX_DEPTH_SIZE, depthBits, GLX_STENCIL_SIZE, stencilBits, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (configs == nullptr || count == 0)
            return;
        const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
        pbuffer = glXCreatePbuffer(display, configs[0], pbufferAttributes);
        context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
        XFree(configs);
        current = context != nullptr && glXMakeContextCurrent(display, pbuffer, pbuffer, context);
    }

    ~PbufferContext()
    {
        if (context != nullptr) {
            glXMakeContextCurrent(display, None, None, nullptr);
            glXDestroyContext(display, context);
        }
        if (pbuffer != None)
            glXDestroyPbuffer(display, pbuffer);
        if (display != nullptr)
            XCloseDisplay(display);
    }

    PbufferContext(const PbufferContext&) = delete;
    PbufferContext& operator=(const PbufferContext&) = delete;

    bool HasDisplay() const { return display != nullptr; }
    bool Ready() const { return current; }

private:
    // A busy server refuses or drops connections for a moment (EAGAIN,
    // ECONNRESET) once its listen queue is full; only a display that cannot
    // be reached at all counts as none.
    static Display* OpenDisplay()
    {
        if (std::getenv("DISPLAY") == nullptr)
            return nullptr;
        for (int attempt = 0; attempt < 100; ++attempt) {
            errno = 0;
            if (Display* opened = XOpenDisplay(nullptr))
                return opened;
            if (errno != EAGAIN && errno != ECONNRESET && errno != EINTR)
                return nullptr;
            usleep(20000);
        }
        return nullptr;
    }

    Display* display = nullptr;
    GLXPbuffer pbuffer = None;
    GLXContext context = nullptr;
    bool current = false;
};
}
