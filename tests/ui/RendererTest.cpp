// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "ui/Font.h"
#include "ui/ImGuiGL1Renderer.h"

#include "tests/support/PbufferContext.h"

#include <GL/gl.h>

#include <array>
#include <vector>

namespace
{
constexpr int width = 96;
constexpr int height = 64;

using Pixel = std::array<int, 3>;

// A GL context on an off-screen pbuffer, with an ImGui context whose font
// texture lives in it.
class RendererTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!pbuffer.HasDisplay())
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(pbuffer.Ready());

        imgui = ImGui::CreateContext();
        ImGui::SetCurrentContext(imgui);
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(width, height);
        io.DeltaTime = 1.0f / 60.0f;
        KorvanaUi::LoadDefaultFont(io, 15.0f);
        ASSERT_TRUE(KorvanaUi::CreateFontTexture());
        glViewport(0, 0, width, height);
    }

    void TearDown() override
    {
        if (imgui != nullptr) {
            KorvanaUi::DestroyFontTexture();
            ImGui::DestroyContext(imgui);
        }
    }

    // Draws what draw() adds to the foreground draw list over a black frame.
    template <typename Draw>
    void Render(Draw draw)
    {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui::NewFrame();
        draw(ImGui::GetForegroundDrawList());
        ImGui::Render();
        KorvanaUi::RenderDrawData(ImGui::GetDrawData());
        glFinish();
    }

    // The pixel at ImGui's (x, y), counted from the top as ImGui does.
    Pixel At(int x, int y) const
    {
        unsigned char rgba[4];
        glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2]};
    }

    TestSupport::PbufferContext pbuffer{width, height, false};
    ImGuiContext* imgui = nullptr;
};

TEST_F(RendererTest, FillsRectanglesWhereImGuiPutsThemWithinTheirClipRectangles)
{
    Render([](ImDrawList* list) {
        list->AddRectFilled(ImVec2(10, 5), ImVec2(30, 20), IM_COL32(255, 0, 0, 255));
        list->PushClipRect(ImVec2(50, 40), ImVec2(60, 48));
        list->AddRectFilled(ImVec2(40, 38), ImVec2(90, 50), IM_COL32(0, 255, 0, 255));
        list->PopClipRect();
        list->AddRectFilled(ImVec2(70, 50), ImVec2(90, 60), IM_COL32(0, 0, 255, 128));
    });
    EXPECT_EQ(At(20, 12), (Pixel{255, 0, 0}));
    EXPECT_EQ(At(20, 25), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(45, 44), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(55, 44), (Pixel{0, 255, 0}));
    EXPECT_EQ(At(65, 44), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(55, 39), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(55, 49), (Pixel{0, 0, 0}));
    const Pixel blended = At(80, 55);
    EXPECT_EQ(blended[0], 0);
    EXPECT_NEAR(blended[2], 128, 2);
}

// Text comes from the font texture: glyph pixels are lit, the gaps between
// strokes stay dark, which a missing texture (solid quads) would not give.
TEST_F(RendererTest, DrawsTextFromTheFontTexture)
{
    const ImVec2 origin(4, 4);
    ImVec2 size;
    Render([&](ImDrawList* list) {
        list->AddText(origin, IM_COL32(255, 255, 255, 255), "Łódź");
        size = ImGui::CalcTextSize("Łódź");
    });
    int lit = 0;
    int dark = 0;
    for (int y = int(origin.y); y < int(origin.y + size.y); ++y)
        for (int x = int(origin.x); x < int(origin.x + size.x); ++x) {
            const Pixel pixel = At(x, y);
            lit += pixel[0] > 200;
            dark += pixel[0] < 50;
        }
    EXPECT_GT(lit, 20);
    EXPECT_GT(dark, lit);
}

TEST_F(RendererTest, LeavesTheProgramsGlStateAsItFoundIt)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glViewport(1, 2, 30, 40);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(2.0f, 2.0f, 2.0f);
    glEnableClientState(GL_NORMAL_ARRAY);

    ImGui::GetIO().DisplaySize = ImVec2(width, height);
    Render([](ImDrawList* list) { list->AddRectFilled(ImVec2(0, 0), ImVec2(8, 8), IM_COL32_WHITE); });

    EXPECT_EQ(At(4, 4), (Pixel{255, 255, 255}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));

    GLint viewport[4], binding = 0, matrixMode = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{1, 2, 30, 40}));
    EXPECT_EQ(GLuint(binding), texture);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);

    GLfloat colour[4], projection[16], modelview[16];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_FLOAT_EQ(colour[1], 0.5f);
    EXPECT_FLOAT_EQ(projection[14], 3.0f);
    EXPECT_FLOAT_EQ(modelview[0], 2.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}
}
