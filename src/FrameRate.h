// The frame time averaged over about half a second: the main bar shows the
// last completed average, so that its figures stay readable while single
// frames vary.
#pragma once

namespace KorvanaFramework
{
class FrameRate
{
public:
    // Averages over periods of at least `periodSeconds`.
    explicit FrameRate(double periodSeconds = 0.5);

    // Marks the start of a frame at `seconds` on a steady clock; the time
    // since the previous mark is one frame. Returns true when a period has
    // just closed and the figures changed.
    bool FrameStarted(double seconds);

    // The mean frame time of the last closed period in milliseconds, and the
    // frames per second it gives; both 0 until the first period closes.
    float Milliseconds() const { return milliseconds; }
    float FramesPerSecond() const { return framesPerSecond; }

private:
    double period;
    bool started = false;
    double periodStart = 0.0;
    double lastFrame = 0.0;
    int frames = 0;
    float milliseconds = 0.0f;
    float framesPerSecond = 0.0f;
};

// Seconds on the steady clock since an arbitrary start.
double SteadySeconds();
}
