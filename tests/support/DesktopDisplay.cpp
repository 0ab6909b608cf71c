// Linked into the test programs that also run on a desktop. CTest starts
// their second run with KORVANA_DESKTOP=1; before any test runs, that run
// moves to the displays where openbox manages the windows. Where the test
// script could not start them, the displays are unset and the tests that
// need them skip.
#include <cstdlib>

namespace
{
void UseDisplay(const char* name, const char* desktopName)
{
    const char* desktop = std::getenv(desktopName);
    if (desktop != nullptr)
        setenv(name, desktop, 1);
    else
        unsetenv(name);
}

const bool movedToDesktop = [] {
    const char* flag = std::getenv("KORVANA_DESKTOP");
    if (flag == nullptr || flag[0] != '1')
        return false;
    UseDisplay("DISPLAY", "KORVANA_WM_DISPLAY");
    UseDisplay("KORVANA_XORG_DISPLAY", "KORVANA_XORG_WM_DISPLAY");
    return true;
}();
}  // namespace

// Whether this run is the one on the desktop displays.
bool KorvanaOnDesktop()
{
    return movedToDesktop;
}
