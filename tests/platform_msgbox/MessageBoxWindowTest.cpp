// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "BoxDriver.h"

#include "platform/Win32Api.h"
#include "support/DesktopDisplay.h"

#include <GL/glx.h>
#include <X11/keysym.h>
#include <imgui.h>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace
{
const char* const polishText =
    "Błąd odczytu pliku konfiguracyjnego:\n/path/Korvana.cfg\nZostaną zostosowane ustawienia domyślne.";

bool IsIconRed(const BoxDriver::Pixel& p)
{
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
}

bool Has(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// What a window manager shows of a modal window, seen before answering it.
struct Managed {
    std::vector<std::string> actions;
    Desktop::Rect outer;
    int screenWidth = 0;
    int screenHeight = 0;
};

// Looks at the managed window, then answers it with `answer`.
BoxDriver::Action LookThenAnswer(Managed& managed, BoxDriver::Action answer)
{
    return [&managed, answer](Display* d, Window box, const BoxDriver::Sighting& seen) {
        Desktop::WaitUntil([&] { return !Desktop::AllowedActions(d, box).empty(); });
        managed.actions = Desktop::AllowedActions(d, box);
        managed.outer = Desktop::OuterRect(d, box);
        managed.screenWidth = DisplayWidth(d, DefaultScreen(d));
        managed.screenHeight = DisplayHeight(d, DefaultScreen(d));
        answer(d, box, seen);
    };
}

// Openbox keeps minimising for every window whatever its hints say; the
// box comes back by itself (see OnADesktopTheBoxComesBackWhenMinimised).
void ExpectOnlyClosingWithinTheScreen(const Managed& managed)
{
    EXPECT_TRUE(Has(managed.actions, "_NET_WM_ACTION_CLOSE"));
    EXPECT_TRUE(Has(managed.actions, "_NET_WM_ACTION_MOVE"));
    for (const char* refused : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                                "_NET_WM_ACTION_RESIZE"})
        EXPECT_FALSE(Has(managed.actions, refused)) << refused;
    EXPECT_GE(managed.outer.x, 0);
    EXPECT_GE(managed.outer.y, 0);
    EXPECT_LE(managed.outer.x + managed.outer.width, managed.screenWidth);
    EXPECT_LE(managed.outer.y + managed.outer.height, managed.screenHeight);
}

BoxDriver::Action PressKey(KeySym key)
{
    return [key](Display* d, Window box, const BoxDriver::Sighting&) { BoxDriver::PressKey(d, box, key); };
}

BoxDriver::Action CloseFromTitleBar()
{
    return [](Display* d, Window box, const BoxDriver::Sighting&) { BoxDriver::Close(d, box); };
}

class MessageBoxWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
    }

    // Shows a box with the title while the driver acts on it; the box's answer.
    int Show(const char* text, const char* caption, UINT type, BoxDriver::Action action)
    {
        BoxDriver::Driver driver(caption, sighting, std::move(action));
        const int result = MessageBoxA(nullptr, text, caption, type);
        driver.Finish();
        return result;
    }

    BoxDriver::Sighting sighting;
};

// The box the program shows when its configuration file cannot be read,
// kept as a picture beside the test programs.
TEST_F(MessageBoxWindow, ErrorBoxShowsItsPolishTextAndIconAndEnterAnswersOk)
{
    const int result = Show(polishText, "Błąd", MB_ICONERROR, [](Display* d, Window box, const BoxDriver::Sighting&) {
        BoxDriver::PressKey(d, box, XK_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(sighting.title, "Błąd");
    EXPECT_GT(sighting.CountPixels(IsIconRed), 300);
    EXPECT_EQ(BoxDriver::FindButtons(sighting).size(), 1u);
    // Three lines of text and the buttons below them.
    EXPECT_GT(sighting.height, 3 * 15 + 40);
    EXPECT_GT(sighting.width, 250);

    const std::string folder = std::string(KORVANA_BINARY_DIR) + "/tests/screenshots";
    mkdir(folder.c_str(), 0755);
    EXPECT_TRUE(sighting.SavePng(folder + "/messagebox-error.png"));
}

TEST_F(MessageBoxWindow, EscapeAndTheCloseButtonCancelAnOkCancelBox)
{
    EXPECT_EQ(Show("Ścieżka do katalogu aplikacji jest za długa!", "Błąd!", MB_OKCANCEL,
                   [](Display* d, Window box, const BoxDriver::Sighting&) { BoxDriver::PressKey(d, box, XK_Escape); }),
              IDCANCEL);
    EXPECT_EQ(BoxDriver::FindButtons(sighting).size(), 2u);
    EXPECT_EQ(sighting.CountPixels(IsIconRed), 0);

    EXPECT_EQ(Show("Tekst", "Zamknij", MB_OKCANCEL, CloseFromTitleBar()), IDCANCEL);
}

TEST_F(MessageBoxWindow, EscapeAndTheCloseButtonAnswerOkForAnOkBox)
{
    EXPECT_EQ(Show("Tekst", "Tylko OK", MB_OK, PressKey(XK_Escape)), IDOK);
    EXPECT_EQ(Show("Tekst", "Tylko OK", MB_OK, CloseFromTitleBar()), IDOK);
}

TEST_F(MessageBoxWindow, ClickingAButtonAnswersWithIt)
{
    auto clickButton = [](size_t index) {
        return [index](Display* d, Window box, const BoxDriver::Sighting& seen) {
            const auto buttons = BoxDriver::FindButtons(seen);
            ASSERT_EQ(buttons.size(), 2u);
            const int x = (buttons[index].first + buttons[index].second) / 2;
            BoxDriver::Click(d, box, x, seen.height - 20);
        };
    };
    EXPECT_EQ(Show("Kliknij", "Przyciski", MB_OKCANCEL, clickButton(1)), IDCANCEL);
    EXPECT_EQ(Show("Kliknij", "Przyciski", MB_OKCANCEL, clickButton(0)), IDOK);
}

// The program may show a box while its own GL and ImGui contexts are
// current; both must still be current afterwards.
TEST_F(MessageBoxWindow, LeavesTheProgramsContextsCurrent)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    ASSERT_TRUE(configs != nullptr && count > 0);
    const int size[] = {GLX_PBUFFER_WIDTH, 8, GLX_PBUFFER_HEIGHT, 8, None};
    GLXPbuffer pbuffer = glXCreatePbuffer(display, configs[0], size);
    GLXContext context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(configs);
    ASSERT_TRUE(glXMakeContextCurrent(display, pbuffer, pbuffer, context));
    ImGuiContext* imgui = ImGui::CreateContext();
    ImGui::SetCurrentContext(imgui);

    EXPECT_EQ(Show("Tekst", "Konteksty", MB_OK,
                   [](Display* d, Window box, const BoxDriver::Sighting&) { BoxDriver::PressKey(d, box, XK_KP_Enter); }),
              IDOK);
    EXPECT_EQ(glXGetCurrentContext(), context);
    EXPECT_EQ(glXGetCurrentDrawable(), pbuffer);
    EXPECT_EQ(ImGui::GetCurrentContext(), imgui);

    ImGui::DestroyContext(imgui);
    glXMakeContextCurrent(display, None, None, nullptr);
    glXDestroyContext(display, context);
    glXDestroyPbuffer(display, pbuffer);
    XCloseDisplay(display);
}

// A window manager shows a box as Windows shows a modal one: a fixed-size
// dialog whose title bar only closes it, inside the screen.
TEST_F(MessageBoxWindow, OnADesktopTheBoxOffersOnlyClosingWithinTheScreen)
{
    if (!KorvanaOnDesktop())
        GTEST_SKIP() << "needs a window manager";
    Managed managed;
    EXPECT_EQ(Show(polishText, "Na pulpicie", MB_OKCANCEL | MB_ICONERROR,
                   LookThenAnswer(managed, CloseFromTitleBar())),
              IDCANCEL);
    ExpectOnlyClosingWithinTheScreen(managed);
}

bool Viewable(Display* display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Minimising from the title bar cannot hide a modal box: it would block the
// program while nobody sees it.
TEST_F(MessageBoxWindow, OnADesktopTheBoxComesBackWhenMinimised)
{
    if (!KorvanaOnDesktop())
        GTEST_SKIP() << "needs a window manager";
    bool cameBack = false;
    EXPECT_EQ(Show("Tekst", "Minimalizuj", MB_OKCANCEL,
                   [&cameBack](Display* d, Window box, const BoxDriver::Sighting& seen) {
                       XIconifyWindow(d, box, DefaultScreen(d));
                       XFlush(d);
                       Desktop::WaitUntil([&] { return !Viewable(d, box); }, std::chrono::seconds(1));
                       cameBack = Desktop::WaitUntil([&] { return Viewable(d, box); });
                       PressKey(XK_Escape)(d, box, seen);
                   }),
              IDCANCEL);
    EXPECT_TRUE(cameBack);
}

const char* const setupCaption = "Korvana - Konfiguracja";

INT_PTR CALLBACK AnsweringDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// The setup dialog shown and answered as a user would, without test seams.
class SetupDialogWindow : public MessageBoxWindow
{
protected:
    INT_PTR ShowDialog(BoxDriver::Action action)
    {
        BoxDriver::Driver driver(setupCaption, sighting, std::move(action));
        const INT_PTR result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(101), nullptr, AnsweringDialogProc, 0);
        driver.Finish();
        return result;
    }
};

TEST_F(SetupDialogWindow, EnterPressesOkAndEscapeOrTheTitleBarCancel)
{
    EXPECT_EQ(ShowDialog(PressKey(XK_Return)), IDOK);
    EXPECT_EQ(ShowDialog(PressKey(XK_Escape)), IDCANCEL);
    EXPECT_EQ(ShowDialog(CloseFromTitleBar()), IDCANCEL);
}

TEST_F(SetupDialogWindow, OnADesktopItOffersOnlyClosingWithinTheScreen)
{
    if (!KorvanaOnDesktop())
        GTEST_SKIP() << "needs a window manager";
    Managed managed;
    EXPECT_EQ(ShowDialog(LookThenAnswer(managed, PressKey(XK_Escape))), IDCANCEL);
    ExpectOnlyClosingWithinTheScreen(managed);
}
}
