// The pixel formats of the screen: its GLX frame-buffer configurations,
// numbered from 1, with what WGL and GDI say about each. Internal to platform/.
#pragma once

#include "Win32Api.h"

#include <GL/glx.h>

#include <vector>

namespace Platform
{
struct PixelFormatInfo {
    GLXFBConfig config = nullptr;
    bool drawToWindow = false;  // has a true-colour visual and window support
    bool accelerated = false;
    bool doubleBuffer = false;
    bool stereo = false;
    bool rgba = false;
    int colorBits = 0;  // GLX_BUFFER_SIZE
    int redBits = 0, greenBits = 0, blueBits = 0, alphaBits = 0;
    int redShift = 0, greenShift = 0, blueShift = 0, alphaShift = 0;
    int accumRedBits = 0, accumGreenBits = 0, accumBlueBits = 0, accumAlphaBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int auxBuffers = 0;
    int sampleBuffers = 0;
    int samples = 0;
    bool rootDepth = false;     // the visual has the screen's own depth

    int AccumBits() const { return accumRedBits + accumGreenBits + accumBlueBits + accumAlphaBits; }
};

// Empty without a display. Read once: the server's configurations do not
// change while it runs.
const std::vector<PixelFormatInfo>& PixelFormats();

// The format numbered `format` (from 1), or null.
const PixelFormatInfo* FindPixelFormat(int format);
}
