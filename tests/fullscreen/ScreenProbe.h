// The test's own view of an X server's screen, over a connection of its
// own: the primary output's CRTC as XRandR reports it, and the changes a
// test makes to set a scene or to put the screen back after a failure.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <functional>
#include <string>

namespace FullScreenTests
{
struct ScreenState {
    RRMode mode = None;
    int x = 0;  // the CRTC's place on the screen
    int y = 0;
    unsigned width = 0;  // the mode's size
    unsigned height = 0;
    int screenWidth = 0;
    int screenHeight = 0;

    bool operator==(const ScreenState& other) const;
    std::string ToString() const;
};

class ScreenProbe
{
public:
    explicit ScreenProbe(const char* displayName);
    ~ScreenProbe();
    ScreenProbe(const ScreenProbe&) = delete;
    ScreenProbe& operator=(const ScreenProbe&) = delete;

    Display* display() const { return connection; }

    // What the primary output shows now.
    ScreenState Now() const;
    // The mode named like "800x600_60" in the server's configuration.
    RRMode ModeNamed(const std::string& name) const;
    // Shows `state` on the primary output, the screen sized as it says.
    bool Set(const ScreenState& state);

private:
    Display* connection;
};

// Polls until `condition` holds, at most `seconds`; whether it held.
bool Eventually(const std::function<bool()>& condition, double seconds);
}
