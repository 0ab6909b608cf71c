// The table of live windows: handles are addresses of window objects, and a
// handle counts as a window only while it is in this table.

#include "DialogState.h"
#include "WindowObjects.h"

#include <algorithm>
#include <chrono>

HWND__::HWND__() = default;
HWND__::~HWND__() = default;

namespace
{
std::vector<std::unique_ptr<HWND__>>& Table()
{
    static std::vector<std::unique_ptr<HWND__>> table;
    return table;
}
}

namespace Platform
{
HWND NewWindow()
{
    Table().push_back(std::make_unique<HWND__>());
    HWND window = Table().back().get();
    window->dc.window = window;
    return window;
}

void FreeWindow(HWND window)
{
    for (HWND child : std::vector<HWND>(window->children))
        FreeWindow(child);
    auto& table = Table();
    table.erase(std::remove_if(table.begin(), table.end(),
                               [window](const std::unique_ptr<HWND__>& w) { return w.get() == window; }),
                table.end());
}

HWND LiveWindow(HWND window)
{
    if (!window)
        return nullptr;
    for (const auto& w : Table())
        if (w.get() == window)
            return window;
    return nullptr;
}

HWND WindowFromX(::Window xwindow)
{
    for (const auto& w : Table())
        if (xwindow != 0 && (w->xwindow == xwindow || w->dc.drawable == xwindow))
            return w.get();
    return nullptr;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    for (const auto& w : Table())
        if (!w->parent)
            windows.push_back(w.get());
    return windows;
}

DWORD MessageTime()
{
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
}
}

BOOL IsWindow(HWND window)
{
    return Platform::LiveWindow(window) != nullptr;
}
