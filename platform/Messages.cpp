// The thread's message queue: posted messages, the quit message and the
// paint messages of windows whose update region is not empty.

#include "PlatformTesting.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <utility>

namespace
{
std::deque<MSG> posted;
bool quitPosted = false;
int quitCode = 0;
std::size_t nextPaint = 0;  // windows take turns at painting

bool InRange(UINT message, UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    return (!window || msg.hwnd == window) && InRange(msg.message, filterMin, filterMax);
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return MSG{window, message, wParam, lParam, Platform::MessageTime(), POINT{0, 0}};
}

// A window due for painting: shown, not minimised, with an update region.
bool FindPaint(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (!InRange(WM_PAINT, filterMin, filterMax))
        return false;
    const std::vector<HWND> windows = Platform::TopLevelWindows();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const std::size_t index = (nextPaint + i) % windows.size();
        HWND w = windows[index];
        if (w->visible && !w->minimized && w->invalid && (!window || window == w)) {
            nextPaint = index + 1;
            *msg = MakeMessage(w, WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

// Windows' order: posted messages, then the quit message, then paints.
bool NextMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove)
{
    Platform::ProcessXEvents(false);
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if (remove)
                posted.erase(it);
            return true;
        }
    }
    if (quitPosted && !window && InRange(WM_QUIT, filterMin, filterMax)) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (remove)
            quitPosted = false;
        return true;
    }
    return FindPaint(msg, window, filterMin, filterMax);
}
}

namespace Platform
{
bool TakePostedMessage(MSG* msg, const std::function<bool(const MSG&)>& wanted)
{
    const auto it = std::find_if(posted.begin(), posted.end(), wanted);
    if (it == posted.end())
        return false;
    *msg = *it;
    posted.erase(it);
    return true;
}

void PostMessageFirst(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    posted.push_front(MakeMessage(window, message, wParam, lParam));
}

// A destroyed window's messages are dropped with it.
void DiscardMessages(HWND window)
{
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [window](const MSG& msg) { return msg.hwnd == window; }),
                 posted.end());
}
}

namespace
{
PlatformTesting::MessageHook& Hook()
{
    static PlatformTesting::MessageHook hook;
    return hook;
}
}

namespace PlatformTesting
{
void SetMessageHook(MessageHook hook)
{
    Hook() = std::move(hook);
}
}

// Waits for messages; without a display nothing can ever arrive, so an empty
// queue is an error (-1) instead of a wait without end.
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    for (;;) {
        if (NextMessage(msg, window, filterMin, filterMax, true)) {
            if (Hook())
                Hook()(*msg);
            return msg->message != WM_QUIT;
        }
        if (!Platform::GetDisplay())
            return -1;
        Platform::ProcessXEvents(true);
    }
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage)
{
    return NextMessage(msg, window, filterMin, filterMax, (removeMessage & PM_REMOVE) != 0);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !Platform::LiveWindow(window))
        return FALSE;
    posted.push_back(MakeMessage(window, message, wParam, lParam));
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!Platform::LiveWindow(window) || !window->windowProc)
        return 0;
    return window->windowProc(window, message, wParam, lParam);
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}
