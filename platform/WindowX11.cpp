// The X side of top-level windows: creating them with their events, close
// protocol, title, icon and window-manager hints; mapping, iconifying and
// moving them.

#include "ResourceTable.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace
{
const long eventMask = ExposureMask | StructureNotifyMask | FocusChangeMask | ButtonPressMask |
                       ButtonReleaseMask | PointerMotionMask | KeyPressMask | KeyReleaseMask;

Atom Intern(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

// Whether a window manager that follows the EWMH runs: without one nobody
// iconifies windows, so the layer unmaps them itself.
bool WindowManagerRuns(Display* display)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display),
                                          Intern(display, "_NET_SUPPORTING_WM_CHECK"), 0, 1,
                                          False, XA_WINDOW, &type, &format, &count, &after, &data);
    const bool runs = status == Success && data && count == 1;
    if (data)
        XFree(data);
    return runs;
}

// Whether the window manager names this atom among the hints it supports.
bool WindowManagerSupports(Display* display, const char* name)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display),
                                          Intern(display, "_NET_SUPPORTED"), 0, 4096, False,
                                          XA_ATOM, &type, &format, &count, &after, &data);
    if (status != Success || !data)
        return false;
    const Atom wanted = Intern(display, name);
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    const bool supported = std::find(atoms, atoms + count, wanted) != atoms + count;
    XFree(data);
    return supported;
}

// The frame the window manager puts around the window, once it has said.
bool ReadFrameExtents(Display* display, ::Window xwindow, RECT& frame)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, xwindow, Intern(display, "_NET_FRAME_EXTENTS"),
                                          0, 4, False, XA_CARDINAL, &type, &format, &count,
                                          &after, &data);
    const bool known = status == Success && data && count == 4;
    if (known) {
        const long* extents = reinterpret_cast<const long*>(data);  // left, right, top, bottom
        frame = RECT{static_cast<LONG>(extents[0]), static_cast<LONG>(extents[2]),
                     static_cast<LONG>(extents[1]), static_cast<LONG>(extents[3])};
    }
    if (data)
        XFree(data);
    return known;
}

// Asks the window manager what frame it will give the unmapped window and
// waits a bounded time for the answer: one that never comes leaves the
// window without a frame allowance rather than blocking the program.
bool RequestFrameExtents(Display* display, ::Window xwindow, RECT& frame)
{
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = xwindow;
    request.xclient.message_type = Intern(display, "_NET_REQUEST_FRAME_EXTENTS");
    request.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!ReadFrameExtents(display, xwindow, frame)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The icon as _NET_WM_ICON wants it: width, height, then ARGB pixels, each
// in a long.
void SetIcon(Display* display, HWND window)
{
    const Platform::IconImage* image = Platform::IconImageOf(window->icon);
    if (!image)
        return;
    std::vector<unsigned long> data;
    data.push_back(static_cast<unsigned long>(image->width));
    data.push_back(static_cast<unsigned long>(image->height));
    for (uint32_t pixel : image->argb)
        data.push_back(pixel);
    XChangeProperty(display, window->xwindow, Intern(display, "_NET_WM_ICON"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(data.data()),
                    static_cast<int>(data.size()));
}

// A top-most pop-up covers the screen above all others and has no frame.
void SetFullScreenState(Display* display, HWND window)
{
    if (!(window->style & WS_POPUP) || !(window->exStyle & WS_EX_TOPMOST))
        return;
    Atom states[] = {Intern(display, "_NET_WM_STATE_FULLSCREEN"),
                     Intern(display, "_NET_WM_STATE_ABOVE")};
    XChangeProperty(display, window->xwindow, Intern(display, "_NET_WM_STATE"), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(states), 2);
    long motifHints[5] = {2, 0, 0, 0, 0};  // decorations: none
    Atom motif = Intern(display, "_MOTIF_WM_HINTS");
    XChangeProperty(display, window->xwindow, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motifHints), 5);
}

// Position as asked, and a fixed size for windows without a sizing border.
void SetSizeHints(Display* display, HWND window)
{
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = USPosition | PPosition;
    hints->x = window->x;
    hints->y = window->y;
    if (!(window->style & (WS_THICKFRAME | WS_POPUP))) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = window->width;
        hints->min_height = hints->max_height = window->height;
    }
    XSetWMNormalHints(display, window->xwindow, hints);
    XFree(hints);
}

void SetClassHint(Display* display, HWND window)
{
    XClassHint* hint = XAllocClassHint();
    hint->res_name = const_cast<char*>("korvana");
    hint->res_class = const_cast<char*>(window->className.c_str());
    XSetClassHint(display, window->xwindow, hint);
    XFree(hint);
}
}

namespace Platform
{
void SetNativeTitle(HWND window)
{
    Display* display = GetDisplay();
    if (!display || !window->xwindow)
        return;
    const std::string& title = window->text;
    XChangeProperty(display, window->xwindow, Intern(display, "_NET_WM_NAME"),
                    Intern(display, "UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    char* list[] = {const_cast<char*>(title.c_str())};
    XTextProperty property;
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property) >= 0) {
        XSetWMName(display, window->xwindow, &property);
        XFree(property.value);
    }
}

bool CreateNativeWindow(HWND window, ::Visual* visual, int depth)
{
    Display* display = GetDisplay();
    if (!display)
        return false;
    DestroyNativeWindow(window);
    {
        X11ErrorTrap trap(display);
        const ::Window root = DefaultRootWindow(display);
        window->colormap = XCreateColormap(display, root, visual, AllocNone);
        XSetWindowAttributes attributes{};
        attributes.colormap = window->colormap;
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;
        attributes.event_mask = eventMask;
        window->xwindow = XCreateWindow(
            display, root, window->x, window->y, static_cast<unsigned>(window->width),
            static_cast<unsigned>(window->height), 0, depth, InputOutput, visual,
            CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
        if (trap.Failed()) {
            trap.Record("The X server refused the window");
            DestroyNativeWindow(window);
            return false;
        }
    }
    window->visual = visual;
    Atom deleteWindow = Intern(display, "WM_DELETE_WINDOW");
    XSetWMProtocols(display, window->xwindow, &deleteWindow, 1);
    SetNativeTitle(window);
    SetClassHint(display, window);
    SetSizeHints(display, window);
    SetIcon(display, window);
    SetFullScreenState(display, window);
    XFlush(display);
    return true;
}

// Requests on resources the server refused fail in turn; their errors are
// part of that refusal and are not reported again.
void DestroyNativeWindow(HWND window)
{
    Display* display = GetDisplay();
    if (!display)
        return;
    if (window->dc.drawable) {
        XDestroyWindow(display, window->dc.drawable);
        XFreeColormap(display, window->dc.drawableColormap);
        window->dc.drawable = 0;
    }
    X11ErrorTrap trap(display);
    if (window->xwindow) {
        XDestroyWindow(display, window->xwindow);
        XFreeColormap(display, window->colormap);
        window->xwindow = 0;
        window->colormap = 0;
    }
    XFlush(display);
}

// Only a framed top-level window managed by a window manager that answers
// frame-extent requests gets a frame allowance.
void FitClientInFrame(HWND window)
{
    Display* display = GetDisplay();
    if ((window->style & (WS_POPUP | WS_CHILD)) || !WindowManagerRuns(display) ||
        !WindowManagerSupports(display, "_NET_REQUEST_FRAME_EXTENTS"))
        return;
    RECT frame;
    if (!RequestFrameExtents(display, window->xwindow, frame))
        return;
    window->frame = frame;
    window->width = std::max<int>(window->width - frame.left - frame.right, 1);
    window->height = std::max<int>(window->height - frame.top - frame.bottom, 1);
    XResizeWindow(display, window->xwindow, static_cast<unsigned>(window->width),
                  static_cast<unsigned>(window->height));
    SetSizeHints(display, window);
    XFlush(display);
}

void MapNativeWindow(HWND window)
{
    Display* display = GetDisplay();
    XMapRaised(display, window->xwindow);
    XFlush(display);
}

void UnmapNativeWindow(HWND window)
{
    Display* display = GetDisplay();
    XWithdrawWindow(display, window->xwindow, DefaultScreen(display));
    XFlush(display);
}

void IconifyNativeWindow(HWND window)
{
    Display* display = GetDisplay();
    window->iconifySerial = NextRequest(display);
    window->iconifyPending = WindowManagerRuns(display);
    if (window->iconifyPending)
        XIconifyWindow(display, window->xwindow, DefaultScreen(display));
    else
        XUnmapWindow(display, window->xwindow);
    XFlush(display);
}

void MoveNativeWindow(HWND window, int x, int y, int width, int height)
{
    Display* display = GetDisplay();
    window->x = x;
    window->y = y;
    const RECT& frame = window->frame;
    XMoveResizeWindow(display, window->xwindow, x, y,
                      static_cast<unsigned>(std::max<int>(width - frame.left - frame.right, 1)),
                      static_cast<unsigned>(std::max<int>(height - frame.top - frame.bottom, 1)));
    XFlush(display);
}
}
