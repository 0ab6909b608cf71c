// Window-message input for Dear ImGui, shared by the platform layer's modal
// windows and the tweak bars: io.KeysDown is indexed by Windows virtual-key
// codes, and the mouse and character messages' parameters are decoded here.
#pragma once

#include "platform/Win32Api.h"

#include <imgui.h>

namespace KorvanaUi
{
// Maps ImGui's named keys onto virtual-key codes in io.KeyMap.
void MapVirtualKeys(ImGuiIO& io);

// Client coordinates of a mouse message: the LPARAM's low and high words,
// read as signed so that a drag past the left or top edge stays negative.
ImVec2 MousePositionFromLParam(LPARAM lParam);

// A mouse move or button message's position.
void SetMousePosition(ImGuiIO& io, LPARAM lParam);

// Button 0 is the left, 1 the right, 2 the middle button.
void SetMouseButton(ImGuiIO& io, int button, bool down);

// A wheel message: the signed rotation in the WPARAM's high word, one notch
// per WHEEL_DELTA.
void AddMouseWheel(ImGuiIO& io, WPARAM wParam);

// A key message's virtual-key code; Shift, Ctrl and Alt also set ImGui's
// modifier flags. Codes outside io.KeysDown are ignored.
void SetKey(ImGuiIO& io, WPARAM virtualKey, bool down);

// A character message's character, a Unicode code point.
void AddCharacter(ImGuiIO& io, WPARAM character);

// Lets go of every key and button, for a window that loses the focus and
// will not see their release.
void ReleaseAll(ImGuiIO& io);
}
