// LoadIconA and LoadCursorA over the resource table of the executable.

#include "ResourceTable.h"

#include <map>

struct HICON__ {
    const Platform::IconImage* image;
};

struct HCURSOR__ {
    int id;
};

namespace Platform
{
const IconImage* IconImageOf(HICON icon)
{
    return icon ? icon->image : nullptr;
}
}

// Icons are shared objects that live as long as the program, as on Windows.
HICON LoadIconA(HINSTANCE, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    const int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    const Platform::IconImage* image = Platform::FindIconImage(id);
    if (!image)
        return nullptr;
    static std::map<int, HICON__> icons;
    HICON__& icon = icons[id];
    icon.image = image;
    return &icon;
}

// Only the standard arrow exists; X windows show it unless told otherwise.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    static HCURSOR__ arrow{32512};
    if (instance || name != IDC_ARROW)
        return nullptr;
    return &arrow;
}
