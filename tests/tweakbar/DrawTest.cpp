// gtest and the tweak-bar header before the X headers, whose macros (None,
// Bool) would break the first and whose APIENTRY the second defines.
#include <gtest/gtest.h>

#include "TweakBarFixture.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <array>
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
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            GTEST_SKIP() << "no X display";
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        ASSERT_TRUE(configs != nullptr && count > 0);
        const int pbufferAttributes[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
        pbuffer = glXCreatePbuffer(display, configs[0], pbufferAttributes);
        context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
        XFree(configs);
        ASSERT_NE(context, nullptr);
        ASSERT_TRUE(glXMakeContextCurrent(display, pbuffer, pbuffer, context));
        glViewport(0, 0, width, height);
        TweakBarTest::SetUp();
        TwWindowSize(width, height);
        bar = TwNewBar("b");
        ASSERT_EQ(TwDefine("b position='2000 20' size='150 100' color='200 20 20' alpha=255"), 1);
        TwAddVarRW(bar, "value", TW_TYPE_FLOAT, &value, "label='Wartosc'");
    }

    void TearDown() override
    {
        if (context != nullptr) {
            TwWindowSize(0, 0);
            TweakBarTest::TearDown();
            glXMakeContextCurrent(display, None, None, nullptr);
            glXDestroyContext(display, context);
        }
        if (pbuffer != None)
            glXDestroyPbuffer(display, pbuffer);
        if (display != nullptr)
            XCloseDisplay(display);
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

    Display* display = nullptr;
    GLXPbuffer pbuffer = None;
    GLXContext context = nullptr;
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
