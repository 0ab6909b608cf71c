// X key symbols as Windows virtual-key codes, for every place of the
// platform layer that turns X key events into key messages or ImGui input.
#pragma once

#include "Win32Api.h"

#include <X11/Xlib.h>

namespace Platform
{
// The virtual-key code of an unshifted key symbol (XLookupKeysym with index
// 0); 0 for a key without one.
UINT VirtualKeyFromKeySym(KeySym keySym);
}
