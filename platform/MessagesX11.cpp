// X events turned into window messages: exposure, size, activation, mouse,
// keys and the close button.

#include "WindowObjects.h"
#include "X11Display.h"
#include "X11Keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <map>
#include <poll.h>

namespace
{
// The character each key gave when pressed, by X key code, for
// TranslateMessage (the key code travels in the message's scan-code bits).
std::map<unsigned, WPARAM> keyCharacters;

WPARAM MouseFlags(unsigned state)
{
    WPARAM flags = 0;
    if (state & Button1Mask)
        flags |= MK_LBUTTON;
    if (state & Button2Mask)
        flags |= MK_MBUTTON;
    if (state & Button3Mask)
        flags |= MK_RBUTTON;
    if (state & ShiftMask)
        flags |= MK_SHIFT;
    if (state & ControlMask)
        flags |= MK_CONTROL;
    return flags;
}

// X reports the buttons held before the event; Windows those held after it.
unsigned StateAfterButton(unsigned state, unsigned button, bool pressed)
{
    const unsigned masks[] = {0, Button1Mask, Button2Mask, Button3Mask};
    if (button < 1 || button > 3)
        return state;
    return pressed ? state | masks[button] : state & ~masks[button];
}

LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PostMessageA(window, message, wParam, lParam);
}

void TranslateButton(HWND window, const XButtonEvent& event, bool pressed)
{
    const WPARAM flags = MouseFlags(StateAfterButton(event.state, event.button, pressed));
    const LPARAM point = ClientPoint(event.x, event.y);
    switch (event.button) {
    case Button1:
        Post(window, pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP, flags, point);
        break;
    case Button2:
        Post(window, pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP, flags, point);
        break;
    case Button3:
        Post(window, pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP, flags, point);
        break;
    case Button4:
    case Button5:
        if (pressed) {
            const int delta = event.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
            Post(window, WM_MOUSEWHEEL, MAKEWPARAM(flags, static_cast<WORD>(delta)), point);
        }
        break;
    default:
        break;
    }
}

// The Unicode character a key press types, or 0: Latin-1 keysyms are their
// own code points and Unicode keysyms carry theirs.
WPARAM KeyCharacter(XKeyEvent& event)
{
    char buffer[8];
    KeySym keysym = NoSymbol;
    const int length = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
    if (length == 1 && static_cast<unsigned char>(buffer[0]) < 0x20)
        return static_cast<unsigned char>(buffer[0]);
    if (keysym >= 0x20 && keysym <= 0xff)
        return keysym;
    if ((keysym & 0xff000000) == 0x01000000)
        return keysym & 0x00ffffff;
    return 0;
}

// X repeats a held key as release and press with one time stamp; Windows
// sends only further key-down messages.
bool IsAutoRepeatRelease(Display* display, const XKeyEvent& release)
{
    if (!XEventsQueued(display, QueuedAfterReading))
        return false;
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == KeyPress && next.xkey.keycode == release.keycode &&
           next.xkey.time == release.time;
}

void TranslateKey(Display* display, HWND window, XKeyEvent& event, bool pressed)
{
    const WPARAM key = Platform::VirtualKeyFromKeySym(XLookupKeysym(&event, 0));
    if (key == 0)
        return;
    LPARAM lParam = 1 | static_cast<LPARAM>(event.keycode & 0xff) << 16;
    if (pressed) {
        keyCharacters[event.keycode & 0xff] = KeyCharacter(event);
        Post(window, WM_KEYDOWN, key, lParam);
    } else if (!IsAutoRepeatRelease(display, event)) {
        lParam |= static_cast<LPARAM>(0xC0000000u);
        Post(window, WM_KEYUP, key, lParam);
    }
}

// Focus moves caused by grabs (a window manager's task switcher, a menu)
// are not activation changes; neither are moves between child windows.
bool IsActivationChange(const XFocusChangeEvent& event)
{
    return event.mode != NotifyGrab && event.mode != NotifyUngrab &&
           event.detail != NotifyInferior && event.detail != NotifyPointer;
}

// Sizes come from the server's own events; a window manager's synthetic
// ones only tell where its frame moved the window.
void TranslateConfigure(HWND window, const XConfigureEvent& event)
{
    // WORKAROUND(openbox): its synthetic event after the frame-extents request carries the size from before the window was fitted into the frame.
    if (event.window != window->xwindow || event.send_event)
        return;
    if (event.width == window->width && event.height == window->height)
        return;
    window->width = event.width;
    window->height = event.height;
    window->invalid = true;
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.width, event.height));
}

void Translate(Display* display, XEvent& event)
{
    HWND window = Platform::WindowFromX(event.xany.window);
    if (!window)
        return;
    switch (event.type) {
    case Expose:
        window->invalid = true;
        break;
    case ConfigureNotify:
        TranslateConfigure(window, event.xconfigure);
        break;
    case MapNotify:
        if (window->minimized && window->visible && !window->iconifyPending &&
            event.xany.serial >= window->iconifySerial) {
            window->minimized = false;
            window->invalid = true;
        }
        break;
    case UnmapNotify:
        if (window->visible && event.xunmap.window == window->xwindow) {
            window->minimized = true;
            window->iconifyPending = false;
        }
        break;
    case FocusIn:
        if (IsActivationChange(event.xfocus))
            Platform::SetActive(window, true);
        break;
    case FocusOut:
        if (IsActivationChange(event.xfocus))
            Platform::SetActive(window, false);
        break;
    case ButtonPress:
    case ButtonRelease:
        TranslateButton(window, event.xbutton, event.type == ButtonPress);
        break;
    case MotionNotify:
        Post(window, WM_MOUSEMOVE, MouseFlags(event.xmotion.state),
             ClientPoint(event.xmotion.x, event.xmotion.y));
        break;
    case KeyPress:
    case KeyRelease:
        TranslateKey(display, window, event.xkey, event.type == KeyPress);
        break;
    case DestroyNotify:
        // Destroyed from outside the program (another client, a killed
        // window manager frame): end it as if the program had closed it.
        if (event.xdestroywindow.window == window->xwindow)
            DestroyWindow(window);
        break;
    case ClientMessage:
        if (event.xclient.message_type == XInternAtom(display, "WM_PROTOCOLS", False) &&
            static_cast<Atom>(event.xclient.data.l[0]) ==
                XInternAtom(display, "WM_DELETE_WINDOW", False))
            SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}
}

namespace Platform
{
void ProcessXEvents(bool wait)
{
    Display* display = GetDisplay();
    if (!display)
        return;
    if (wait && XPending(display) == 0) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, -1);
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        Translate(display, event);
    }
}
}

// Key-down messages of keys that type a character are followed by WM_CHAR,
// before anything else queued.
BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    const auto it = keyCharacters.find(static_cast<unsigned>((msg->lParam >> 16) & 0xff));
    if (it == keyCharacters.end() || it->second == 0)
        return FALSE;
    if (!Platform::LiveWindow(msg->hwnd))
        return FALSE;
    Platform::PostMessageFirst(msg->hwnd, WM_CHAR, it->second, msg->lParam);
    return TRUE;
}
