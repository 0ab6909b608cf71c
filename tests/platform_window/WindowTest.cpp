// Windows and the message queue on a real X display: creation messages,
// continuous painting, X events as messages, user data and placement.

#include <gtest/gtest.h>

#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"
#include "platform/WindowObjects.h"
#include "platform/X11Display.h"
#include "support/DesktopDisplay.h"

#include <X11/keysym.h>

#include <chrono>
#include <vector>

namespace
{
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> seen;
LRESULT createResult = 0;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen.push_back({message, wParam, lParam});
    if (message == WM_CREATE)
        return createResult;
    return DefWindowProcA(window, message, wParam, lParam);
}

class Windows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Platform::GetDisplay())
            GTEST_SKIP() << "no X display";
        seen.clear();
        createResult = 0;
        PlatformTesting::ForgetWindowClasses();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "TestWindow";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
    }

    HWND Create(int width = 320, int height = 200)
    {
        return CreateWindowExA(0, "TestWindow", "Próba", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    }

    // Takes messages as a program's loop would, until `done` or a few
    // seconds have passed.
    template <typename Done>
    void Pump(Done done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        MSG msg;
        while (!done() && std::chrono::steady_clock::now() < deadline)
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }

    // The client size of a framed window created or placed with this outer
    // size: smaller by the window manager's frame, where one runs.
    static RECT ClientOf(HWND window, int width, int height)
    {
        const Desktop::Frame frame = Desktop::FrameExtents(Platform::GetDisplay(), window->xwindow);
        return RECT{0, 0, width - frame.left - frame.right, height - frame.top - frame.bottom};
    }

    bool SawSize(const RECT& client) const
    {
        for (const Seen& s : seen)
            if (s.message == WM_SIZE && LOWORD(s.lParam) == client.right && HIWORD(s.lParam) == client.bottom)
                return true;
        return false;
    }

    bool SawMessage(UINT message) const
    {
        for (const Seen& s : seen)
            if (s.message == message)
                return true;
        return false;
    }
};

// The size asked for is the outer one: on a desktop the window manager's
// frame takes its share, and only the client area is left.
TEST_F(Windows, CreationSendsItsMessagesAndTheClientSizeBeforeReturning)
{
    HWND window = Create(320, 200);
    ASSERT_NE(window, nullptr);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(seen[2].message, static_cast<UINT>(WM_SIZE));
    const RECT client = ClientOf(window, 320, 200);
    EXPECT_EQ(LOWORD(seen[2].lParam), client.right);
    EXPECT_EQ(HIWORD(seen[2].lParam), client.bottom);
    if (KorvanaOnDesktop()) {
        EXPECT_GT(320 * 200, client.right * client.bottom) << "no frame on a desktop";
    }
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Windows, FailedCreationDestroysTheWindowWithItsDestroyMessage)
{
    createResult = -1;
    EXPECT_EQ(Create(), nullptr);
    EXPECT_TRUE(SawMessage(WM_DESTROY));
    EXPECT_FALSE(SawMessage(WM_SIZE));
}

// X reports a refused request only after the call returned; the window
// must still come back as a failure, with its cause.
TEST_F(Windows, WindowTheServerRefusesIsNotCreated)
{
    SetLastError(ERROR_SUCCESS);
    // 65536 reaches the server as a width of 0, which it refuses.
    EXPECT_EQ(Create(65536, 200), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SawMessage(WM_CREATE));
    // Later requests are unaffected.
    HWND window = Create();
    EXPECT_NE(window, nullptr);
    DestroyWindow(window);
}

TEST_F(Windows, UserDataHoldsAWholePointer)
{
    HWND window = Create();
    static int object;
    const LONG_PTR value = reinterpret_cast<LONG_PTR>(&object);
    EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, value), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), value);
    DestroyWindow(window);
}

TEST_F(Windows, UnvalidatedWindowPaintsOnEveryEmptyQueueAndPostedMessagesComeFirst)
{
    HWND window = Create();
    ShowWindow(window, SW_SHOW);
    MSG msg;
    PostMessageA(window, WM_APP, 7, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
        EXPECT_EQ(msg.hwnd, window);
    }
    // Default processing validates: painting stops until the next change.
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    DestroyWindow(window);
}

TEST_F(Windows, QuitFollowsPostedMessagesAndEndsGetMessage)
{
    PostMessageA(nullptr, WM_APP, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Windows, DestroyedWindowLosesItsQueuedMessages)
{
    HWND window = Create();
    PostMessageA(window, WM_APP, 0, 0);
    DestroyWindow(window);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(window, WM_APP, 0, 0));
}

// Synthetic X events as the server would deliver them.
void SendXEvent(HWND window, XEvent event)
{
    Display* display = Platform::GetDisplay();
    event.xany.display = display;
    event.xany.window = window->xwindow;
    XSendEvent(display, window->xwindow, False, NoEventMask, &event);
    XFlush(display);
}

XEvent Button(int type, unsigned button, unsigned state, int x, int y)
{
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.button = button;
    event.xbutton.state = state;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.same_screen = True;
    return event;
}

TEST_F(Windows, MouseEventsBecomeMessagesWithClientWordsAndHeldButtons)
{
    HWND window = Create();
    XEvent motion{};
    motion.xmotion.type = MotionNotify;
    motion.xmotion.state = Button1Mask | Button2Mask | ShiftMask;
    motion.xmotion.x = -2;
    motion.xmotion.y = 40;
    SendXEvent(window, Button(ButtonPress, Button3, Button1Mask, 10, 20));
    SendXEvent(window, motion);
    SendXEvent(window, Button(ButtonRelease, Button1, Button1Mask, 11, 21));
    SendXEvent(window, Button(ButtonPress, Button5, 0, 5, 6));
    Pump([] { return seen.size() > 0 && seen.back().message == WM_MOUSEWHEEL; });

    std::vector<Seen> mouse;
    for (const Seen& s : seen)
        if (s.message >= WM_MOUSEMOVE && s.message <= WM_MOUSEWHEEL)
            mouse.push_back(s);
    ASSERT_EQ(mouse.size(), 4u);
    EXPECT_EQ(mouse[0].message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(mouse[0].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(LOWORD(mouse[0].lParam), 10);
    EXPECT_EQ(HIWORD(mouse[0].lParam), 20);
    EXPECT_EQ(mouse[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(mouse[1].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_MBUTTON | MK_SHIFT));
    EXPECT_EQ(LOWORD(mouse[1].lParam), 0xFFFE);  // left of the client area
    EXPECT_EQ(mouse[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(mouse[2].wParam, 0u);
    EXPECT_EQ(mouse[3].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(mouse[3].wParam), -WHEEL_DELTA);
    DestroyWindow(window);
}

TEST_F(Windows, CloseButtonClosesAndDefaultProcessingDestroys)
{
    HWND window = Create();
    Display* display = Platform::GetDisplay();
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    SendXEvent(window, close);
    Pump([window] { return !IsWindow(window); });
    EXPECT_TRUE(SawMessage(WM_CLOSE));
    EXPECT_TRUE(SawMessage(WM_DESTROY));
    EXPECT_FALSE(IsWindow(window));
}

// Another client destroying the window must not end the program: the
// destruction arrives as WM_DESTROY and requests on the dead window are
// reported, not fatal.
TEST_F(Windows, WindowDestroyedByAnotherClientArrivesAsDestroy)
{
    HWND window = Create();
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(Desktop::DestroyAsAnotherClient(window->xwindow));
    Pump([window] { return !IsWindow(window); });
    EXPECT_TRUE(SawMessage(WM_DESTROY));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Windows, PlacementResizesAndTheNewClientSizeArrives)
{
    HWND window = Create(320, 200);
    ShowWindow(window, SW_SHOW);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(WINDOWPLACEMENT);
    placement.showCmd = SW_RESTORE;
    placement.rcNormalPosition = RECT{0, 0, 400, 300};
    EXPECT_TRUE(SetWindowPlacement(window, &placement));
    seen.clear();
    const RECT expected = ClientOf(window, 400, 300);
    Pump([&] { return SawSize(expected); });
    EXPECT_TRUE(SawSize(expected));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
    DestroyWindow(window);
}

TEST_F(Windows, ActivationFollowsShowingAndMinimising)
{
    HWND window = Create();
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(SawMessage(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(seen.back().wParam), WA_ACTIVE);
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(LOWORD(seen.back().wParam), WA_INACTIVE);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_PAINT, WM_PAINT, PM_NOREMOVE));  // minimised
    DestroyWindow(window);
}
TEST_F(Windows, KeysBecomeVirtualKeysAndTranslationAddsTheCharacter)
{
    HWND window = Create();
    Display* display = Platform::GetDisplay();
    XEvent key{};
    key.xkey.type = KeyPress;
    key.xkey.keycode = XKeysymToKeycode(display, XK_a);
    key.xkey.same_screen = True;
    key.xkey.time = 100;
    SendXEvent(window, key);
    key.xkey.type = KeyRelease;
    key.xkey.time = 200;
    SendXEvent(window, key);
    Pump([] { return !seen.empty() && seen.back().message == WM_KEYUP; });

    std::vector<Seen> keys;
    for (const Seen& s : seen)
        if (s.message >= WM_KEYDOWN && s.message <= WM_CHAR)
            keys.push_back(s);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
    DestroyWindow(window);
}
}
