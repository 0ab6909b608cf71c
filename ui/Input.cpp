#include "Input.h"

#include <algorithm>
#include <iterator>
#include <cstdint>

namespace KorvanaUi
{
void MapVirtualKeys(ImGuiIO& io)
{
    io.KeyMap[ImGuiKey_Tab] = VK_TAB;
    io.KeyMap[ImGuiKey_LeftArrow] = VK_LEFT;
    io.KeyMap[ImGuiKey_RightArrow] = VK_RIGHT;
    io.KeyMap[ImGuiKey_UpArrow] = VK_UP;
    io.KeyMap[ImGuiKey_DownArrow] = VK_DOWN;
    io.KeyMap[ImGuiKey_PageUp] = VK_PRIOR;
    io.KeyMap[ImGuiKey_PageDown] = VK_NEXT;
    io.KeyMap[ImGuiKey_Home] = VK_HOME;
    io.KeyMap[ImGuiKey_End] = VK_END;
    io.KeyMap[ImGuiKey_Insert] = VK_INSERT;
    io.KeyMap[ImGuiKey_Delete] = VK_DELETE;
    io.KeyMap[ImGuiKey_Backspace] = VK_BACK;
    io.KeyMap[ImGuiKey_Space] = VK_SPACE;
    io.KeyMap[ImGuiKey_Enter] = VK_RETURN;
    io.KeyMap[ImGuiKey_Escape] = VK_ESCAPE;
    // Windows gives the keypad's Enter the same code as the main one.
    io.KeyMap[ImGuiKey_KeyPadEnter] = VK_RETURN;
    io.KeyMap[ImGuiKey_A] = 'A';
    io.KeyMap[ImGuiKey_C] = 'C';
    io.KeyMap[ImGuiKey_V] = 'V';
    io.KeyMap[ImGuiKey_X] = 'X';
    io.KeyMap[ImGuiKey_Y] = 'Y';
    io.KeyMap[ImGuiKey_Z] = 'Z';
}

ImVec2 MousePositionFromLParam(LPARAM lParam)
{
    return ImVec2(static_cast<float>(static_cast<int16_t>(LOWORD(lParam))),
                  static_cast<float>(static_cast<int16_t>(HIWORD(lParam))));
}

void SetMousePosition(ImGuiIO& io, LPARAM lParam)
{
    io.MousePos = MousePositionFromLParam(lParam);
}

void SetMouseButton(ImGuiIO& io, int button, bool down)
{
    if (button >= 0 && button < IM_ARRAYSIZE(io.MouseDown))
        io.MouseDown[button] = down;
}

void AddMouseWheel(ImGuiIO& io, WPARAM wParam)
{
    io.MouseWheel += static_cast<float>(static_cast<int16_t>(HIWORD(wParam))) / WHEEL_DELTA;
}

void SetKey(ImGuiIO& io, WPARAM virtualKey, bool down)
{
    if (virtualKey >= static_cast<WPARAM>(IM_ARRAYSIZE(io.KeysDown)))
        return;
    io.KeysDown[virtualKey] = down;
    io.KeyShift = io.KeysDown[VK_SHIFT];
    io.KeyCtrl = io.KeysDown[VK_CONTROL];
    io.KeyAlt = io.KeysDown[VK_MENU];
}

void AddCharacter(ImGuiIO& io, WPARAM character)
{
    if (character > 0 && character <= 0x10FFFF)
        io.AddInputCharacter(static_cast<unsigned int>(character));
}

void ReleaseAll(ImGuiIO& io)
{
    std::fill(std::begin(io.MouseDown), std::end(io.MouseDown), false);
    std::fill(std::begin(io.KeysDown), std::end(io.KeysDown), false);
    io.KeyShift = io.KeyCtrl = io.KeyAlt = io.KeySuper = false;
}
}
