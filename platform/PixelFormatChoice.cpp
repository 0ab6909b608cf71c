// Describing and choosing pixel formats: the WGL_ARB_pixel_format queries and
// matching rules, and GDI's ChoosePixelFormat and DescribePixelFormat.

#include "PixelFormatTable.h"
#include "WindowObjects.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace
{
using Platform::PixelFormatInfo;

bool IsLiveDc(HDC dc)
{
    return dc && Platform::LiveWindow(dc->window);
}

// One WGL attribute of a format; false for an attribute the layer does not
// know.
bool AttributeValue(const PixelFormatInfo& f, int attribute, int& value)
{
    switch (attribute) {
    case WGL_NUMBER_PIXEL_FORMATS_ARB: value = static_cast<int>(Platform::PixelFormats().size()); break;
    case WGL_DRAW_TO_WINDOW_ARB: value = f.drawToWindow; break;
    case WGL_DRAW_TO_BITMAP_ARB: value = 0; break;
    case WGL_ACCELERATION_ARB: value = f.accelerated ? WGL_FULL_ACCELERATION_ARB : WGL_NO_ACCELERATION_ARB; break;
    case WGL_NEED_PALETTE_ARB: value = 0; break;
    case WGL_NEED_SYSTEM_PALETTE_ARB: value = 0; break;
    case WGL_SWAP_METHOD_ARB: value = WGL_SWAP_UNDEFINED_ARB; break;
    case WGL_SUPPORT_GDI_ARB: value = 0; break;
    case WGL_SUPPORT_OPENGL_ARB: value = 1; break;
    case WGL_DOUBLE_BUFFER_ARB: value = f.doubleBuffer; break;
    case WGL_STEREO_ARB: value = f.stereo; break;
    case WGL_PIXEL_TYPE_ARB: value = f.rgba ? WGL_TYPE_RGBA_ARB : WGL_TYPE_COLORINDEX_ARB; break;
    case WGL_COLOR_BITS_ARB: value = f.colorBits; break;
    case WGL_RED_BITS_ARB: value = f.redBits; break;
    case WGL_RED_SHIFT_ARB: value = f.redShift; break;
    case WGL_GREEN_BITS_ARB: value = f.greenBits; break;
    case WGL_GREEN_SHIFT_ARB: value = f.greenShift; break;
    case WGL_BLUE_BITS_ARB: value = f.blueBits; break;
    case WGL_BLUE_SHIFT_ARB: value = f.blueShift; break;
    case WGL_ALPHA_BITS_ARB: value = f.alphaBits; break;
    case WGL_ALPHA_SHIFT_ARB: value = f.alphaShift; break;
    case WGL_ACCUM_BITS_ARB: value = f.AccumBits(); break;
    case WGL_ACCUM_RED_BITS_ARB: value = f.accumRedBits; break;
    case WGL_ACCUM_GREEN_BITS_ARB: value = f.accumGreenBits; break;
    case WGL_ACCUM_BLUE_BITS_ARB: value = f.accumBlueBits; break;
    case WGL_ACCUM_ALPHA_BITS_ARB: value = f.accumAlphaBits; break;
    case WGL_DEPTH_BITS_ARB: value = f.depthBits; break;
    case WGL_STENCIL_BITS_ARB: value = f.stencilBits; break;
    case WGL_AUX_BUFFERS_ARB: value = f.auxBuffers; break;
    case WGL_SAMPLE_BUFFERS_ARB: value = f.sampleBuffers; break;
    case WGL_SAMPLES_ARB: value = f.samples; break;
    default: return false;
    }
    return true;
}

// Attributes a format must match exactly; all others it must reach.
bool IsExactAttribute(int attribute)
{
    switch (attribute) {
    case WGL_DRAW_TO_WINDOW_ARB: case WGL_DRAW_TO_BITMAP_ARB: case WGL_ACCELERATION_ARB:
    case WGL_NEED_PALETTE_ARB: case WGL_NEED_SYSTEM_PALETTE_ARB: case WGL_SWAP_METHOD_ARB:
    case WGL_SUPPORT_GDI_ARB: case WGL_SUPPORT_OPENGL_ARB: case WGL_DOUBLE_BUFFER_ARB:
    case WGL_STEREO_ARB: case WGL_PIXEL_TYPE_ARB:
        return true;
    default:
        return false;
    }
}

// Best match first: the fewest bits beyond those asked for (none asked
// means 0), samples first, then colour, depth, stencil, accumulation and aux
// buffers; formats of the screen's own depth before ARGB visuals.
auto ExcessKey(const PixelFormatInfo& f, const std::map<int, int>& asked, int index)
{
    auto excess = [&asked](int attribute, int value) {
        const auto it = asked.find(attribute);
        return value - (it == asked.end() ? 0 : it->second);
    };
    return std::make_tuple(excess(WGL_SAMPLES_ARB, f.samples), excess(WGL_COLOR_BITS_ARB, f.colorBits),
                           excess(WGL_DEPTH_BITS_ARB, f.depthBits),
                           excess(WGL_STENCIL_BITS_ARB, f.stencilBits),
                           excess(WGL_ACCUM_BITS_ARB, f.AccumBits()),
                           excess(WGL_AUX_BUFFERS_ARB, f.auxBuffers), !f.rootDepth, index);
}

// GDI's order: the most stencil bits up to those asked for, then the most
// depth bits up to those asked for (so stencil is never traded away for
// depth, even when no format has all the stencil asked for), then formats
// with the colour asked for; accelerated ones first, then the closest in
// size.
auto DescriptorKey(const PixelFormatInfo& f, const PIXELFORMATDESCRIPTOR& d, int index)
{
    const bool wantDouble = (d.dwFlags & PFD_DOUBLEBUFFER) != 0;
    const bool dontCare = (d.dwFlags & PFD_DOUBLEBUFFER_DONTCARE) != 0;
    const int stencilShort = std::max(0, d.cStencilBits - f.stencilBits);
    const int depthShort = std::max(0, d.cDepthBits - f.depthBits);
    return std::make_tuple(stencilShort, depthShort, f.colorBits < d.cColorBits, !f.accelerated,
                           !dontCare && f.doubleBuffer != wantDouble,
                           std::abs(f.colorBits - d.cColorBits), std::abs(f.depthBits - d.cDepthBits),
                           std::abs(f.stencilBits - d.cStencilBits), std::abs(f.alphaBits - d.cAlphaBits),
                           f.AccumBits(), f.auxBuffers, !f.rootDepth, index);
}

bool MeetsDescriptor(const PixelFormatInfo& f, const PIXELFORMATDESCRIPTOR& d)
{
    if ((d.dwFlags & PFD_DRAW_TO_WINDOW) && !f.drawToWindow)
        return false;
    if ((d.dwFlags & PFD_DOUBLEBUFFER) && !(d.dwFlags & PFD_DOUBLEBUFFER_DONTCARE) && !f.doubleBuffer)
        return false;
    return f.rgba == (d.iPixelType == PFD_TYPE_RGBA) && f.sampleBuffers == 0;
}
}

BOOL wglGetPixelFormatAttribivARB(HDC dc, int format, int, UINT attributeCount,
                                  const int* attributes, int* values)
{
    const PixelFormatInfo* f = Platform::FindPixelFormat(format);
    if (!IsLiveDc(dc) || !f || !attributes || !values)
        return FALSE;
    for (UINT i = 0; i < attributeCount; ++i)
        if (!AttributeValue(*f, attributes[i], values[i]))
            return FALSE;
    return TRUE;
}

BOOL wglChoosePixelFormatARB(HDC dc, const int* intAttributes, const FLOAT*, UINT maxFormats,
                             int* formats, UINT* formatCount)
{
    if (!IsLiveDc(dc) || !formats || !formatCount)
        return FALSE;
    std::map<int, int> asked;
    for (const int* a = intAttributes; a && a[0] != 0; a += 2) {
        int unused;
        if (!AttributeValue(PixelFormatInfo{}, a[0], unused))
            return FALSE;
        asked[a[0]] = a[1];
    }
    const auto& table = Platform::PixelFormats();
    std::vector<int> matches;
    for (std::size_t i = 0; i < table.size(); ++i) {
        bool ok = true;
        for (const auto& [attribute, wanted] : asked) {
            int value = 0;
            AttributeValue(table[i], attribute, value);
            ok = ok && (IsExactAttribute(attribute) ? value == wanted : value >= wanted);
        }
        if (ok)
            matches.push_back(static_cast<int>(i));
    }
    std::sort(matches.begin(), matches.end(), [&](int a, int b) {
        return ExcessKey(table[a], asked, a) < ExcessKey(table[b], asked, b);
    });
    *formatCount = static_cast<UINT>(std::min<std::size_t>(matches.size(), maxFormats));
    for (UINT i = 0; i < *formatCount; ++i)
        formats[i] = matches[i] + 1;
    return TRUE;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor)
{
    if (!IsLiveDc(dc) || !descriptor)
        return 0;
    const auto& table = Platform::PixelFormats();
    int best = -1;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int index = static_cast<int>(i);
        if (MeetsDescriptor(table[i], *descriptor) &&
            (best < 0 || DescriptorKey(table[i], *descriptor, index) <
                             DescriptorKey(table[best], *descriptor, best)))
            best = index;
    }
    return best + 1;
}

int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* descriptor)
{
    const PixelFormatInfo* f = Platform::FindPixelFormat(format);
    if (!IsLiveDc(dc) || !f)
        return 0;
    if (descriptor && bytes >= sizeof(PIXELFORMATDESCRIPTOR)) {
        PIXELFORMATDESCRIPTOR d{};
        d.nSize = sizeof(PIXELFORMATDESCRIPTOR);
        d.nVersion = 1;
        d.dwFlags = PFD_SUPPORT_OPENGL | (f->drawToWindow ? PFD_DRAW_TO_WINDOW : 0) |
                    (f->doubleBuffer ? PFD_DOUBLEBUFFER : 0) | (f->stereo ? PFD_STEREO : 0) |
                    (f->accelerated ? 0 : PFD_GENERIC_FORMAT);
        d.iPixelType = f->rgba ? PFD_TYPE_RGBA : PFD_TYPE_COLORINDEX;
        d.cColorBits = static_cast<BYTE>(f->colorBits);
        d.cRedBits = static_cast<BYTE>(f->redBits);
        d.cRedShift = static_cast<BYTE>(f->redShift);
        d.cGreenBits = static_cast<BYTE>(f->greenBits);
        d.cGreenShift = static_cast<BYTE>(f->greenShift);
        d.cBlueBits = static_cast<BYTE>(f->blueBits);
        d.cBlueShift = static_cast<BYTE>(f->blueShift);
        d.cAlphaBits = static_cast<BYTE>(f->alphaBits);
        d.cAlphaShift = static_cast<BYTE>(f->alphaShift);
        d.cAccumBits = static_cast<BYTE>(f->AccumBits());
        d.cAccumRedBits = static_cast<BYTE>(f->accumRedBits);
        d.cAccumGreenBits = static_cast<BYTE>(f->accumGreenBits);
        d.cAccumBlueBits = static_cast<BYTE>(f->accumBlueBits);
        d.cAccumAlphaBits = static_cast<BYTE>(f->accumAlphaBits);
        d.cDepthBits = static_cast<BYTE>(f->depthBits);
        d.cStencilBits = static_cast<BYTE>(f->stencilBits);
        d.cAuxBuffers = static_cast<BYTE>(f->auxBuffers);
        d.iLayerType = PFD_MAIN_PLANE;
        *descriptor = d;
    }
    return static_cast<int>(Platform::PixelFormats().size());
}
