// Display modes of the primary output over XRandR: EnumDisplaySettingsA and
// ChangeDisplaySettingsA, and the fake display that tests put in their place.

#include "DesktopModeGuard.h"
#include "PlatformTesting.h"
#include "Win32Api.h"
#include "X11Display.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
PlatformTesting::FakeDisplay* fakeDisplay = nullptr;

// One XRandR mode as the program sees it.
struct OutputMode {
    RRMode id;
    DWORD width;
    DWORD height;
    DWORD frequency;
};

// What the primary output showed, kept at the first switch so that
// (nullptr, 0) can put the desktop back; forgotten once it is back.
struct SavedConfig {
    bool saved = false;
    Platform::DesktopMode mode;
};
SavedConfig desktop;

// Refresh rate from the mode timings, rounded to whole hertz.
DWORD RefreshRate(const XRRModeInfo& info)
{
    double lines = info.vTotal;
    if (info.modeFlags & RR_DoubleScan)
        lines *= 2;
    if (info.modeFlags & RR_Interlace)
        lines /= 2;
    if (info.hTotal == 0 || lines == 0)
        return 0;
    return static_cast<DWORD>(std::lround(info.dotClock / (info.hTotal * lines)));
}

// Bits per pixel of the root window's pixmap format (32 for a depth-24 screen).
DWORD RootBitsPerPixel(Display* display)
{
    const int depth = DefaultDepth(display, DefaultScreen(display));
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    DWORD bits = static_cast<DWORD>(depth);
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth)
            bits = static_cast<DWORD>(formats[i].bits_per_pixel);
    if (formats)
        XFree(formats);
    return bits;
}

// The root window's size asked from the server: Xlib's cached screen size
// does not follow XRandR changes unless the program handles their events.
void RootSize(Display* display, int& width, int& height)
{
    Window root;
    int x, y;
    unsigned int w = 0, h = 0, border, depth;
    XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &w, &h, &border, &depth);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

// Physical size that keeps the screen's dots per millimetre. A server that
// reports no physical size (Xorg's dummy driver) gets 96 dots per inch, since
// XRandR refuses a size of 0 mm.
void ScaledMillimetres(Display* display, int width, int height, int& widthMM, int& heightMM)
{
    const int screen = DefaultScreen(display);
    widthMM = DisplayWidthMM(display, screen) * width / std::max(1, DisplayWidth(display, screen));
    heightMM = DisplayHeightMM(display, screen) * height / std::max(1, DisplayHeight(display, screen));
    if (widthMM <= 0 || heightMM <= 0) {
        widthMM = std::max(1, static_cast<int>(std::lround(width * 25.4 / 96)));
        heightMM = std::max(1, static_cast<int>(std::lround(height * 25.4 / 96)));
    }
}

// The primary output with its CRTC and modes, read afresh for each call so
// that a switch made meanwhile is seen.
class PrimaryOutput
{
public:
    explicit PrimaryOutput(Display* display)
        : display(display)
    {
        int eventBase, errorBase;
        if (!display || !XRRQueryExtension(display, &eventBase, &errorBase))
            return;
        root = DefaultRootWindow(display);
        resources = XRRGetScreenResourcesCurrent(display, root);
        if (!resources)
            return;
        output = XRRGetOutputPrimary(display, root);
        if (output == None)
            output = FirstConnectedOutput();
        if (output != None)
            info = XRRGetOutputInfo(display, resources, output);
        if (info && info->crtc != None)
            crtc = XRRGetCrtcInfo(display, resources, info->crtc);
    }

    ~PrimaryOutput()
    {
        if (crtc)
            XRRFreeCrtcInfo(crtc);
        if (info)
            XRRFreeOutputInfo(info);
        if (resources)
            XRRFreeScreenResources(resources);
    }

    PrimaryOutput(const PrimaryOutput&) = delete;
    PrimaryOutput& operator=(const PrimaryOutput&) = delete;

    bool Valid() const { return info != nullptr; }

    // The output's modes in XRandR's order, which numbers them from 0.
    std::vector<OutputMode> Modes() const
    {
        std::vector<OutputMode> modes;
        for (int i = 0; Valid() && i < info->nmode; ++i) {
            const XRRModeInfo* mode = FindMode(info->modes[i]);
            if (mode)
                modes.push_back({mode->id, mode->width, mode->height, RefreshRate(*mode)});
        }
        return modes;
    }

    // The mode the CRTC shows now; false when the output is switched off.
    bool Current(OutputMode& current) const
    {
        const XRRModeInfo* mode = crtc ? FindMode(crtc->mode) : nullptr;
        if (!mode)
            return false;
        current = {mode->id, mode->width, mode->height, RefreshRate(*mode)};
        return true;
    }

    RRMode CurrentModeId() const { return crtc ? crtc->mode : None; }

    // Shows the mode on the output's CRTC, resizing the screen to it as a
    // desktop switch does: grow the screen before, shrink it after. False,
    // with the server's reason in `failure`, when any step was refused.
    bool SetMode(RRMode mode, int width, int height, std::string& failure)
    {
        if (!crtc) {
            failure = "the primary output shows nothing";
            return false;
        }
        int widthMM, heightMM;
        ScaledMillimetres(display, width, height, widthMM, heightMM);
        int screenWidth, screenHeight;
        RootSize(display, screenWidth, screenHeight);
        const bool grows = width > screenWidth || height > screenHeight;
        Platform::X11ErrorTrap trap(display);
        if (grows)
            XRRSetScreenSize(display, root, width, height, widthMM, heightMM);
        const Status status = XRRSetCrtcConfig(display, resources, info->crtc, CurrentTime, crtc->x,
                                               crtc->y, mode, crtc->rotation, crtc->outputs,
                                               crtc->noutput);
        if (status == RRSetConfigSuccess && !grows)
            XRRSetScreenSize(display, root, width, height, widthMM, heightMM);
        if (trap.Failed())
            failure = trap.Text();
        else if (status != RRSetConfigSuccess)
            failure = "XRRSetCrtcConfig answered status " + std::to_string(status);
        else
            return true;
        return false;
    }

private:
    const XRRModeInfo* FindMode(RRMode id) const
    {
        for (int i = 0; i < resources->nmode; ++i)
            if (resources->modes[i].id == id)
                return &resources->modes[i];
        return nullptr;
    }

    RROutput FirstConnectedOutput() const
    {
        for (int i = 0; i < resources->noutput; ++i) {
            XRROutputInfo* candidate = XRRGetOutputInfo(display, resources, resources->outputs[i]);
            const bool usable = candidate && candidate->connection == RR_Connected && candidate->crtc != None;
            if (candidate)
                XRRFreeOutputInfo(candidate);
            if (usable)
                return resources->outputs[i];
        }
        return None;
    }

    Display* display;
    Window root = None;
    XRRScreenResources* resources = nullptr;
    RROutput output = None;
    XRROutputInfo* info = nullptr;
    XRRCrtcInfo* crtc = nullptr;
};

void FillDevMode(DEVMODEA* devMode, DWORD width, DWORD height, DWORD bits, DWORD frequency)
{
    devMode->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    devMode->dmBitsPerPel = bits;
    devMode->dmPelsWidth = width;
    devMode->dmPelsHeight = height;
    devMode->dmDisplayFrequency = frequency;
}

BOOL EnumFake(DWORD modeNum, DEVMODEA* devMode)
{
    if (modeNum == ENUM_CURRENT_SETTINGS) {
        *devMode = fakeDisplay->current;
        return TRUE;
    }
    if (modeNum >= fakeDisplay->modes.size())
        return FALSE;
    *devMode = fakeDisplay->modes[modeNum];
    return TRUE;
}

// Why a switch failed, for GetLastError and, with the server's words, on
// standard error as the layer reports X errors.
LONG SwitchFailed(const std::string& what, const std::string& cause)
{
    std::fprintf(stderr, "ChangeDisplaySettingsA: %s failed: %s\n", what.c_str(), cause.c_str());
    SetLastError(ERROR_GEN_FAILURE);
    return DISP_CHANGE_FAILED;
}

// A desktop that cannot be put back stays saved, and guarded, for the next try.
LONG RestoreDesktop(Display* display)
{
    if (!desktop.saved)
        return DISP_CHANGE_SUCCESSFUL;
    if (!Platform::RestoreDesktopMode(display, desktop.mode)) {
        SetLastError(ERROR_GEN_FAILURE);
        return DISP_CHANGE_FAILED;
    }
    desktop.saved = false;
    Platform::EndDesktopModeGuard();
    return DISP_CHANGE_SUCCESSFUL;
}
}

namespace Platform
{
bool RestoreDesktopMode(Display* display, const DesktopMode& desktop)
{
    PrimaryOutput output(display);
    std::string failure = "the primary output cannot be read";
    if (output.Valid() && output.SetMode(desktop.mode, desktop.screenWidth, desktop.screenHeight, failure))
        return true;
    std::fprintf(stderr, "ChangeDisplaySettingsA: restoring the desktop mode failed: %s\n", failure.c_str());
    return false;
}
}

BOOL EnumDisplaySettingsA(LPCSTR, DWORD modeNum, DEVMODEA* devMode)
{
    if (!devMode)
        return FALSE;
    if (fakeDisplay)
        return EnumFake(modeNum, devMode);
    Display* display = Platform::GetDisplay();
    PrimaryOutput output(display);
    if (!output.Valid())
        return FALSE;
    OutputMode mode;
    if (modeNum == ENUM_CURRENT_SETTINGS) {
        if (!output.Current(mode))
            return FALSE;
    } else {
        const std::vector<OutputMode> modes = output.Modes();
        if (modeNum >= modes.size())
            return FALSE;
        mode = modes[modeNum];
    }
    FillDevMode(devMode, mode.width, mode.height, RootBitsPerPixel(display), mode.frequency);
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* devMode, DWORD flags)
{
    if (fakeDisplay) {
        PlatformTesting::FakeDisplay::Switch change{devMode == nullptr, devMode ? *devMode : DEVMODEA{}, flags};
        fakeDisplay->switches.push_back(change);
        return DISP_CHANGE_SUCCESSFUL;
    }
    Display* display = Platform::GetDisplay();
    PrimaryOutput output(display);
    if (!output.Valid())
        return DISP_CHANGE_FAILED;
    if (!devMode)
        return RestoreDesktop(display);

    // The first mode of the output with the requested size and rate.
    const OutputMode* match = nullptr;
    const std::vector<OutputMode> modes = output.Modes();
    for (const OutputMode& mode : modes) {
        if (mode.width == devMode->dmPelsWidth && mode.height == devMode->dmPelsHeight &&
            (!(devMode->dmFields & DM_DISPLAYFREQUENCY) || mode.frequency == devMode->dmDisplayFrequency)) {
            match = &mode;
            break;
        }
    }
    if (!match || ((devMode->dmFields & DM_BITSPERPEL) && devMode->dmBitsPerPel != RootBitsPerPixel(display)))
        return DISP_CHANGE_BADMODE;

    // The desktop is guarded before it is left; a first switch that fails
    // puts it back as it was.
    const bool firstSwitch = !desktop.saved;
    if (firstSwitch) {
        Platform::DesktopMode current{output.CurrentModeId(), 0, 0};
        RootSize(display, current.screenWidth, current.screenHeight);
        if (!Platform::GuardDesktopMode(display, current))
            return SwitchFailed("guarding the desktop mode", "no guardian process");
        desktop = {true, current};
    }
    std::string failure;
    if (output.SetMode(match->id, static_cast<int>(match->width), static_cast<int>(match->height), failure))
        return DISP_CHANGE_SUCCESSFUL;
    if (firstSwitch)
        RestoreDesktop(display);
    return SwitchFailed("the switch to " + std::to_string(match->width) + " x " + std::to_string(match->height),
                        failure);
}

namespace PlatformTesting
{
void SetFakeDisplay(FakeDisplay* display)
{
    fakeDisplay = display;
}
}
