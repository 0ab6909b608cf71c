// Reads the screen's GLX configurations once into the pixel-format table.

#include "PixelFormatTable.h"
#include "X11Display.h"

#include <X11/Xutil.h>

namespace
{
int Attribute(Display* display, GLXFBConfig config, int attribute)
{
    int value = 0;
    glXGetFBConfigAttrib(display, config, attribute, &value);
    return value;
}

int LowestBit(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// The visual decides whether a window can show the format and where its
// colour components lie in a pixel.
void ReadVisual(Display* display, Platform::PixelFormatInfo& info)
{
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, info.config);
    if (!visual)
        return;
    info.rootDepth = visual->depth == DefaultDepth(display, DefaultScreen(display));
    info.drawToWindow = info.drawToWindow && visual->c_class == TrueColor;
    info.redShift = LowestBit(visual->red_mask);
    info.greenShift = LowestBit(visual->green_mask);
    info.blueShift = LowestBit(visual->blue_mask);
    if (info.alphaBits > 0)
        info.alphaShift = info.redBits + info.greenBits + info.blueBits;
    XFree(visual);
}

Platform::PixelFormatInfo ReadFormat(Display* display, GLXFBConfig config)
{
    Platform::PixelFormatInfo info;
    info.config = config;
    info.drawToWindow = (Attribute(display, config, GLX_DRAWABLE_TYPE) & GLX_WINDOW_BIT) != 0 &&
                        Attribute(display, config, GLX_VISUAL_ID) != 0;
    info.accelerated = Attribute(display, config, GLX_CONFIG_CAVEAT) != GLX_SLOW_CONFIG;
    info.doubleBuffer = Attribute(display, config, GLX_DOUBLEBUFFER) != 0;
    info.stereo = Attribute(display, config, GLX_STEREO) != 0;
    info.rgba = (Attribute(display, config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) != 0;
    info.colorBits = Attribute(display, config, GLX_BUFFER_SIZE);
    info.redBits = Attribute(display, config, GLX_RED_SIZE);
    info.greenBits = Attribute(display, config, GLX_GREEN_SIZE);
    info.blueBits = Attribute(display, config, GLX_BLUE_SIZE);
    info.alphaBits = Attribute(display, config, GLX_ALPHA_SIZE);
    info.accumRedBits = Attribute(display, config, GLX_ACCUM_RED_SIZE);
    info.accumGreenBits = Attribute(display, config, GLX_ACCUM_GREEN_SIZE);
    info.accumBlueBits = Attribute(display, config, GLX_ACCUM_BLUE_SIZE);
    info.accumAlphaBits = Attribute(display, config, GLX_ACCUM_ALPHA_SIZE);
    info.depthBits = Attribute(display, config, GLX_DEPTH_SIZE);
    info.stencilBits = Attribute(display, config, GLX_STENCIL_SIZE);
    info.auxBuffers = Attribute(display, config, GLX_AUX_BUFFERS);
    info.sampleBuffers = Attribute(display, config, GLX_SAMPLE_BUFFERS);
    info.samples = Attribute(display, config, GLX_SAMPLES);
    if (info.drawToWindow)
        ReadVisual(display, info);
    return info;
}
}

namespace Platform
{
const std::vector<PixelFormatInfo>& PixelFormats()
{
    static const std::vector<PixelFormatInfo> formats = [] {
        std::vector<PixelFormatInfo> table;
        Display* display = GetDisplay();
        if (!display)
            return table;
        int count = 0;
        GLXFBConfig* configs = glXGetFBConfigs(display, DefaultScreen(display), &count);
        for (int i = 0; i < count; ++i)
            table.push_back(ReadFormat(display, configs[i]));
        if (configs)
            XFree(configs);
        return table;
    }();
    return formats;
}

const PixelFormatInfo* FindPixelFormat(int format)
{
    const auto& formats = PixelFormats();
    if (format < 1 || static_cast<std::size_t>(format) > formats.size())
        return nullptr;
    return &formats[static_cast<std::size_t>(format - 1)];
}
}
