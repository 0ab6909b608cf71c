#include "ui/Font.h"

#include <gtest/gtest.h>

namespace
{
// An ImGui context of its own for each test, destroyed with the test.
class FontTest : public testing::Test
{
protected:
    FontTest() : context(ImGui::CreateContext()) { ImGui::SetCurrentContext(context); }
    ~FontTest() override { ImGui::DestroyContext(context); }

    ImFont* BuiltFont()
    {
        ImGuiIO& io = ImGui::GetIO();
        EXPECT_TRUE(io.Fonts->Build());
        return io.Fonts->Fonts[0];
    }

    ImGuiContext* context;
};

TEST_F(FontTest, DefaultFontHasEveryPolishLetter)
{
    ASSERT_TRUE(KorvanaUi::LoadDefaultFont(ImGui::GetIO(), 15.0f));
    ImFont* font = BuiltFont();
    EXPECT_FLOAT_EQ(font->FontSize, 15.0f);
    for (ImWchar letter : {0x104, 0x105, 0x106, 0x107, 0x118, 0x119, 0x141, 0x142, 0x143, 0x144,
                           0xD3, 0xF3, 0x15A, 0x15B, 0x179, 0x17A, 0x17B, 0x17C}) {
        SCOPED_TRACE(letter);
        EXPECT_NE(font->FindGlyphNoFallback(letter), nullptr);
    }
    EXPECT_EQ(font->FindGlyphNoFallback(0x180), nullptr);
}

TEST_F(FontTest, MissingFileFallsBackToTheBuiltInFontAndSaysSo)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(KorvanaUi::LoadFont(ImGui::GetIO(), "/nonexistent/Font.ttf", 13.0f));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("/nonexistent/Font.ttf"), std::string::npos);
    ASSERT_EQ(ImGui::GetIO().Fonts->Fonts.Size, 1);
    EXPECT_NE(BuiltFont()->FindGlyphNoFallback('A'), nullptr);
}
}
