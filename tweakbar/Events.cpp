#include "Events.h"

#include "Drawing.h"
#include "Layout.h"
#include "ui/Input.h"

#include <imgui_internal.h>

namespace TweakBar
{
namespace
{
// Messages kept for a program that stops drawing; older ones are dropped.
constexpr size_t queueLimit = 1024;
constexpr WPARAM anyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// The ImGui button of a button message and whether it goes down.
bool MouseButton(UINT message, int& button, bool& down)
{
    switch (message) {
    case WM_LBUTTONDOWN: button = 0; down = true; return true;
    case WM_LBUTTONUP: button = 0; down = false; return true;
    case WM_RBUTTONDOWN: button = 1; down = true; return true;
    case WM_RBUTTONUP: button = 1; down = false; return true;
    case WM_MBUTTONDOWN: button = 2; down = true; return true;
    case WM_MBUTTONUP: button = 2; down = false; return true;
    default: return false;
    }
}

bool Contains(const Rect& rect, const ImVec2& point)
{
    return point.x >= rect[0] && point.y >= rect[1] && point.x < rect[2] && point.y < rect[3];
}

// True when the point of the message lies on a visible bar, on an open
// pop-up of one or on the help bar.
bool OverBar(const Library& library, LPARAM lParam)
{
    const ImVec2 point = KorvanaUi::MousePositionFromLParam(lParam);
    for (const auto& bar : library.bars) {
        if (!bar->deleted && bar->settings.visible && Contains(BarRectangle(library, *bar), point))
            return true;
    }
    for (const Rect& rect : library.input.popups) {
        if (Contains(rect, point))
            return true;
    }
    return library.input.helpBar && Contains(*library.input.helpBar, point);
}

// A press takes the mouse for the bars when it begins on one while no other
// button is held; every mouse message is theirs until the last release.
int TakeButton(Library& library, int button, bool down, LPARAM lParam)
{
    InputState& input = library.input;
    const unsigned bit = 1u << button;
    if (down) {
        if (input.buttonsDown == 0)
            input.captured = OverBar(library, lParam);
        input.buttonsDown |= bit;
        return input.captured ? 1 : 0;
    }
    const bool taken = input.captured;
    input.buttonsDown &= ~bit;
    if (input.buttonsDown == 0)
        input.captured = false;
    return taken ? 1 : 0;
}

int TakeMove(Library& library, WPARAM wParam, LPARAM lParam)
{
    InputState& input = library.input;
    if ((wParam & anyButton) == 0) {
        // A release the window never saw ends a press here.
        input.buttonsDown = 0;
        input.captured = false;
    }
    if (input.captured)
        return 1;
    return input.buttonsDown == 0 && OverBar(library, lParam) ? 1 : 0;
}

void Queue(InputState& input, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (input.queue.size() >= queueLimit)
        input.queue.pop_front();
    input.queue.push_back(QueuedMessage{message, wParam, lParam});
}
}

int HandleMessage(Library& library, UINT message, WPARAM wParam, LPARAM lParam)
{
    InputState& input = library.input;
    int button = 0;
    bool down = false;
    if (MouseButton(message, button, down)) {
        Queue(input, message, wParam, lParam);
        return TakeButton(library, button, down, lParam);
    }
    switch (message) {
    case WM_MOUSEMOVE:
        Queue(input, message, wParam, lParam);
        return TakeMove(library, wParam, lParam);
    case WM_MOUSEWHEEL:
        Queue(input, message, wParam, lParam);
        return input.captured || (input.buttonsDown == 0 && OverBar(library, lParam)) ? 1 : 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        Queue(input, message, wParam, lParam);
        return input.keyboardWanted ? 1 : 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            Queue(input, message, wParam, lParam);
            input.buttonsDown = 0;
            input.captured = false;
        }
        return 0;
    default:
        return 0;
    }
}

void FeedInput(Library& library, ImGuiIO& io)
{
    std::deque<QueuedMessage>& queue = library.input.queue;
    bool keyChanged[IM_ARRAYSIZE(io.KeysDown)] = {};
    while (!queue.empty()) {
        const QueuedMessage message = queue.front();
        int button = 0;
        bool down = false;
        if (MouseButton(message.message, button, down)) {
            // One press or release per frame, at its own position.
            queue.pop_front();
            KorvanaUi::SetMousePosition(io, message.lParam);
            KorvanaUi::SetMouseButton(io, button, down);
            return;
        }
        const WPARAM key = message.wParam;
        const bool isKey = message.message == WM_KEYDOWN || message.message == WM_KEYUP;
        if (isKey && key < static_cast<WPARAM>(IM_ARRAYSIZE(keyChanged))) {
            if (keyChanged[key])
                return;
            keyChanged[key] = true;
        }
        queue.pop_front();
        switch (message.message) {
        case WM_MOUSEMOVE: KorvanaUi::SetMousePosition(io, message.lParam); break;
        case WM_MOUSEWHEEL: KorvanaUi::AddMouseWheel(io, message.wParam); break;
        case WM_KEYDOWN: KorvanaUi::SetKey(io, key, true); break;
        case WM_KEYUP: KorvanaUi::SetKey(io, key, false); break;
        case WM_CHAR: KorvanaUi::AddCharacter(io, key); break;
        case WM_ACTIVATE: KorvanaUi::ReleaseAll(io); break;
        default: break;
        }
    }
}

void RecordFrame(Library& library)
{
    InputState& input = library.input;
    input.popups.clear();
    input.helpBar.reset();
    const ImGuiWindow* help = ImGui::FindWindowByName(helpWindowName);
    for (const ImGuiWindow* window : ImGui::GetCurrentContext()->Windows) {
        const bool popup = (window->Flags & ImGuiWindowFlags_Popup) != 0 &&
                           (window->Flags & ImGuiWindowFlags_Tooltip) == 0;
        if (!window->Active || !(popup || window == help))
            continue;
        const Rect rect{window->Rect().Min.x, window->Rect().Min.y, window->Rect().Max.x, window->Rect().Max.y};
        if (window == help)
            input.helpBar = rect;
        else
            input.popups.push_back(rect);
    }
    input.keyboardWanted = ImGui::IsAnyItemActive();
}
}
