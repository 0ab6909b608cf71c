// Device contexts: the window's own DC, its pixel format, buffer swapping
// and the palette calls (which true-colour formats never need).

#include "PixelFormatTable.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <set>

struct HPALETTE__ {
    std::vector<PALETTEENTRY> entries;
};

namespace
{
std::set<HPALETTE>& Palettes()
{
    static std::set<HPALETTE> palettes;
    return palettes;
}

bool IsLiveDc(HDC dc)
{
    return dc && Platform::LiveWindow(dc->window);
}

// A window the layer draws itself keeps its own GL context on its X window;
// the program's contexts draw into a hidden child made with their visual.
bool CreateHiddenDrawable(HDC dc, Display* display, const XVisualInfo& visual)
{
    HWND window = dc->window;
    Platform::X11ErrorTrap trap(display);
    dc->drawableColormap = XCreateColormap(display, window->xwindow, visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = dc->drawableColormap;
    attributes.border_pixel = 0;
    dc->drawable = XCreateWindow(display, window->xwindow, 0, 0, 1, 1, 0, visual.depth, InputOutput,
                                 visual.visual, CWColormap | CWBorderPixel, &attributes);
    if (!trap.Failed())
        return true;
    trap.Record("The X server refused the drawing window");
    XDestroyWindow(display, dc->drawable);
    XFreeColormap(display, dc->drawableColormap);
    dc->drawable = 0;
    dc->drawableColormap = 0;
    return false;
}

// An unmapped window takes the format's visual by being made again with it.
bool AdoptVisual(HDC dc, Display* display, const XVisualInfo& visual)
{
    HWND window = dc->window;
    if (window->dialog)
        return CreateHiddenDrawable(dc, display, visual);
    if (window->visual == visual.visual)
        return true;
    if (window->visible)
        return false;
    return Platform::CreateNativeWindow(window, visual.visual, visual.depth);
}
}

namespace Platform
{
::Window DrawableOf(HDC dc)
{
    return dc->drawable ? dc->drawable : dc->window->xwindow;
}
}

HDC GetDC(HWND window)
{
    return Platform::LiveWindow(window) ? &window->dc : nullptr;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*)
{
    const Platform::PixelFormatInfo* info = Platform::FindPixelFormat(format);
    Display* display = Platform::GetDisplay();
    if (!IsLiveDc(dc) || !info || !info->drawToWindow || !display)
        return FALSE;
    if (dc->pixelFormat != 0)
        return dc->pixelFormat == format;
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, info->config);
    if (!visual)
        return FALSE;
    const bool adopted = AdoptVisual(dc, display, *visual);
    XFree(visual);
    if (!adopted)
        return FALSE;
    dc->pixelFormat = format;
    dc->config = info->config;
    return TRUE;
}

int GetPixelFormat(HDC dc)
{
    return IsLiveDc(dc) ? dc->pixelFormat : 0;
}

BOOL SwapBuffers(HDC dc)
{
    Display* display = Platform::GetDisplay();
    if (!IsLiveDc(dc) || !display || dc->pixelFormat == 0)
        return FALSE;
    glXSwapBuffers(display, Platform::DrawableOf(dc));
    return TRUE;
}

HPALETTE CreatePalette(const LOGPALETTE* palette)
{
    if (!palette || palette->palNumEntries == 0)
        return nullptr;
    HPALETTE created = new HPALETTE__{std::vector<PALETTEENTRY>(
        palette->palPalEntry, palette->palPalEntry + palette->palNumEntries)};
    Palettes().insert(created);
    return created;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL)
{
    if (!IsLiveDc(dc))
        return nullptr;
    HPALETTE previous = dc->palette;
    dc->palette = palette;
    return previous;
}

// A true-colour device maps no palette entries.
UINT RealizePalette(HDC dc)
{
    (void)dc;
    return 0;
}

BOOL UpdateColors(HDC dc)
{
    return IsLiveDc(dc);
}

BOOL DeleteObject(HGDIOBJ object)
{
    HPALETTE palette = static_cast<HPALETTE>(object);
    if (!Palettes().erase(palette))
        return FALSE;
    for (HWND window : Platform::TopLevelWindows())
        if (window->dc.palette == palette)
            window->dc.palette = nullptr;
    delete palette;
    return TRUE;
}
