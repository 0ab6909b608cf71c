// Under openbox, the program in full screen gives the desktop its mode back
// and minimises itself when the user turns to another window, and takes its
// mode and its place again when the user comes back to it.

#include "XorgScreen.h"
#include "ProgramProcess.h"

#include <X11/Xatom.h>

#include <signal.h>

bool KorvanaOnDesktop();

using namespace FullScreenTests;

namespace
{
// A long-valued property's first value, or -1.
long FirstValue(Display* display, Window window, const char* property, Atom type)
{
    Atom actualType;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data && count > 0)
        value = reinterpret_cast<long*>(data)[0];
    if (data)
        XFree(data);
    return value;
}

// The managed window whose class is `className`, or None.
Window ClientOfClass(Display* display, const char* className)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    Window found = None;
    XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_CLIENT_LIST", False), 0,
                       1024, False, XA_WINDOW, &type, &format, &count, &after, &data);
    for (unsigned long i = 0; data && i < count && found == None; ++i) {
        const Window client = reinterpret_cast<Window*>(data)[i];
        XClassHint hint{};
        if (XGetClassHint(display, client, &hint)) {
            if (std::string(hint.res_class) == className)
                found = client;
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (data)
        XFree(data);
    return found;
}

// Asks the window manager to activate `window`, as a task bar does.
void Activate(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // from a pager or task bar: always obeyed
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XFlush(display);
}

long WmState(Display* display, Window window)
{
    return FirstValue(display, window, "WM_STATE", XInternAtom(display, "WM_STATE", False));
}

class Activation : public XorgScreen
{
protected:
    void SetUp() override
    {
        if (!KorvanaOnDesktop())
            GTEST_SKIP() << "needs the window manager";
        XorgScreen::SetUp();
    }
};
}

TEST_F(Activation, FullScreenLeavesAndComesBackWithTheWindow)
{
    Display* display = probe->display();
    ProgramProcess program(FullScreenConfig(), name);
    ASSERT_TRUE(program.WaitReady(60));
    ASSERT_TRUE(ShowsProgramMode());
    Window glWindow = None;
    ASSERT_TRUE(Eventually([&] { return (glWindow = ClientOfClass(display, "GLWindow")) != None; }, 10));

    // Another window of the test's own gets the focus.
    const Window other = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XClassHint otherClass{const_cast<char*>("other"), const_cast<char*>("OtherWindow")};
    XSetClassHint(display, other, &otherClass);
    XMapWindow(display, other);
    ASSERT_TRUE(Eventually([&] { return ClientOfClass(display, "OtherWindow") != None; }, 10));
    Activate(display, other);
    EXPECT_TRUE(Eventually([&] { return ShowsDesktop() && WmState(display, glWindow) == IconicState; }, 10))
        << probe->Now().ToString() << ", WM_STATE " << WmState(display, glWindow);

    // Back to the program: its mode, and its window over the whole screen.
    Activate(display, glWindow);
    EXPECT_TRUE(Eventually([&] { return ShowsProgramMode() && WmState(display, glWindow) == NormalState; }, 10))
        << probe->Now().ToString() << ", WM_STATE " << WmState(display, glWindow);
    XWindowAttributes attributes{};
    EXPECT_TRUE(Eventually([&] {
        XGetWindowAttributes(display, glWindow, &attributes);
        return attributes.map_state == IsViewable && attributes.width == 800 && attributes.height == 600;
    }, 10)) << attributes.width << " x " << attributes.height;

    // The mode switched again is guarded again.
    program.EndBy(SIGKILL);
    EXPECT_TRUE(Eventually([this] { return ShowsDesktop(); }, 10)) << probe->Now().ToString();
    XDestroyWindow(display, other);
    XSync(display, False);
}
