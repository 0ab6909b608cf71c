// Drives a modal box shown on the test's main thread from a second thread
// with an X connection of its own, as a user would: it waits until the box
// with the given title is on screen and drawn, keeps a picture of it, and
// then presses a key, clicks or closes it.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace BoxDriver
{
using Pixel = std::array<int, 3>;

// What the driver saw of the box before acting on it.
struct Sighting {
    std::string title;   // its _NET_WM_NAME
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width x height, top row first
    Pixel At(int x, int y) const;
    int CountPixels(const std::function<bool(const Pixel&)>& matches) const;
    bool SavePng(const std::string& path) const;
};

// The strip colour behind the buttons.
constexpr Pixel stripColour = {240, 240, 240};

using Action = std::function<void(Display* display, Window box, const Sighting& sighting)>;

// Watches the frames of this process's box titled `title` and acts on it
// from a thread of its own once it has drawn one. A box that does not appear
// within ten seconds ends the test program, since the main thread would wait
// for it forever; one the action does not answer is closed.
class Driver
{
public:
    Driver(const std::string& title, Sighting& sighting, Action action);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Waits for the driver thread, after the box has returned.
    void Finish();

private:
    std::thread thread;
};

void PressKey(Display* display, Window box, KeySym key);
void Click(Display* display, Window box, int x, int y);
void Close(Display* display, Window box);

// Horizontal extents [first, last] of the buttons in the strip, left to right.
std::vector<std::pair<int, int>> FindButtons(const Sighting& sighting);
}
