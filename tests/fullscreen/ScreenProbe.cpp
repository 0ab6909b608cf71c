#include "ScreenProbe.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace FullScreenTests
{
namespace
{
struct Resources {
    explicit Resources(Display* display)
        : screen(XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display)))
    {
        if (!screen)
            return;
        RROutput primary = XRRGetOutputPrimary(display, DefaultRootWindow(display));
        for (int i = 0; primary == None && i < screen->noutput; ++i) {
            XRROutputInfo* candidate = XRRGetOutputInfo(display, screen, screen->outputs[i]);
            if (candidate && candidate->connection == RR_Connected && candidate->crtc != None)
                primary = screen->outputs[i];
            if (candidate)
                XRRFreeOutputInfo(candidate);
        }
        output = primary == None ? nullptr : XRRGetOutputInfo(display, screen, primary);
        crtcId = output ? output->crtc : None;
        crtc = crtcId != None ? XRRGetCrtcInfo(display, screen, crtcId) : nullptr;
    }
    ~Resources()
    {
        if (crtc)
            XRRFreeCrtcInfo(crtc);
        if (output)
            XRRFreeOutputInfo(output);
        if (screen)
            XRRFreeScreenResources(screen);
    }
    XRRScreenResources* screen;
    XRROutputInfo* output = nullptr;
    RRCrtc crtcId = None;
    XRRCrtcInfo* crtc = nullptr;
};
}

bool ScreenState::operator==(const ScreenState& other) const
{
    return mode == other.mode && x == other.x && y == other.y && width == other.width &&
           height == other.height && screenWidth == other.screenWidth && screenHeight == other.screenHeight;
}

std::string ScreenState::ToString() const
{
    return std::to_string(width) + " x " + std::to_string(height) + " (mode " + std::to_string(mode) + ") at " +
           std::to_string(x) + "," + std::to_string(y) + " on a " + std::to_string(screenWidth) + " x " +
           std::to_string(screenHeight) + " screen";
}

ScreenProbe::ScreenProbe(const char* displayName) : connection(XOpenDisplay(displayName))
{
}

ScreenProbe::~ScreenProbe()
{
    if (connection)
        XCloseDisplay(connection);
}

ScreenState ScreenProbe::Now() const
{
    ScreenState state;
    Resources resources(connection);
    if (!resources.crtc)
        return state;
    state.mode = resources.crtc->mode;
    state.x = resources.crtc->x;
    state.y = resources.crtc->y;
    state.width = resources.crtc->width;
    state.height = resources.crtc->height;
    Window root;
    int x, y;
    unsigned width, height, border, depth;
    XGetGeometry(connection, DefaultRootWindow(connection), &root, &x, &y, &width, &height, &border, &depth);
    state.screenWidth = static_cast<int>(width);
    state.screenHeight = static_cast<int>(height);
    return state;
}

RRMode ScreenProbe::ModeNamed(const std::string& name) const
{
    Resources resources(connection);
    for (int i = 0; resources.screen && i < resources.screen->nmode; ++i)
        if (name == resources.screen->modes[i].name)
            return resources.screen->modes[i].id;
    return None;
}

// The screen is made large enough for the old and the new place first, and
// given its final size last.
bool ScreenProbe::Set(const ScreenState& state)
{
    Resources resources(connection);
    if (!resources.crtc)
        return false;
    const Window root = DefaultRootWindow(connection);
    const ScreenState now = Now();
    auto resize = [this, root](int width, int height) {
        XRRSetScreenSize(connection, root, width, height, static_cast<int>(std::lround(width * 25.4 / 96)),
                         static_cast<int>(std::lround(height * 25.4 / 96)));
    };
    resize(std::max(now.screenWidth, state.screenWidth), std::max(now.screenHeight, state.screenHeight));
    const Status status = XRRSetCrtcConfig(connection, resources.screen, resources.crtcId, CurrentTime, state.x,
                                           state.y, state.mode, resources.crtc->rotation,
                                           resources.crtc->outputs, resources.crtc->noutput);
    resize(state.screenWidth, state.screenHeight);
    XSync(connection, False);
    return status == RRSetConfigSuccess;
}

bool Eventually(const std::function<bool()>& condition, double seconds)
{
    for (int waited = 0; waited < seconds * 20; ++waited) {
        if (condition())
            return true;
        usleep(50000);
    }
    return condition();
}
}
