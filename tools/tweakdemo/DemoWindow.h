// The demo's own X11 window with a GLX context, whose events reach the bars
// as the window messages the program's window would send them.
#pragma once

#include <X11/Xlib.h>

#include <GL/glx.h>

class DemoWindow
{
public:
    DemoWindow() = default;
    ~DemoWindow();
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Opens the window with a current GL context; false without a display.
    bool Open(int width, int height, const char* title);
    // Hands the pending X events to TwEventWin; false once the window closes.
    bool Pump();
    void Swap();

    int width = 0;
    int height = 0;

private:
    void Dispatch(XEvent& event);

    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
    Atom deleteMessage = 0;
    bool open = false;
};
