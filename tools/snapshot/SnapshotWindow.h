// A window of the platform layer with a GL context current on it, in which
// the renderer draws frames that are then read back instead of shown.
#pragma once

#include "platform/Win32Api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Snapshot
{
// Rows of RGB bytes, the bottom row first, as glReadPixels gives them.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // The pixel at (x, y), y counted from the top as on the screen.
    const std::uint8_t* At(int x, int y) const { return &rgb[3 * ((height - 1 - y) * width + x)]; }
};

class SnapshotWindow
{
public:
    // A width × height client area with a double-buffered RGBA format that
    // has depth and an 8-bit stencil, its context current and GLEW started.
    // Ready() is false when there is no display or no such format.
    SnapshotWindow(int width, int height);
    ~SnapshotWindow();
    SnapshotWindow(const SnapshotWindow&) = delete;
    SnapshotWindow& operator=(const SnapshotWindow&) = delete;

    bool Ready() const { return ready; }
    HWND Handle() const { return window; }
    // Why the window is not ready.
    const std::string& Error() const { return error; }

    // The back buffer as the last frame left it, before any swap.
    Image ReadBack() const;
    // Shows the back buffer, as the program's window does after each frame.
    void Present() const;

private:
    bool Open();

    int width;
    int height;
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    bool ready = false;
    std::string error;
};

// Writes the image as a PNG file, top row first; false when it could not.
bool WritePng(const Image& image, const std::string& path);

// The folder of the running executable, with a trailing '/'.
std::string ExecutableDirectory();
}
