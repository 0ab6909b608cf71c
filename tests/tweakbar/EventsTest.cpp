#include "TweakBarFixture.h"

#include <imgui.h>

using namespace TweakBarTesting;

namespace
{
LPARAM At(int x, int y)
{
    return MAKELONG(x, y);
}

// A bar at (100, 100) of 200 x 150 in an 800 x 600 window.
class EventsTest : public TweakBarTest
{
protected:
    void SetUp() override
    {
        TweakBarTest::SetUp();
        ASSERT_EQ(TwWindowSize(800, 600), 1);
        bar = TwNewBar("b");
        ASSERT_EQ(TwDefine("b position='100 100' size='200 150' valueswidth=100"), 1);
    }

    int Send(UINT message, WPARAM wParam, int x, int y) { return TwEventWin(nullptr, message, wParam, At(x, y)); }

    // Clicks the middle of the row's value as the window would report it.
    void Click(const std::string& path, WPARAM keys = 0)
    {
        const auto rect = ValueRectangle(path);
        ASSERT_TRUE(rect.has_value()) << path;
        const int x = static_cast<int>(((*rect)[0] + (*rect)[2]) / 2);
        const int y = static_cast<int>(((*rect)[1] + (*rect)[3]) / 2);
        ClickAt(x, y, keys);
    }

    void ClickAt(int x, int y, WPARAM keys = 0)
    {
        EXPECT_EQ(Send(WM_MOUSEMOVE, keys, x, y), 1);
        Frames(1);
        EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, x, y), 1);
        EXPECT_EQ(Send(WM_LBUTTONUP, keys, x, y), 1);
        Frames(3);
    }

    void Type(const std::string& text)
    {
        for (char c : text)
            EXPECT_EQ(TwEventWin(nullptr, WM_CHAR, static_cast<WPARAM>(c), 0), 1) << c;
    }

    TwBar* bar = nullptr;
};
}

TEST_F(EventsTest, AClickOnABarIsTakenAndOneBesideItIsNot)
{
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120), 1);
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 150, 120), 1);
    EXPECT_EQ(Send(WM_RBUTTONDOWN, MK_RBUTTON, 299, 249), 1);
    EXPECT_EQ(Send(WM_RBUTTONUP, 0, 299, 249), 1);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 300, 120), 0);
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 300, 120), 0);
    EXPECT_EQ(Send(WM_MBUTTONDOWN, MK_MBUTTON, 99, 99), 0);
    EXPECT_EQ(Send(WM_MBUTTONUP, 0, 99, 99), 0);
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 150, 120), 1);
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 500, 500), 0);
    EXPECT_EQ(TwEventWin(nullptr, WM_MOUSEWHEEL, MAKELONG(0, 120), At(150, 120)), 1);
    EXPECT_EQ(TwEventWin(nullptr, WM_MOUSEWHEEL, MAKELONG(0, 120), At(500, 120)), 0);
    EXPECT_EQ(Send(WM_PAINT, 0, 150, 120), 0);

    TwDefine("b visible=false");
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120), 0);
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 150, 120), 0);
}

TEST_F(EventsTest, ADragThatStartsOnABarStaysTakenUntilRelease)
{
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120), 1);
    EXPECT_EQ(Send(WM_MOUSEMOVE, MK_LBUTTON, 600, 500), 1);
    EXPECT_EQ(Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 600, 500), 1);
    EXPECT_EQ(Send(WM_LBUTTONUP, MK_RBUTTON, 600, 500), 1);
    EXPECT_EQ(Send(WM_MOUSEMOVE, MK_RBUTTON, 610, 500), 1);
    EXPECT_EQ(Send(WM_RBUTTONUP, 0, 610, 500), 1);
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 620, 500), 0);

    // A drag that starts beside the bar is the window's, even over the bar.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 600, 500), 0);
    EXPECT_EQ(Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 120), 0);
    EXPECT_EQ(Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 150, 120), 0);
    EXPECT_EQ(Send(WM_LBUTTONUP, MK_RBUTTON, 150, 120), 0);
    EXPECT_EQ(Send(WM_RBUTTONUP, 0, 150, 120), 0);
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 150, 120), 1);

    // A release the window never saw does not keep the mouse taken.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 120), 1);
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 600, 500), 0);
}

TEST_F(EventsTest, SizeMessagesSetTheWindowSizeAndGoOnToTheWindow)
{
    TwDefine("b position='2000 16'");
    EXPECT_EQ(TwEventWin(nullptr, WM_SIZE, 0, MAKELONG(640, 480)), 0);
    EXPECT_FLOAT_EQ(GetBar("b")->left, 640 - 200);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 630, 20), 1);
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 630, 20), 1);
}

// A program may tell the window's size again in every frame; that must not
// undo the user's move. A new size keeps the moved place, clamped into the
// window.
TEST_F(EventsTest, ADraggedBarKeepsItsPlaceUntilTheWindowChanges)
{
    auto frame = [] {
        ASSERT_EQ(TwWindowSize(800, 600), 1);
        Frames(1);
    };
    frame();
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, 150, 108), 1);
    frame();
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 150, 108), 1);
    frame();
    EXPECT_EQ(Send(WM_MOUSEMOVE, MK_LBUTTON, 450, 308), 1);
    frame();
    frame();
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 450, 308), 1);
    frame();
    EXPECT_FLOAT_EQ(GetBar("b")->left, 400);
    EXPECT_FLOAT_EQ(GetBar("b")->top, 300);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, 410, 310), 1) << "the moved bar takes the clicks";
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, 410, 310), 1);

    TwWindowSize(500, 400);
    Frames(1);
    EXPECT_FLOAT_EQ(GetBar("b")->left, 300);
    EXPECT_FLOAT_EQ(GetBar("b")->top, 300);
    TwWindowSize(800, 600);
    Frames(1);
    EXPECT_FLOAT_EQ(GetBar("b")->left, 400);
}

TEST_F(EventsTest, ClicksReachTheWidgets)
{
    bool flag = false;
    int presses = 0;
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, "true='Wlaczone' false='Wylaczone'");
    TwAddButton(bar, "press", [](void* count) { ++*static_cast<int*>(count); }, &presses, "label='Nacisnij'");
    Frames(2);
    Click("b/flag");
    EXPECT_TRUE(flag);
    Click("b/flag");
    EXPECT_FALSE(flag);
    Click("b/press");
    EXPECT_EQ(presses, 1);
}

TEST_F(EventsTest, KeysAreTakenWhileAFieldIsEdited)
{
    float factor = 0.5f;
    TwAddVarRW(bar, "factor", TW_TYPE_FLOAT, &factor, "min=0 max=1 step=0.01");
    Frames(2);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYDOWN, 'A', 0), 0);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYUP, 'A', 0), 0);
    EXPECT_EQ(TwEventWin(nullptr, WM_CHAR, 'a', 0), 0);
    Frames(1);

    // Ctrl+click turns the drag into a text field.
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYDOWN, VK_CONTROL, 0), 0);
    Frames(1);
    Click("b/factor", MK_CONTROL);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYUP, VK_CONTROL, 0), 1);
    Frames(1);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYDOWN, 'A', 0), 1);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYDOWN, VK_CONTROL, 0), 1);
    Frames(1);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYUP, 'A', 0), 1);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYUP, VK_CONTROL, 0), 1);
    Frames(1);
    Type("0.25");
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYDOWN, VK_RETURN, 0), 1);
    Frames(1);
    EXPECT_EQ(TwEventWin(nullptr, WM_KEYUP, VK_RETURN, 0), 0);
    Frames(1);
    EXPECT_FLOAT_EQ(factor, 0.25f);
}

TEST_F(EventsTest, AnOpenListBelowTheBarTakesItsClicks)
{
    TwDefine("b size='200 60'");
    int mode = 0;
    const TwType type = TwDefineEnum("mode", nullptr, 0);
    TwAddVarRW(bar, "mode", type, &mode, "val='0 {Zero}, 1 {Jeden}, 2 {Dwa}, 3 {Trzy}'");
    Frames(2);
    Click("b/mode");
    const auto rect = ValueRectangle("b/mode");
    ASSERT_TRUE(rect.has_value());
    // The list opens below the field, past the bar's bottom at 160.
    const int x = static_cast<int>((*rect)[0] + 10);
    const float rowHeight = (*rect)[3] - (*rect)[1];
    const int y = static_cast<int>((*rect)[3] + 3.5f * rowHeight);
    ASSERT_GT(y, 160);
    ClickAt(x, y);
    EXPECT_EQ(mode, 3);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y), 0);
    EXPECT_EQ(Send(WM_LBUTTONUP, 0, x, y), 0);
}

TEST_F(EventsTest, TheCallersImGuiContextStaysCurrent)
{
    ImGuiContext* own = ImGui::CreateContext();
    ImGui::SetCurrentContext(own);
    Frames(1);
    EXPECT_EQ(TwEventWin(nullptr, WM_MOUSEMOVE, 0, At(150, 120)), 1);
    TwWindowSize(0, 0);
    EXPECT_EQ(ImGui::GetCurrentContext(), own);
    TwTerminate();
    EXPECT_EQ(ImGui::GetCurrentContext(), own);
    ImGui::DestroyContext(own);
    ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
}
