// The one X display connection of the platform layer, shared by windows,
// message boxes, dialogs and display settings. Internal to platform/.
#pragma once

#include <X11/Xlib.h>

namespace Platform
{
// Opens the display named by DISPLAY on first use; null when there is none,
// in which case every call that needs it fails as its Windows call would.
Display* GetDisplay();
}
