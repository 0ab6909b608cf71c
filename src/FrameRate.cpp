#include "FrameRate.h"

#include <chrono>

namespace KorvanaFramework
{
FrameRate::FrameRate(double periodSeconds) : period(periodSeconds) {}

// A period closes at the first frame start at least `period` after it
// opened, so it holds whole frames only; a clock that went backwards starts
// the count afresh rather than giving a negative time.
bool FrameRate::FrameStarted(double seconds)
{
    if (!started || seconds < lastFrame) {
        started = true;
        periodStart = lastFrame = seconds;
        frames = 0;
        return false;
    }
    lastFrame = seconds;
    ++frames;
    const double elapsed = seconds - periodStart;
    if (elapsed < period)
        return false;
    milliseconds = static_cast<float>(1000.0 * elapsed / frames);
    framesPerSecond = static_cast<float>(frames / elapsed);
    periodStart = seconds;
    frames = 0;
    return true;
}

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}
