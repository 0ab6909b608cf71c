#include "ui/Input.h"

#include <gtest/gtest.h>

namespace
{
// A wheel message's WPARAM: the signed rotation in the high word.
WPARAM WheelParam(int rotation)
{
    return static_cast<WPARAM>(static_cast<WORD>(static_cast<int16_t>(rotation))) << 16;
}

// A context ready for frames without a renderer: the font atlas is built
// and the display has a size.
class InputTest : public testing::Test
{
protected:
    InputTest() : context(ImGui::CreateContext())
    {
        ImGui::SetCurrentContext(context);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(200.0f, 100.0f);
        io.DeltaTime = 1.0f / 60.0f;
        unsigned char* pixels;
        int width, height;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        KorvanaUi::MapVirtualKeys(io);
    }
    ~InputTest() override { ImGui::DestroyContext(context); }

    ImGuiIO& io() { return ImGui::GetIO(); }

    ImGuiContext* context;
};

TEST_F(InputTest, MousePositionWordsAreSigned)
{
    KorvanaUi::SetMousePosition(io(), static_cast<LPARAM>((300u << 16) | static_cast<WORD>(-5)));
    EXPECT_FLOAT_EQ(io().MousePos.x, -5.0f);
    EXPECT_FLOAT_EQ(io().MousePos.y, 300.0f);
}

TEST_F(InputTest, WheelCountsNotchesInBothDirections)
{
    KorvanaUi::AddMouseWheel(io(), WheelParam(-2 * WHEEL_DELTA));
    EXPECT_FLOAT_EQ(io().MouseWheel, -2.0f);
    KorvanaUi::AddMouseWheel(io(), WheelParam(WHEEL_DELTA / 2));
    EXPECT_FLOAT_EQ(io().MouseWheel, -1.5f);
}

TEST_F(InputTest, VirtualKeysReachImGuisNamedKeys)
{
    KorvanaUi::SetKey(io(), VK_RETURN, true);
    KorvanaUi::SetKey(io(), 'C', true);
    KorvanaUi::SetKey(io(), VK_CONTROL, true);
    ImGui::NewFrame();
    EXPECT_TRUE(ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)));
    EXPECT_TRUE(ImGui::IsKeyDown(ImGui::GetKeyIndex(ImGuiKey_C)));
    EXPECT_FALSE(ImGui::IsKeyDown(ImGui::GetKeyIndex(ImGuiKey_Escape)));
    EXPECT_TRUE(io().KeyCtrl);
    EXPECT_FALSE(io().KeyShift);
    ImGui::EndFrame();
}

TEST_F(InputTest, ModifiersFollowTheirKeysAndReleaseAllLetsGo)
{
    KorvanaUi::SetKey(io(), VK_SHIFT, true);
    KorvanaUi::SetKey(io(), VK_MENU, true);
    KorvanaUi::SetMouseButton(io(), 1, true);
    EXPECT_TRUE(io().KeyShift);
    EXPECT_TRUE(io().KeyAlt);
    KorvanaUi::SetKey(io(), VK_SHIFT, false);
    EXPECT_FALSE(io().KeyShift);
    EXPECT_TRUE(io().KeyAlt);

    KorvanaUi::ReleaseAll(io());
    EXPECT_FALSE(io().KeyAlt);
    EXPECT_FALSE(io().KeysDown[VK_MENU]);
    EXPECT_FALSE(io().MouseDown[1]);
}

TEST_F(InputTest, OutOfRangeKeysAndButtonsAreIgnored)
{
    KorvanaUi::SetKey(io(), 512, true);
    KorvanaUi::SetKey(io(), static_cast<WPARAM>(-1), true);
    KorvanaUi::SetMouseButton(io(), 5, true);
    KorvanaUi::SetMouseButton(io(), -1, true);
    for (bool down : io().MouseDown)
        EXPECT_FALSE(down);
}

TEST_F(InputTest, CharactersAreUnicodeCodePoints)
{
    KorvanaUi::AddCharacter(io(), 0x17C);  // ż
    KorvanaUi::AddCharacter(io(), 0);
    KorvanaUi::AddCharacter(io(), 0x110000);
    ASSERT_EQ(io().InputQueueCharacters.Size, 1);
    EXPECT_EQ(io().InputQueueCharacters[0], 0x17C);
}
}
