// The resources compiled into the executable: dialog templates and icons,
// looked up by id as Windows looks them up in a module. The table itself is
// the program's (resources/); the layer only reads it. Internal to platform/.
#pragma once

#include "Win32Api.h"

#include <cstdint>
#include <vector>

namespace Platform
{
// One control of a dialog template; the rectangle is in dialog units.
struct DialogItemTemplate {
    int id;
    const char* className;  // "BUTTON", "STATIC" or "COMBOBOX"
    const char* text;
    DWORD style;            // control style, WS_DISABLED included
    short x, y, cx, cy;
};

struct DialogTemplate {
    int id;
    const char* caption;
    DWORD style;
    short cx, cy;  // dialog units
    const char* fontName;
    int pointSize;
    std::vector<DialogItemTemplate> items;  // in tab order
};

// A square icon as 0xAARRGGBB pixels, rows from the top.
struct IconImage {
    int id;
    int width;
    int height;
    std::vector<uint32_t> argb;
};

// Defined with the program's resources; null for an unknown id.
const DialogTemplate* FindDialogTemplate(int id);
const IconImage* FindIconImage(int id);

// The image behind an icon handle from LoadIconA, or null.
const IconImage* IconImageOf(HICON icon);
}
