// Window classes and windows: creation with its creation messages, default
// processing, showing, placement, invalidation and the user-data slot.

#include "PlatformTesting.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <algorithm>
#include <string>

static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT keeps its Windows layout");

namespace
{
std::vector<WNDCLASSA>& Classes()
{
    static std::vector<WNDCLASSA> classes;
    return classes;
}

// Class names are kept by the layer, not borrowed from the caller.
std::vector<std::string>& ClassNames()
{
    static std::vector<std::string> names;
    return names;
}

const WNDCLASSA* FindClass(LPCSTR name)
{
    for (std::size_t i = 0; i < ClassNames().size(); ++i)
        if (name && ClassNames()[i] == name)
            return &Classes()[i];
    return nullptr;
}

bool IsActivating(int showCommand)
{
    return showCommand == SW_SHOW || showCommand == SW_SHOWNORMAL ||
           showCommand == SW_RESTORE || showCommand == SW_SHOWDEFAULT ||
           showCommand == SW_SHOWMAXIMIZED || showCommand == SW_SHOWMINIMIZED;
}

bool IsMinimizing(int showCommand)
{
    return showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
           showCommand == SW_SHOWMINNOACTIVE;
}
}

namespace Platform
{
void SetActive(HWND window, bool active)
{
    if (window->active == active)
        return;
    if (active)
        for (HWND other : TopLevelWindows())
            if (other != window && other->active)
                SetActive(other, false);
    window->active = active;
    SendMessageA(window, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}
}

namespace PlatformTesting
{
void ForgetWindowClasses()
{
    Classes().clear();
    ClassNames().clear();
}
}

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc ||
        FindClass(windowClass->lpszClassName))
        return 0;
    Classes().push_back(*windowClass);
    ClassNames().push_back(windowClass->lpszClassName);
    Classes().back().lpszClassName = nullptr;
    return static_cast<ATOM>(0xC000 + Classes().size());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param)
{
    const WNDCLASSA* windowClass = FindClass(className);
    Display* display = Platform::GetDisplay();
    if (!windowClass || !display)
        return nullptr;

    HWND window = Platform::NewWindow();
    window->className = className;
    window->windowProc = windowClass->lpfnWndProc;
    window->style = style;
    window->exStyle = exStyle;
    window->text = windowName ? windowName : "";
    window->x = x;
    window->y = y;
    window->width = std::max(width, 1);
    window->height = std::max(height, 1);
    window->icon = windowClass->hIcon;
    const int screen = DefaultScreen(display);
    if (!Platform::CreateNativeWindow(window, DefaultVisual(display, screen),
                                      DefaultDepth(display, screen))) {
        Platform::FreeWindow(window);
        return nullptr;
    }
    // The size asked for is the outer one, as on Windows.
    Platform::FitClientInFrame(window);

    CREATESTRUCTA create{param, instance, menu, parent, std::max(height, 1), std::max(width, 1), y, x,
                         static_cast<LONG>(style), windowName, className, exStyle};
    if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        Platform::DestroyNativeWindow(window);
        Platform::FreeWindow(window);
        return nullptr;
    }
    if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (!Platform::LiveWindow(window))
        return nullptr;
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(window->width, window->height));
    if (Platform::LiveWindow(window) && (style & WS_VISIBLE))
        ShowWindow(window, SW_SHOW);
    return Platform::LiveWindow(window);
}

BOOL DestroyWindow(HWND window)
{
    if (!Platform::LiveWindow(window) || window->xwindow == 0)
        return FALSE;
    if (window->active)
        window->active = false;
    SendMessageA(window, WM_DESTROY, 0, 0);
    Platform::DestroyNativeWindow(window);
    Platform::DiscardMessages(window);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    Platform::FreeWindow(window);
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    if (!Platform::LiveWindow(window))
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
        window->invalid = false;
        return 0;
    case WM_SETTEXT:
        window->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        Platform::SetNativeTitle(window);
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        const std::size_t count = std::min<std::size_t>(window->text.size(), wParam - 1);
        window->text.copy(reinterpret_cast<char*>(lParam), count);
        reinterpret_cast<char*>(lParam)[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    default:
        return 0;
    }
}

BOOL ShowWindow(HWND window, int showCommand)
{
    if (!Platform::LiveWindow(window) || window->parent)
        return FALSE;
    const BOOL wasVisible = window->visible;
    if (showCommand == SW_HIDE) {
        Platform::UnmapNativeWindow(window);
        window->visible = false;
        if (window->active)
            Platform::SetActive(window, false);
        return wasVisible;
    }
    if (IsMinimizing(showCommand)) {
        window->visible = true;
        window->minimized = true;
        Platform::IconifyNativeWindow(window);
        if (showCommand != SW_SHOWMINIMIZED && window->active)
            Platform::SetActive(window, false);
        return wasVisible;
    }
    window->visible = true;
    window->minimized = false;
    window->iconifyPending = false;
    window->invalid = true;
    Platform::MapNativeWindow(window);
    if (IsActivating(showCommand))
        Platform::SetActive(window, true);
    return wasVisible;
}

BOOL UpdateWindow(HWND window)
{
    if (!Platform::LiveWindow(window))
        return FALSE;
    if (window->visible && !window->minimized && window->invalid)
        SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL)
{
    if (!window) {
        for (HWND w : Platform::TopLevelWindows())
            w->invalid = true;
        return TRUE;
    }
    if (!Platform::LiveWindow(window))
        return FALSE;
    window->invalid = true;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement)
{
    if (!Platform::LiveWindow(window) || !placement ||
        placement->length != sizeof(WINDOWPLACEMENT))
        return FALSE;
    const RECT& r = placement->rcNormalPosition;
    Platform::MoveNativeWindow(window, r.left, r.top, std::max<LONG>(r.right - r.left, 1),
                               std::max<LONG>(r.bottom - r.top, 1));
    ShowWindow(window, static_cast<int>(placement->showCmd));
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (!Platform::LiveWindow(window) || !rect)
        return FALSE;
    *rect = RECT{0, 0, window->width, window->height};
    return TRUE;
}

LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR newLong)
{
    if (!Platform::LiveWindow(window) || index != GWL_USERDATA)
        return 0;
    const LONG_PTR previous = window->userData;
    window->userData = newLong;
    return previous;
}

LONG_PTR GetWindowLongA(HWND window, int index)
{
    if (!Platform::LiveWindow(window) || index != GWL_USERDATA)
        return 0;
    return window->userData;
}
