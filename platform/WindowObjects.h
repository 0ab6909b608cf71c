// What the window handles of the platform layer point at: windows with their
// X window, device context and (for dialogs) controls, and the table of live
// windows. Internal to platform/.
#pragma once

#include "Win32Api.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform
{
struct DialogState;

// One entry of a drop-down list.
struct ListEntry {
    std::string text;
    LPARAM data = 0;
};

// The state of a dialog control, kept by the layer as Windows keeps it.
struct ControlState {
    std::string kind;     // "BUTTON", "STATIC" or "COMBOBOX"
    DWORD style = 0;      // the template's control style
    UINT check = BST_UNCHECKED;
    std::vector<ListEntry> entries;
    int selection = CB_ERR;
};
}

// A window's device context. GL draws into `drawable`: the window itself, or,
// for a window the layer draws with its own context, a hidden child window.
struct HDC__ {
    HWND window = nullptr;
    int pixelFormat = 0;
    GLXFBConfig config = nullptr;
    ::Window drawable = 0;
    ::Colormap drawableColormap = 0;
    HPALETTE palette = nullptr;
};

struct HWND__ {
    std::string className;
    WNDPROC windowProc = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    int x = 0;
    int y = 0;
    int width = 0;  // client area, pixels
    int height = 0;
    RECT frame{};   // the window manager's frame around the client area
    LONG_PTR userData = 0;
    HICON icon = nullptr;

    ::Window xwindow = 0;
    ::Colormap colormap = 0;
    ::Visual* visual = nullptr;
    bool visible = false;
    bool minimized = false;
    // Request number of the last minimise: map events older than it were
    // caused by an earlier show and must not restore the window.
    unsigned long iconifySerial = 0;
    // Asked a window manager to minimise and it has not done so yet: a map
    // event until then is its earlier showing, not a restore.
    bool iconifyPending = false;
    bool active = false;
    bool invalid = false;      // the update region is not empty
    HDC__ dc;

    int controlId = 0;
    std::unique_ptr<Platform::ControlState> control;
    std::unique_ptr<Platform::DialogState> dialog;
    std::vector<HWND> children;

    HWND__();
    ~HWND__();
};

namespace Platform
{
// A new window object in the table of live windows.
HWND NewWindow();
// Removes the window and its children from the table and frees them.
void FreeWindow(HWND window);
// The window if it is live, else null: handles of destroyed windows may
// still sit in queued messages.
HWND LiveWindow(HWND window);
// The live window whose X window (or device-context drawable) this is.
HWND WindowFromX(::Window xwindow);
// Every live top-level window, in creation order.
std::vector<HWND> TopLevelWindows();

// Creates (or re-creates, with another visual) the X window of a top-level
// window: its events, close protocol, title, icon and full-screen state.
// False, with the cause recorded, when the server refuses it.
bool CreateNativeWindow(HWND window, ::Visual* visual, int depth);
void DestroyNativeWindow(HWND window);
// Makes a framed window's client area smaller by the window manager's frame,
// so that its outer size is the size it was created with.
void FitClientInFrame(HWND window);
void MapNativeWindow(HWND window);
void UnmapNativeWindow(HWND window);
void IconifyNativeWindow(HWND window);
// Moves and sizes the window by its outer rectangle, frame included.
void MoveNativeWindow(HWND window, int x, int y, int width, int height);
void SetNativeTitle(HWND window);

// Only one top-level window is active at a time; the one losing activation
// hears of it first, as on Windows.
void SetActive(HWND window, bool active);

// The X drawable GL draws into for a device context.
::Window DrawableOf(HDC dc);

// Takes the first posted message that `wanted` accepts, without reading X
// events: for modal loops whose window reads its own.
bool TakePostedMessage(MSG* msg, const std::function<bool(const MSG&)>& wanted);
// Posts a message ahead of all others, as a translated character follows
// its key at once.
void PostMessageFirst(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops the posted messages of a window that is going away.
void DiscardMessages(HWND window);

// Milliseconds since an arbitrary start, for MSG::time.
DWORD MessageTime();

// Translates every X event waiting on the connection into messages; when
// `wait` is set and none is waiting, first blocks until one arrives.
void ProcessXEvents(bool wait);
}
