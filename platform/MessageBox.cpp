#include "MessageBoxWindow.h"
#include "PlatformTesting.h"
#include "Win32Api.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <cstdio>
#include <utility>

namespace
{
PlatformTesting::MessageBoxResponder& Responder()
{
    static PlatformTesting::MessageBoxResponder responder;
    return responder;
}

// The X window of the owner, so that the box stays above it.
Window OwnerXWindow(HWND owner)
{
    return Platform::LiveWindow(owner) ? owner->xwindow : None;
}
}

// Without a display, or when no GL window can be made for the box, its
// caption and text go to standard error and the box counts as accepted.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    const std::string textString = text != nullptr ? text : "";
    // Windows captions a box without one with its word for "Error".
    const std::string captionString = caption != nullptr ? caption : "Błąd";
    if (Responder())
        return Responder()(owner, textString, captionString, type);

    if (Display* display = Platform::GetDisplay()) {
        const int result = Platform::ShowMessageBoxWindow(display, OwnerXWindow(owner), textString,
                                                          captionString, type);
        if (result != 0)
            return result;
    }
    std::fprintf(stderr, "%s: %s\n", captionString.c_str(), textString.c_str());
    std::fflush(stderr);
    return IDOK;
}

namespace PlatformTesting
{
void SetMessageBoxResponder(MessageBoxResponder responder)
{
    Responder() = std::move(responder);
}
}
