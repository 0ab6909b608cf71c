// Pixel formats over GLX configurations and WGL contexts drawing into
// windows, on a real X display.

#include <gtest/gtest.h>

#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"
#include "platform/WindowObjects.h"
#include "platform/X11Display.h"
#include "support/DesktopDisplay.h"

#include <GL/gl.h>
#include <GL/glx.h>

namespace
{
class PixelFormat : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Platform::GetDisplay())
            GTEST_SKIP() << "no X display";
        PlatformTesting::ForgetWindowClasses();
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "FormatWindow";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window = CreateWindowExA(0, "FormatWindow", "format", WS_OVERLAPPEDWINDOW, 0, 0, 64, 48,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dc = GetDC(window);
    }

    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
    }

    static PIXELFORMATDESCRIPTOR Request(BYTE color, BYTE depth, BYTE stencil)
    {
        PIXELFORMATDESCRIPTOR d{};
        d.nSize = sizeof d;
        d.nVersion = 1;
        d.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        d.iPixelType = PFD_TYPE_RGBA;
        d.cColorBits = color;
        d.cDepthBits = depth;
        d.cStencilBits = stencil;
        return d;
    }

    int Attribute(int format, int attribute)
    {
        int value = -1;
        EXPECT_TRUE(wglGetPixelFormatAttribivARB(dc, format, 0, 1, &attribute, &value));
        return value;
    }

    int ChooseMultisampled(int samples)
    {
        const int attributes[] = {WGL_SUPPORT_OPENGL_ARB, 1, WGL_DRAW_TO_WINDOW_ARB, 1,
                                  WGL_DOUBLE_BUFFER_ARB, 1, WGL_ACCELERATION_ARB,
                                  WGL_FULL_ACCELERATION_ARB, WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB,
                                  WGL_COLOR_BITS_ARB, 32, WGL_DEPTH_BITS_ARB, 24,
                                  WGL_STENCIL_BITS_ARB, 8, WGL_SAMPLE_BUFFERS_ARB, 1,
                                  WGL_SAMPLES_ARB, samples, 0};
        int format = 0;
        UINT count = 0;
        EXPECT_TRUE(wglChoosePixelFormatARB(dc, attributes, nullptr, 1, &format, &count));
        return count == 1 ? format : 0;
    }

    HWND window = nullptr;
    HDC dc = nullptr;
};

TEST_F(PixelFormat, DescriptorChoiceKeepsTheStencilAskedForAndDescribesAsWglAnswers)
{
    const PIXELFORMATDESCRIPTOR request = Request(32, 24, 8);
    const int format = ChoosePixelFormat(dc, &request);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR d{};
    const int count = DescribePixelFormat(dc, format, sizeof d, &d);
    EXPECT_EQ(count, Attribute(1, WGL_NUMBER_PIXEL_FORMATS_ARB));
    EXPECT_GE(d.cStencilBits, 8);
    EXPECT_GE(d.cDepthBits, 24);
    EXPECT_EQ(d.cColorBits, 32);
    EXPECT_TRUE(d.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_FALSE(d.dwFlags & PFD_NEED_PALETTE);
    EXPECT_EQ(Attribute(format, WGL_COLOR_BITS_ARB), d.cColorBits);
    EXPECT_EQ(Attribute(format, WGL_DEPTH_BITS_ARB), d.cDepthBits);
    EXPECT_EQ(Attribute(format, WGL_STENCIL_BITS_ARB), d.cStencilBits);
    EXPECT_EQ(Attribute(format, WGL_SAMPLE_BUFFERS_ARB), 0);
    EXPECT_EQ(Attribute(format, WGL_DRAW_TO_WINDOW_ARB), 1);
}

TEST_F(PixelFormat, TheDeepestDepthIsNotTakenAtTheCostOfStencil)
{
    // Mesa's 32-bit depth formats have no stencil; asking for both must not
    // give up the stencil buffer, also when more stencil bits are asked for
    // than any format has.
    for (const BYTE stencil : {8, 32}) {
        const PIXELFORMATDESCRIPTOR request = Request(32, 32, stencil);
        const int format = ChoosePixelFormat(dc, &request);
        ASSERT_GT(format, 0);
        EXPECT_GE(Attribute(format, WGL_STENCIL_BITS_ARB), 8) << int{stencil};
        EXPECT_GE(Attribute(format, WGL_DEPTH_BITS_ARB), 24) << "the deepest depth that has the stencil";
    }
}

TEST_F(PixelFormat, WglChoiceHonoursSamplesAndFindsNoneBeyondTheDriver)
{
    const int format = ChooseMultisampled(2);
    ASSERT_GT(format, 0);
    EXPECT_EQ(Attribute(format, WGL_SAMPLE_BUFFERS_ARB), 1);
    EXPECT_GE(Attribute(format, WGL_SAMPLES_ARB), 2);
    EXPECT_GE(Attribute(format, WGL_STENCIL_BITS_ARB), 8);
    EXPECT_EQ(ChooseMultisampled(64), 0);
}

TEST_F(PixelFormat, FormatIsSetOnceAndItsContextDrawsIntoTheWindow)
{
    const PIXELFORMATDESCRIPTOR request = Request(32, 24, 8);
    const int format = ChoosePixelFormat(dc, &request);
    ASSERT_TRUE(SetPixelFormat(dc, format, &request));
    EXPECT_EQ(GetPixelFormat(dc), format);
    EXPECT_TRUE(SetPixelFormat(dc, format, &request));
    EXPECT_FALSE(SetPixelFormat(dc, format == 1 ? 2 : 1, &request));

    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    glViewport(0, 0, 64, 48);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    GLint stencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_GE(stencil, 8);
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_TRUE(wglDeleteContext(context));
    EXPECT_FALSE(wglDeleteContext(context));
}

// The server refuses a drawable another client destroyed; the call must say
// so, as its Windows counterpart does, and leave no context current.
TEST_F(PixelFormat, ContextOnAWindowGoneFromTheServerIsNotMadeCurrent)
{
    const PIXELFORMATDESCRIPTOR request = Request(32, 24, 8);
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &request), &request));
    HGLRC context = wglCreateContext(dc);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(Desktop::DestroyAsAnotherClient(window->xwindow));

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(wglMakeCurrent(dc, context));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(glXGetCurrentContext(), nullptr);
    wglDeleteContext(context);
}

TEST_F(PixelFormat, MultisampledFormatGivesAMultisampledContext)
{
    const int format = ChooseMultisampled(2);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR unused{};
    ASSERT_TRUE(SetPixelFormat(dc, format, &unused));
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    GLint samples = 0;
    glGetIntegerv(0x80A9 /* GL_SAMPLES */, &samples);
    EXPECT_EQ(samples, Attribute(format, WGL_SAMPLES_ARB));
    wglDeleteContext(context);
}

TEST_F(PixelFormat, PalettesAreKeptButNeverNeeded)
{
    LOGPALETTE logical{0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE palette = CreatePalette(&logical);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(SelectPalette(dc, palette, FALSE), nullptr);
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_FALSE(DeleteObject(palette));
}
}
