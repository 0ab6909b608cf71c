// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"
#include "platform/X11Keys.h"

#include <X11/keysym.h>

#include <cstdlib>
#include <string>

namespace
{
TEST(MessageBoxResponder, AnswersEveryBoxWithWhatItWasShown)
{
    std::string shownText, shownCaption;
    UINT shownType = 0;
    HWND shownOwner = reinterpret_cast<HWND>(1);
    PlatformTesting::SetMessageBoxResponder(
        [&](HWND owner, const std::string& text, const std::string& caption, UINT type) {
            shownOwner = owner;
            shownText = text;
            shownCaption = caption;
            shownType = type;
            return IDCANCEL;
        });
    EXPECT_EQ(MessageBoxA(nullptr, "Ścieżka\nza długa!", "Błąd!", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(shownOwner, nullptr);
    EXPECT_EQ(shownText, "Ścieżka\nza długa!");
    EXPECT_EQ(shownCaption, "Błąd!");
    EXPECT_EQ(shownType, MB_OKCANCEL);

    // Windows captions a box without a caption "Error" in the user's language.
    MessageBoxA(nullptr, nullptr, nullptr, MB_OK | MB_ICONERROR);
    EXPECT_EQ(shownText, "");
    EXPECT_EQ(shownCaption, "Błąd");
    PlatformTesting::SetMessageBoxResponder(nullptr);
}

// The box runs in a fresh process without DISPLAY, as the program does on a
// machine with no X server: it must not block, and it must not lose the text.
TEST(MessageBoxWithoutDisplay, WritesCaptionAndTextToStandardErrorAndAnswersOk)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* display = std::getenv("DISPLAY");
    const std::string savedDisplay = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    EXPECT_EXIT(std::exit(MessageBoxA(nullptr, "Plik:\n/tmp/Korvana.cfg", "Błąd", MB_OKCANCEL | MB_ICONERROR)),
                testing::ExitedWithCode(IDOK), "^Błąd: Plik:\n/tmp/Korvana.cfg\n$");
    if (display != nullptr)
        setenv("DISPLAY", savedDisplay.c_str(), 1);
}

TEST(VirtualKeys, KeySymbolsMapToTheirWindowsCodes)
{
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_a), UINT('A'));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_Z), UINT('Z'));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_7), UINT('7'));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_Return), UINT(VK_RETURN));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_KP_Enter), UINT(VK_RETURN));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_ISO_Left_Tab), UINT(VK_TAB));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_Control_R), UINT(VK_CONTROL));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_Alt_L), UINT(VK_MENU));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_Escape), UINT(VK_ESCAPE));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_F13), UINT(0));
    EXPECT_EQ(Platform::VirtualKeyFromKeySym(XK_lstroke), UINT(0));
}
}
