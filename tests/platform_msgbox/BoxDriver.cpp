#include "BoxDriver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <unistd.h>

#include <stb/stb_image_write.h>

namespace BoxDriver
{
namespace
{
constexpr auto timeout = std::chrono::seconds(10);

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

Window FindViewable(Display* display, const std::string& title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = None;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && WindowTitle(display, children[i]) == title)
            found = children[i];
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

bool Grab(Display* display, Window window, Sighting& sighting)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height,
                              AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    sighting.width = attributes.width;
    sighting.height = attributes.height;
    sighting.rgb.resize(size_t(sighting.width) * sighting.height * 3);
    for (int y = 0; y < sighting.height; ++y)
        for (int x = 0; x < sighting.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &sighting.rgb[(size_t(y) * sighting.width + x) * 3];
            out[0] = (pixel >> 16) & 0xFF;
            out[1] = (pixel >> 8) & 0xFF;
            out[2] = pixel & 0xFF;
        }
    XDestroyImage(image);
    return sighting.At(1, sighting.height - 2) == stripColour;
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

std::thread Drive(const std::string& title, Sighting& sighting, Action action)
{
    Display* display = XOpenDisplay(nullptr);
    driverDisplay = display;
    if (previousHandler == nullptr)
        previousHandler = XSetErrorHandler(IgnoreDriverErrors);
    return std::thread([display, title, &sighting, action] {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        Window box = None;
        while (display != nullptr && std::chrono::steady_clock::now() < deadline) {
            box = FindViewable(display, title);
            if (box != None && Grab(display, box, sighting))
                break;
            usleep(20000);
        }
        if (box == None || sighting.At(1, sighting.height - 2) != stripColour) {
            std::fprintf(stderr, "the box \"%s\" was not shown\n", title.c_str());
            std::_Exit(2);
        }
        sighting.title = WindowTitle(display, box);
        action(display, box, sighting);
        XCloseDisplay(display);
    });
}

void PressKey(Display* display, Window box, KeySym key)
{
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
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = box;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    Send(display, box, event, NoEventMask);
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
