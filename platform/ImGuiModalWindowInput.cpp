#include "ImGuiModalWindowInput.h"

#include "X11Keys.h"
#include "ui/Input.h"

#include <X11/Xutil.h>

#include <cfloat>

namespace Platform
{
namespace
{
// X numbers the buttons left 1, middle 2, right 3, wheel up 4 and down 5;
// ImGui left 0, right 1, middle 2.
bool FeedButton(ImGuiIO& io, const XButtonEvent& event, bool down)
{
    io.MousePos = ImVec2(static_cast<float>(event.x), static_cast<float>(event.y));
    switch (event.button) {
    case Button1: KorvanaUi::SetMouseButton(io, 0, down); return true;
    case Button2: KorvanaUi::SetMouseButton(io, 2, down); return true;
    case Button3: KorvanaUi::SetMouseButton(io, 1, down); return true;
    case Button4: if (down) io.MouseWheel += 1.0f; return true;
    case Button5: if (down) io.MouseWheel -= 1.0f; return true;
    default: return false;
    }
}

// The key's virtual-key code, and on a press its character when it has a
// printable one.
void FeedKey(ImGuiIO& io, XKeyEvent& event, bool down)
{
    const UINT virtualKey = VirtualKeyFromKeySym(XLookupKeysym(&event, 0));
    if (virtualKey != 0)
        KorvanaUi::SetKey(io, virtualKey, down);
    if (!down)
        return;
    char text[8];
    KeySym keySym = NoSymbol;
    const int length = XLookupString(&event, text, sizeof text, &keySym, nullptr);
    const unsigned char character = static_cast<unsigned char>(text[0]);
    if (length == 1 && character >= 0x20 && character != 0x7F)
        KorvanaUi::AddCharacter(io, character);
}
}

bool FeedXEvent(ImGuiIO& io, XEvent& event)
{
    switch (event.type) {
    case MotionNotify:
        io.MousePos = ImVec2(static_cast<float>(event.xmotion.x), static_cast<float>(event.xmotion.y));
        return false;
    case EnterNotify:
        io.MousePos = ImVec2(static_cast<float>(event.xcrossing.x), static_cast<float>(event.xcrossing.y));
        return false;
    case LeaveNotify:
        io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        return false;
    case ButtonPress:
    case ButtonRelease:
        return FeedButton(io, event.xbutton, event.type == ButtonPress);
    case KeyPress:
    case KeyRelease:
        FeedKey(io, event.xkey, event.type == KeyPress);
        return true;
    case FocusOut:
        KorvanaUi::ReleaseAll(io);
        return false;
    default:
        return false;
    }
}
}
