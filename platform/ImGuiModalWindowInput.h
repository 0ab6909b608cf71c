// X input events of a modal ImGui window as ImGui input. Internal to
// platform/.
#pragma once

#include <X11/Xlib.h>
#include <imgui.h>

namespace Platform
{
// Feeds one X event of the window to io. True when it pressed or released a
// key or a button: the caller then draws a frame before the next event, so
// that ImGui sees a press even when its release is already queued.
bool FeedXEvent(ImGuiIO& io, XEvent& event);
}
