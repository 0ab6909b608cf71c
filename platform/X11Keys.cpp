#include "X11Keys.h"

#include <X11/keysym.h>

namespace Platform
{
UINT VirtualKeyFromKeySym(KeySym keySym)
{
    if (keySym >= XK_a && keySym <= XK_z)
        return static_cast<UINT>('A' + (keySym - XK_a));
    if (keySym >= XK_A && keySym <= XK_Z)
        return static_cast<UINT>(keySym);
    if (keySym >= XK_0 && keySym <= XK_9)
        return static_cast<UINT>(keySym);
    switch (keySym) {
    case XK_BackSpace: return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab: return VK_TAB;
    case XK_Return:
    case XK_KP_Enter: return VK_RETURN;
    case XK_Shift_L:
    case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R: return VK_MENU;
    case XK_Escape: return VK_ESCAPE;
    case XK_space: return VK_SPACE;
    case XK_Prior: return VK_PRIOR;
    case XK_Next: return VK_NEXT;
    case XK_End: return VK_END;
    case XK_Home: return VK_HOME;
    case XK_Left: return VK_LEFT;
    case XK_Up: return VK_UP;
    case XK_Right: return VK_RIGHT;
    case XK_Down: return VK_DOWN;
    case XK_Insert: return VK_INSERT;
    case XK_Delete: return VK_DELETE;
    default: return 0;
    }
}
}
