// The message box as a modal window drawn with Dear ImGui. Internal to
// platform/.
#pragma once

#include "Win32Api.h"

#include <X11/Xlib.h>
#include <imgui.h>

#include <string>

namespace Platform
{
// Shows the box on the display, transient for owner when it is not None,
// until a button, Enter, Escape or the close button answers it. Returns IDOK
// or IDCANCEL (Escape and closing answer IDOK for a box with only OK), or 0
// when no window could be made.
int ShowMessageBoxWindow(Display* display, Window owner, const std::string& text,
                         const std::string& caption, UINT type);

// The light, square-cornered look of the layer's modal windows, shared by
// message boxes and dialogs.
void SetLightStyle(ImGuiStyle& style);
}
