// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "BoxDriver.h"

#include "platform/PlatformTesting.h"
#include "platform/X11Display.h"
#include "support/DesktopDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>

#include <stb/stb_image_write.h>

namespace BoxDriver
{
namespace
{
constexpr auto timeout = std::chrono::seconds(10);
constexpr auto answerTimeout = std::chrono::seconds(5);

// The driver's own connection; a box may vanish between two of its
// requests (a key's release sent after its press already answered it).
Display* driverDisplay = nullptr;
XErrorHandler previousHandler = nullptr;

int IgnoreDriverErrors(Display* display, XErrorEvent* error)
{
    if (display == driverDisplay)
        return 0;
    return previousHandler != nullptr ? previousHandler(display, error) : 0;
}

std::string WindowTitle(Display* display, Window window)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024,
                           False, AnyPropertyType, &type, &format, &count, &remaining,
                           &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

long WindowProcess(Display* display, Window window)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False,
                           XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr) {
        if (count == 1)
            pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

// This process's box: other test programs may show boxes of the same title
// on the same display at the same time. A window manager puts the box
// inside a frame window of its own, one level down.
Window FindViewable(Display* display, Window parentWindow, const std::string& title, int depth = 2)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = None;
    if (!XQueryTree(display, parentWindow, &root, &parent, &children, &count))
        return None;
    for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        if (WindowTitle(display, children[i]) == title && WindowProcess(display, children[i]) == getpid())
            found = children[i];
        else if (depth > 1)
            found = FindViewable(display, children[i], title, depth - 1);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

// The last frame the box drew, handed over from the box's thread.
class LatestFrame
{
public:
    void Put(const std::string& title, int width, int height, const std::vector<unsigned char>& rgb)
    {
        std::lock_guard<std::mutex> lock(mutex);
        frame.title = title;
        frame.width = width;
        frame.height = height;
        frame.rgb = rgb;
    }

    // Copies the frame once the box of this title has drawn one.
    bool Take(const std::string& title, Sighting& out)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (frame.title != title || frame.rgb.empty())
            return false;
        out = frame;
        return true;
    }

private:
    std::mutex mutex;
    Sighting frame;
};

// Waits a few seconds for the box to go away after it was acted on.
bool Disappears(Display* display, Window box)
{
    const auto deadline = std::chrono::steady_clock::now() + answerTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, box, &attributes) || attributes.map_state != IsViewable)
            return true;
        usleep(20000);
    }
    return false;
}

void Send(Display* display, Window box, XEvent& event, long mask)
{
    XSendEvent(display, box, False, mask, &event);
    XFlush(display);
}

XEvent PointerEvent(Display* display, Window box, int type, int x, int y)
{
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = display;
    event.xbutton.window = box;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    return event;
}
}

Pixel Sighting::At(int x, int y) const
{
    const unsigned char* p = &rgb[(size_t(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

int Sighting::CountPixels(const std::function<bool(const Pixel&)>& matches) const
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            count += matches(At(x, y));
    return count;
}

bool Sighting::SavePng(const std::string& path) const
{
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

Driver::Driver(const std::string& title, Sighting& sighting, Action action)
{
    // The layer sets its handler when it opens its display: open it first,
    // so that the driver's handler comes after and hands its errors on.
    Platform::GetDisplay();
    Display* display = XOpenDisplay(nullptr);
    driverDisplay = display;
    if (previousHandler == nullptr)
        previousHandler = XSetErrorHandler(IgnoreDriverErrors);
    auto frame = std::make_shared<LatestFrame>();
    PlatformTesting::SetModalFrameObserver(
        [frame](const std::string& shownTitle, int width, int height, const std::vector<unsigned char>& rgb) {
            frame->Put(shownTitle, width, height, rgb);
        });
    thread = std::thread([display, title, frame, &sighting, action] {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        Window box = None;
        while (display != nullptr && std::chrono::steady_clock::now() < deadline &&
               (!frame->Take(title, sighting) || (box = FindViewable(display, DefaultRootWindow(display), title)) == None))
            usleep(20000);
        if (box == None) {
            std::fprintf(stderr, "the box \"%s\" was not shown\n", title.c_str());
            std::_Exit(2);
        }
        sighting.title = WindowTitle(display, box);
        action(display, box, sighting);
        if (!Disappears(display, box)) {
            ADD_FAILURE() << "the box \"" << title << "\" was not answered; closing it";
            Close(display, box);
            if (!Disappears(display, box))
                std::_Exit(3);
        }
        XCloseDisplay(display);
    });
}

Driver::~Driver()
{
    if (thread.joinable())
        Finish();
}

void Driver::Finish()
{
    thread.join();
    PlatformTesting::SetModalFrameObserver(nullptr);
}

// On a desktop the key goes through the keyboard to the window with the
// focus, which the box must have taken; on a bare server it is sent to it.
void PressKey(Display* display, Window box, KeySym key)
{
    if (Desktop::WindowManagerRuns(display)) {
        EXPECT_TRUE(Desktop::WaitUntil([display, box] {
            Window focus;
            int revert;
            XGetInputFocus(display, &focus, &revert);
            return focus == box;
        })) << "the box did not take the keyboard";
        const std::string command = std::string("xdotool key ") + XKeysymToString(key);
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return;
    }
    XEvent event{};
    event.xkey.type = KeyPress;
    event.xkey.display = display;
    event.xkey.window = box;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.keycode = XKeysymToKeycode(display, key);
    event.xkey.same_screen = True;
    Send(display, box, event, KeyPressMask);
    event.xkey.type = KeyRelease;
    Send(display, box, event, KeyReleaseMask);
}

void Click(Display* display, Window box, int x, int y)
{
    XEvent motion = PointerEvent(display, box, MotionNotify, x, y);
    Send(display, box, motion, PointerMotionMask);
    XEvent press = PointerEvent(display, box, ButtonPress, x, y);
    Send(display, box, press, ButtonPressMask);
    XEvent release = PointerEvent(display, box, ButtonRelease, x, y);
    Send(display, box, release, ButtonReleaseMask);
}

void Close(Display* display, Window box)
{
    Desktop::CloseFromTitleBar(display, box);
}

// Scans the row through the middle of the buttons: a column near the right
// edge crosses the last button; the row halfway down it crosses them all.
std::vector<std::pair<int, int>> FindButtons(const Sighting& sighting)
{
    const int probeX = sighting.width - 30;
    int bottom = sighting.height - 1;
    while (bottom > 0 && sighting.At(probeX, bottom) == stripColour)
        --bottom;
    int top = bottom;
    while (top > 0 && sighting.At(probeX, top - 1) != stripColour)
        --top;
    const int row = (top + bottom) / 2;

    std::vector<std::pair<int, int>> buttons;
    for (int x = 0; x < sighting.width; ++x) {
        if (sighting.At(x, row) == stripColour)
            continue;
        const int first = x;
        while (x + 1 < sighting.width && sighting.At(x + 1, row) != stripColour)
            ++x;
        buttons.push_back({first, x});
    }
    return buttons;
}
}
