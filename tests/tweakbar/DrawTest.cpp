// gtest and the tweak-bar header before the X headers, whose macros (None,
// Bool) would break the first and whose APIENTRY the second defines.
#include <gtest/gtest.h>

#include "TweakBarFixture.h"

#include "support/PbufferContext.h"

#include <GL/gl.h>

#include <array>
#include <memory>
#include <vector>

namespace
{
constexpr int width = 320;
constexpr int height = 240;

using Pixel = std::array<int, 3>;

// The bars drawn into a GL context on an off-screen pbuffer.
class DrawTest : public TweakBarTest
{
protected:
    void SetUp() override
    {
        gl = std::make_unique<TestSupport::PbufferContext>(width, height, false);
        if (!gl->HasDisplay())
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(gl->Ready());
        glViewport(0, 0, width, height);
        TweakBarTest::SetUp();
        TwWindowSize(width, height);
        bar = TwNewBar("b");
        ASSERT_EQ(TwDefine("b position='2000 20' size='150 100' color='200 20 20' alpha=255"), 1);
        TwAddVarRW(bar, "value", TW_TYPE_FLOAT, &value, "label='Wartosc'");
    }

    // The library lets go of its GL objects while their context is current.
    void TearDown() override
    {
        if (gl->Ready()) {
            TwWindowSize(0, 0);
            TweakBarTest::TearDown();
        }
        gl.reset();
    }

    // Frames over a black image; the image of the last one is kept.
    void Draw(int frames = 2)
    {
        for (int i = 0; i < frames; ++i) {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            ASSERT_EQ(TwDraw(), 1);
        }
        glFinish();
        pixels.assign(width * height * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    }

    // The pixel at window coordinates (y down).
    Pixel At(int x, int y) const
    {
        const size_t i = (static_cast<size_t>(height - 1 - y) * width + x) * 3;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    std::unique_ptr<TestSupport::PbufferContext> gl;
    TwBar* bar = nullptr;
    float value = 0.5f;
    std::vector<unsigned char> pixels;
};
}

TEST_F(DrawTest, ABarIsDrawnInItsColourAtTheRightEdge)
{
    Draw();
    // Docked at the right: x from 170 to 320, y from 20 to 120.
    const Pixel inside = At(180, 110);
    EXPECT_GT(inside[0], 150);
    EXPECT_LT(inside[1], 60);
    EXPECT_EQ(At(160, 110), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(250, 130), (Pixel{0, 0, 0}));
    EXPECT_EQ(At(100, 60), (Pixel{0, 0, 0}));

    TwDefine("b visible=false");
    Draw();
    EXPECT_EQ(At(180, 110), (Pixel{0, 0, 0}));
}

TEST_F(DrawTest, TransparentBarsLetTheImageThrough)
{
    TwDefine("b alpha=0");
    Draw();
    EXPECT_EQ(At(180, 110), (Pixel{0, 0, 0}));
    TwDefine("b alpha=128");
    Draw();
    const Pixel half = At(180, 110);
    EXPECT_GT(half[0], 60);
    EXPECT_LT(half[0], 150);
}

TEST_F(DrawTest, GLObjectsAreMadeAgainAfterTheirRelease)
{
    Draw();
    TwWindowSize(0, 0);
    TwWindowSize(width, height);
    Draw();
    EXPECT_GT(At(180, 110)[0], 150);
}
