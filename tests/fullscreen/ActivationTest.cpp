// Under openbox, the program in full screen gives the desktop its mode back
// and minimises itself when the user turns to another window, and takes its
// mode and its place again when the user comes back to it.

#include "XorgScreen.h"
#include "ProgramProcess.h"
#include "support/DesktopDisplay.h"

#include <signal.h>

using namespace FullScreenTests;
using Desktop::Activate;
using Desktop::ClientOfClass;

namespace
{
long WmState(Display* display, Window window)
{
    const std::vector<long> state =
        Desktop::LongsProperty(display, window, "WM_STATE", XInternAtom(display, "WM_STATE", False));
    return state.empty() ? -1 : state[0];
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
