// With anti-aliasing on, the window's depth buffer that the map is copied
// from without framebuffer objects is multisampled; the shadows must come
// out the same.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>
#include <GL/glx.h>

namespace ShadowMapTests
{
namespace
{
// A current context on a 4-sample pbuffer with depth and stencil.
class MultisampledPbuffer
{
public:
    MultisampledPbuffer(int width, int height)
    {
        display = XOpenDisplay(nullptr);
        if (display == nullptr)
            return;
        const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                                  GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 24,
                                  GLX_STENCIL_SIZE, 8, GLX_SAMPLE_BUFFERS, 1, GLX_SAMPLES, 4, 0};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
        if (configs == nullptr || count == 0)
            return;
        const int size[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, 0};
        pbuffer = glXCreatePbuffer(display, configs[0], size);
        context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
        XFree(configs);
        ready = context != nullptr && glXMakeContextCurrent(display, pbuffer, pbuffer, context) &&
                glewInit() == GLEW_OK;
    }

    ~MultisampledPbuffer()
    {
        if (context != nullptr) {
            glXMakeContextCurrent(display, 0, 0, nullptr);
            glXDestroyContext(display, context);
        }
        if (pbuffer != 0)
            glXDestroyPbuffer(display, pbuffer);
        if (display != nullptr)
            XCloseDisplay(display);
    }

    MultisampledPbuffer(const MultisampledPbuffer&) = delete;
    MultisampledPbuffer& operator=(const MultisampledPbuffer&) = delete;

    bool Ready() const { return ready; }

private:
    Display* display = nullptr;
    GLXPbuffer pbuffer = 0;
    GLXContext context = nullptr;
    bool ready = false;
};

// One pixel of the pbuffer, y counted from the top.
double BrightnessAt(int height, const std::array<int, 2>& at)
{
    std::uint8_t pixel[3] = {};
    glReadPixels(at[0], height - 1 - at[1], 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    return (pixel[0] + pixel[1] + pixel[2]) / 3.0;
}
}

TEST_F(ShadowMapTest, MultisampledWindowGetsTheSameShadows)
{
    constexpr int Width = 800, Height = 600;
    MultisampledPbuffer buffer(Width, Height);
    if (!buffer.Ready())
        GTEST_SKIP() << "no multisampled pbuffer";
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &samples);
    ASSERT_GT(samples, 0);

    width = Width;
    height = Height;
    renderer = std::make_unique<Renderer>();
    ASSERT_TRUE(renderer->LoadScene(BoxOverFloor().Write(dir)));
    {
        const WithoutFramebufferObjects hidden;
        renderer->InitGL();
    }
    ASSERT_EQ(renderer->shadowMapFramebuffer, 0u);
    renderer->Resize(Width, Height);
    renderer->options.rendererMode = RendererMode::Mapping;
    renderer->options.showFrustum = false;
    renderer->options.useMapView = false;
    renderer->pitch = 30.0f;
    const ShadowCase& light = ShadowCases()[0];
    UseLight(light);

    ClearFrame();
    renderer->RenderShadowMap();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const double shadowed = BrightnessAt(Height, OnScreen(light.shadowed));
    const double lit = BrightnessAt(Height, OnScreen(light.lit));
    EXPECT_LT(shadowed + 40.0, lit);
    EXPECT_GT(shadowed, 0.0);
    renderer.reset();
}
}
