// The GL window as the program opens it after the dialog: its pixel format
// with and without multisampling, the failure path, continuous frames, size
// messages, the mouse mapping and full screen.

#include "ProgramRun.h"

#include "GLWindow.h"
#include "DriverFlags.h"

#include "platform/WindowObjects.h"
#include "platform/X11Display.h"
#include "support/DesktopDisplay.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>

namespace
{
using AppTests::ProgramRun;
using KorvanaFramework::GLWindow;

const char* windowed = R"(Renderer : { VSync = false; FSAA = false; FSAALevel = 2; };
Window : { FullScreen = false; Screen : { Width = 800; Height = 600; Color = 32; RefreshRate = 60; }; };
)";

bool Contains(const std::vector<std::string>& messages, const std::string& text)
{
    return std::find(messages.begin(), messages.end(), text) != messages.end();
}

void SendFocus(HWND window, int type)
{
    Display* display = Platform::GetDisplay();
    XEvent event{};
    event.xfocus.type = type;
    event.xfocus.display = display;
    event.xfocus.window = window->xwindow;
    event.xfocus.mode = NotifyNormal;
    event.xfocus.detail = NotifyNonlinear;
    XSendEvent(display, window->xwindow, False, NoEventMask, &event);
    XSync(display, False);
}

void PressOk(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class GLWindowRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Platform::GetDisplay())
            GTEST_SKIP() << "no X display";
    }
};

TEST_F(GLWindowRun, MultisampledWhenFsaaIsChosenAndPlainOtherwise)
{
    for (const bool fsaa : {false, true}) {
        ProgramRun run(windowed);
        run.driver = [fsaa](HWND dialog) {
            if (fsaa)
                PostMessageA(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
            PressOk(dialog);
        };
        GLint samples = -1, stencil = 0;
        run.watcher = [&](GLWindow&, const MSG& msg) {
            if (msg.message == WM_PAINT) {
                glGetIntegerv(0x80A9 /* GL_SAMPLES */, &samples);
                glGetIntegerv(GL_STENCIL_BITS, &stencil);
            }
        };
        run.Run();
        EXPECT_EQ(samples, fsaa ? 4 : 0) << "fsaa " << fsaa;
        EXPECT_GE(stencil, 8);
    }
}

TEST_F(GLWindowRun, UnavailableSampleCountShowsTheWindowErrorAndLogsBoth)
{
    ProgramRun run(windowed);
    run.driver = [](HWND dialog) {
        // A level the driver does not have, as an edited file would give.
        const LRESULT index = SendDlgItemMessageA(dialog, 1009, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("64"));
        SendDlgItemMessageA(dialog, 1009, CB_SETITEMDATA, static_cast<WPARAM>(index), 64);
        SendDlgItemMessageA(dialog, 1009, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        CheckDlgButton(dialog, 1001, BST_CHECKED);
        PressOk(dialog);
    };
    run.Run();
    EXPECT_EQ(run.paints, 0);
    ASSERT_EQ(run.boxes.boxes.size(), 1u);
    EXPECT_EQ(run.boxes.boxes[0].text, "Nie można utworzyć okna OpenGL!");
    EXPECT_EQ(run.boxes.boxes[0].caption, "Błąd!");
    EXPECT_EQ(run.boxes.boxes[0].type, static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(Contains(run.log.Messages(), "Wymagany format pikseli jest niedostępny!"));
    EXPECT_TRUE(Contains(run.log.Messages(), "Nie można utworzyć okna OpenGL!"));
    EXPECT_NE(run.WrittenConfig().find("FSAALevel = 64;"), std::string::npos);
}

// A driver without the pixel-format and multisample extensions: the window
// asks for 32 bits of colour, depth and stencil, which no format has, and
// must still get a stencil buffer, which the shadow methods need.
TEST_F(GLWindowRun, WithoutFormatExtensionsTheWindowKeepsAStencilBuffer)
{
    const AppTests::WithoutExtensions driver(AppTests::DriverExtensions::PixelFormatAndMultisample);
    ProgramRun run(windowed);
    run.driver = PressOk;
    GLint stencilBits = -1;
    int32_t askedStencil = 0;
    run.watcher = [&](GLWindow& window, const MSG& msg) {
        if (msg.message == WM_PAINT && stencilBits < 0) {
            glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
            askedStencil = window.MaxStencilBits();
        }
    };
    run.Run();
    EXPECT_EQ(askedStencil, 32) << "the request made without the extensions";
    EXPECT_GT(stencilBits, 0);
}

TEST_F(GLWindowRun, FramesFollowEachOtherAndSizesReachTheRenderer)
{
    ProgramRun run(windowed);
    run.driver = PressOk;
    run.closeAfterPaints = 30;
    int firstWidth = 0, firstHeight = 0, resizedWidth = 0;
    Desktop::Frame frame;
    run.watcher = [&](GLWindow& window, const MSG& msg) {
        if (msg.message != WM_PAINT)
            return;
        if (run.paints == 1) {
            frame = Desktop::FrameExtents(Platform::GetDisplay(), msg.hwnd->xwindow);
            firstWidth = window.GetRenderer().ViewportWidth();
            firstHeight = window.GetRenderer().ViewportHeight();
            WINDOWPLACEMENT placement{};
            placement.length = sizeof placement;
            placement.showCmd = SW_SHOW;
            placement.rcNormalPosition = RECT{0, 0, 640, 400};
            SetWindowPlacement(msg.hwnd, &placement);
        }
        resizedWidth = window.GetRenderer().ViewportWidth();
    };
    run.Run();
    EXPECT_EQ(run.paints, 30);
    // The sizes are outer ones: a window manager's frame takes its share.
    EXPECT_EQ(firstWidth + frame.left + frame.right, 800);
    EXPECT_EQ(firstHeight + frame.top + frame.bottom, 600);
    EXPECT_EQ(resizedWidth + frame.left + frame.right, 640);
    EXPECT_TRUE(Contains(run.log.Messages(), "Plik sceny 'Scene/test.obj' nie został znaleziony."));
}

TEST_F(GLWindowRun, MouseDragsWithSeveralButtonsMoveTheCameraTogether)
{
    ProgramRun run(windowed);
    run.driver = PressOk;
    float yaw = 0, pitch = 0, distance = 0, panX = 0, panY = 0;
    run.watcher = [&](GLWindow& window, const MSG& msg) {
        if (msg.message != WM_PAINT || run.paints != 1)
            return;
        // Right of the bars, which would take the pointer over them.
        SendMessageA(msg.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 400));
        SendMessageA(msg.hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(610, 420));
        SendMessageA(msg.hwnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(600, 400));
        const auto& renderer = window.GetRenderer();
        yaw = renderer.yaw;
        pitch = renderer.pitch;
        distance = renderer.distance;
        panX = renderer.panX;
        panY = renderer.panY;
    };
    run.Run();
    EXPECT_FLOAT_EQ(yaw, 1.0f);
    EXPECT_FLOAT_EQ(pitch, 2.0f);
    EXPECT_FLOAT_EQ(distance, 10.2f);
    EXPECT_FLOAT_EQ(panX, -0.05f);
    EXPECT_FLOAT_EQ(panY, -0.1f);
}

TEST_F(GLWindowRun, FullScreenSwitchesOnShowAndFollowsActivation)
{
    ProgramRun run(R"(Window : { FullScreen = true; Screen : { Width = 1024; Height = 768; Color = 32; RefreshRate = 60; }; };
)");
    run.driver = PressOk;
    run.closeAfterPaints = 1000;
    bool focusMoved = false;
    run.watcher = [&](GLWindow&, const MSG& msg) {
        if (msg.message == WM_PAINT && !focusMoved) {
            // Away to another program and back, as the X server reports it.
            // Both events are queued before the close is taken, which must
            // not wait for a paint: a window manager may leave the window
            // minimised, and a minimised window gets none.
            focusMoved = true;
            SendFocus(msg.hwnd, FocusOut);
            SendFocus(msg.hwnd, FocusIn);
            PostMessageA(msg.hwnd, WM_CLOSE, 0, 0);
        }
    };
    run.Run();
    const auto& switches = run.display.switches;
    // A window manager carries out the minimise of the moment away after
    // the window came back, and takes the focus once more with it: one more
    // restore may come before the closing one.
    if (KorvanaOnDesktop()) {
        ASSERT_GE(switches.size(), 5u);
        EXPECT_TRUE(switches.back().restore);
    } else {
        ASSERT_EQ(switches.size(), 5u);
    }
    const bool restores[] = {false, false, true, false, true};  // show, activation, away, back, close
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(switches[i].restore, restores[i]) << i;
        if (!switches[i].restore) {
            EXPECT_EQ(switches[i].mode.dmPelsWidth, 1024u);
            EXPECT_EQ(switches[i].mode.dmBitsPerPel, 32u);
            EXPECT_EQ(switches[i].flags, static_cast<DWORD>(CDS_FULLSCREEN));
        }
    }
}

bool Framed(HWND window)
{
    Display* display = Platform::GetDisplay();
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window->xwindow, &attributes) &&
           attributes.map_state == IsViewable &&
           (!Desktop::WindowManagerRuns(display) || Desktop::FrameExtents(display, window->xwindow).top > 0);
}

// A window as large as the desktop's own mode, the dialog's first choice,
// fits the screen with its frame, as on Windows.
TEST_F(GLWindowRun, WindowOfTheScreensSizeFitsWithItsFrame)
{
    ProgramRun run(R"(Window : { FullScreen = false; Screen : { Width = 1280; Height = 1024; Color = 32; RefreshRate = 60; }; };
)");
    run.display.modes.push_back(AppTests::Mode(1280, 1024, 32, 60));
    run.driver = PressOk;
    run.closeAfterPaints = 100000;
    Desktop::Rect outer;
    int screenWidth = 0, screenHeight = 0;
    bool closed = false;
    const auto started = std::chrono::steady_clock::now();
    run.watcher = [&](GLWindow&, const MSG& msg) {
        const bool late = std::chrono::steady_clock::now() - started > std::chrono::seconds(10);
        if (msg.message != WM_PAINT || closed || (!Framed(msg.hwnd) && !late))
            return;
        Display* display = Platform::GetDisplay();
        outer = Desktop::OuterRect(display, msg.hwnd->xwindow);
        screenWidth = DisplayWidth(display, DefaultScreen(display));
        screenHeight = DisplayHeight(display, DefaultScreen(display));
        closed = true;
        PostMessageA(msg.hwnd, WM_CLOSE, 0, 0);
    };
    run.Run();
    ASSERT_EQ(screenWidth, 1280) << "the test expects the virtual display's 1280 x 1024";
    EXPECT_EQ(outer.width, 1280);
    EXPECT_EQ(outer.height, 1024);
    EXPECT_GE(outer.x, 0);
    EXPECT_GE(outer.y, 0);
    EXPECT_LE(outer.x + outer.width, screenWidth);
    EXPECT_LE(outer.y + outer.height, screenHeight);
}

// The title bar's close button ends the program as its own closing does,
// settings written.
TEST_F(GLWindowRun, ClosingFromTheTitleBarEndsTheProgram)
{
    ProgramRun run(windowed);
    run.driver = PressOk;
    run.closeAfterPaints = 100000;
    bool asked = false, forced = false;
    auto askedAt = std::chrono::steady_clock::now();
    run.watcher = [&](GLWindow&, const MSG& msg) {
        if (msg.message != WM_PAINT)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (!asked && Framed(msg.hwnd)) {
            asked = true;
            askedAt = now;
            Desktop::CloseFromTitleBar(Platform::GetDisplay(), msg.hwnd->xwindow);
        } else if (asked && !forced && now - askedAt > std::chrono::seconds(5)) {
            forced = true;
            PostMessageA(msg.hwnd, WM_CLOSE, 0, 0);
        }
    };
    run.Run();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(forced) << "the window manager's close did not reach the program";
    EXPECT_NE(run.WrittenConfig().find("Width = 800;"), std::string::npos);
}
}
