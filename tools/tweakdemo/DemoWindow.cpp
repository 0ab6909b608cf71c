// The window-API header first: it defines APIENTRY as the GL headers expect.
#include "tweakbar/TweakBar.h"

#include "DemoWindow.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace
{
struct NamedKey {
    KeySym sym;
    WPARAM virtualKey;
};

const NamedKey namedKeys[] = {
    {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB},         {XK_Return, VK_RETURN},      {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},    {XK_Prior, VK_PRIOR},     {XK_Next, VK_NEXT},          {XK_End, VK_END},
    {XK_Home, VK_HOME},      {XK_Left, VK_LEFT},       {XK_Up, VK_UP},              {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},      {XK_Insert, VK_INSERT},   {XK_Delete, VK_DELETE},      {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},  {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU},
};

// The virtual-key code of a key, 0 for keys the bars do not use.
WPARAM VirtualKey(KeySym sym)
{
    if (sym >= XK_a && sym <= XK_z)
        return 'A' + (sym - XK_a);
    if (sym >= XK_0 && sym <= XK_9)
        return '0' + (sym - XK_0);
    for (const NamedKey& key : namedKeys) {
        if (key.sym == sym)
            return key.virtualKey;
    }
    return 0;
}

// MK_* flags of an X modifier state.
WPARAM MouseKeys(unsigned int state)
{
    WPARAM keys = 0;
    keys |= (state & Button1Mask) ? MK_LBUTTON : 0;
    keys |= (state & Button2Mask) ? MK_MBUTTON : 0;
    keys |= (state & Button3Mask) ? MK_RBUTTON : 0;
    keys |= (state & ShiftMask) ? MK_SHIFT : 0;
    keys |= (state & ControlMask) ? MK_CONTROL : 0;
    return keys;
}

void Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    TwEventWin(nullptr, message, wParam, lParam);
}

void SendButton(const XButtonEvent& event, bool down)
{
    const LPARAM at = MAKELONG(event.x, event.y);
    const unsigned int masks[] = {0, Button1Mask, Button2Mask, Button3Mask};
    if (event.button == Button4 || event.button == Button5) {
        if (down)
            Send(WM_MOUSEWHEEL, MAKELONG(MouseKeys(event.state), event.button == Button4 ? 120 : -120), at);
        return;
    }
    if (event.button > Button3)
        return;
    const unsigned int state = down ? event.state | masks[event.button] : event.state & ~masks[event.button];
    static const UINT messages[][2] = {{0, 0},
                                       {WM_LBUTTONUP, WM_LBUTTONDOWN},
                                       {WM_MBUTTONUP, WM_MBUTTONDOWN},
                                       {WM_RBUTTONUP, WM_RBUTTONDOWN}};
    Send(messages[event.button][down ? 1 : 0], MouseKeys(state), at);
}

void SendKey(XKeyEvent& event, bool down)
{
    char text[8] = {};
    KeySym sym = 0;
    const int length = XLookupString(&event, text, sizeof text, &sym, nullptr);
    const WPARAM key = VirtualKey(sym);
    if (key != 0)
        Send(down ? WM_KEYDOWN : WM_KEYUP, key, 0);
    if (down && length == 1 && static_cast<unsigned char>(text[0]) >= 32)
        Send(WM_CHAR, static_cast<unsigned char>(text[0]), 0);
}
}

DemoWindow::~DemoWindow()
{
    if (context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
    }
    if (window != 0)
        XDestroyWindow(display, window);
    if (display != nullptr)
        XCloseDisplay(display);
}

bool DemoWindow::Open(int requestedWidth, int requestedHeight, const char* title)
{
    display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                        GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (visual == nullptr)
        return false;
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    windowAttributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                                  ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    window = XCreateWindow(display, root, 0, 0, requestedWidth, requestedHeight, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap | CWEventMask, &windowAttributes);
    context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    XStoreName(display, window, title);
    deleteMessage = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteMessage, 1);
    XMapWindow(display, window);
    width = requestedWidth;
    height = requestedHeight;
    open = context != nullptr && glXMakeCurrent(display, window, context);
    Send(WM_SIZE, 0, MAKELONG(width, height));
    return open;
}

void DemoWindow::Dispatch(XEvent& event)
{
    switch (event.type) {
    case ConfigureNotify:
        width = event.xconfigure.width;
        height = event.xconfigure.height;
        Send(WM_SIZE, 0, MAKELONG(width, height));
        break;
    case MotionNotify:
        Send(WM_MOUSEMOVE, MouseKeys(event.xmotion.state), MAKELONG(event.xmotion.x, event.xmotion.y));
        break;
    case ButtonPress:
    case ButtonRelease:
        SendButton(event.xbutton, event.type == ButtonPress);
        break;
    case KeyPress:
    case KeyRelease:
        SendKey(event.xkey, event.type == KeyPress);
        break;
    case ClientMessage:
        open = open && static_cast<Atom>(event.xclient.data.l[0]) != deleteMessage;
        break;
    default:
        break;
    }
}

bool DemoWindow::Pump()
{
    while (open && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        Dispatch(event);
    }
    return open;
}

void DemoWindow::Swap()
{
    glXSwapBuffers(display, window);
}
