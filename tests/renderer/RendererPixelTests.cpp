// The frame on the virtual display: the scene with its materials, the plane
// object never drawn, the light marker, the full and dimmed light, a spot's
// cone, the background option, sizes and the camera projection.
#include "RendererTestSupport.h"

#include <GL/glew.h>

#include <cmath>

namespace RendererTests
{
namespace
{
using KorvanaFramework::LightType;
using KorvanaFramework::RendererMode;

// A grey floor two units below the origin, nothing else.
std::string FloorScene(const TestSupport::TempDir& dir)
{
    return TestScene().Material("grey", 0.8f, 0.8f, 0.8f).Floor("FloorNS", "grey", -2.0f, 10.0f, 40).Write(dir);
}

std::array<double, 3> MeanColour(const Image& image, const std::vector<bool>& where, int& count)
{
    std::array<double, 3> sum{};
    count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!where[static_cast<std::size_t>(y) * image.width + x])
                continue;
            const std::uint8_t* p = image.At(x, y);
            for (int c = 0; c < 3; ++c)
                sum[c] += p[c];
            ++count;
        }
    }
    for (double& channel : sum)
        channel /= count > 0 ? count : 1;
    return sum;
}

TEST_F(RendererGLTest, EveryCasterOfTheDefaultSceneShowsItsMaterialsHue)
{
    Start(DefaultScenePath());
    const Image image = LitScene();
    Save(image, "default-scene");
    const auto& scene = renderer->scene;
    int casters = 0;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const auto& object = scene.ObjectAt(i);
        if (!object.castsShadow)
            continue;
        ++casters;
        int count = 0;
        const std::array<double, 3> mean = MeanColour(image, VisiblePixels(i), count);
        ASSERT_GT(count, 100) << object.name << " is hardly visible";
        const auto& diffuse = scene.Materials().MaterialAt(object.materialIndex).diffuse;
        EXPECT_LT(HueDistance(Hue(mean[0], mean[1], mean[2]), Hue(diffuse[0], diffuse[1], diffuse[2])), 20.0)
            << object.name << " looks " << mean[0] << ", " << mean[1] << ", " << mean[2];
    }
    EXPECT_EQ(casters, 4);
}

// The plane object stands between the eye and a red box: drawn, it would
// hide the box in every way the scene is drawn.
TEST_F(RendererGLTest, ShadowPlaneObjectIsNeverDrawn)
{
    Start(TestScene()
              .Material("red", 0.9f, 0.1f, 0.1f)
              .Material("green", 0.1f, 0.9f, 0.1f)
              .Box("Box", "red", {0, 0, 0}, 1.0f)
              .Wall("ShadowPlaneNS", "green", 4.0f, 5.0f)
              .Write(dir));
    const std::array<int, 2> centre = ScreenOf({0, 0, 1});
    const std::array<int, 2> beside = ScreenOf({2, 2, 4});
    const Image lit = LitScene();
    const std::uint8_t* box = lit.At(centre[0], centre[1]);
    EXPECT_GT(box[0], 2 * box[1]);
    EXPECT_EQ(Brightness(lit, beside), 0.0);

    for (const bool castersOnly : {false, true}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glColor3f(1, 1, 1);
        renderer->DrawScene(false, false, castersOnly);
        glEnable(GL_LIGHTING);
        const Image flat = window->ReadBack();
        EXPECT_EQ(Brightness(flat, centre), 255.0) << castersOnly;
        EXPECT_EQ(Brightness(flat, beside), 0.0) << castersOnly;
    }
}

TEST_F(RendererGLTest, LightMarkerIsYellowWhereTheLightIs)
{
    Start(FloorScene(dir));
    renderer->light.position = {3.0f, 1.0f, 0.0f, 1.0f};
    const Image image = Frame();
    Save(image, "marker");
    EXPECT_TRUE(IsYellow(image, ScreenOf({3, 1, 0})));
    EXPECT_FALSE(IsYellow(image, ScreenOf({3, 1.5f, 0})));
}

// A point light at the origin has no direction towards it; its marker is
// still drawn there, with finite numbers. The view is panned so that the
// origin is not under the light bar.
TEST_F(RendererGLTest, PointLightAtTheOriginShowsItsMarker)
{
    Start(FloorScene(dir));
    renderer->panX = -2.0f;
    renderer->light.position = {0.0f, 0.0f, 0.0f, 1.0f};
    const Image image = Frame();
    Save(image, "marker-origin");
    EXPECT_TRUE(IsYellow(image, ScreenOf({0, 0, 0})));
}

TEST_F(RendererGLTest, DimmedLightIsDarkerThanTheFullLight)
{
    Start(FloorScene(dir));
    renderer->pitch = 30.0f;
    const std::array<int, 2> floor = ScreenOf({2, -2, 2});
    const double full = Brightness(LitScene(true), floor);
    const double dimmed = Brightness(LitScene(false), floor);
    EXPECT_GT(full, 60.0);
    EXPECT_LT(dimmed, full - 40.0);
    EXPECT_GT(dimmed, 0.0);
}

TEST_F(RendererGLTest, SpotLightsInsideItsConeOnly)
{
    Start(FloorScene(dir));
    renderer->pitch = 30.0f;
    auto& light = renderer->light;
    light.lightType = LightType::Spot;
    light.position = {0.0f, 3.0f, 0.0f, 1.0f};
    light.SetAngles(0.0f, -90.0f);
    light.spotCutoff = 20.0f;
    light.spotExponent = 0.0f;
    const Image image = LitScene();
    Save(image, "spot");
    // The cone meets the floor in a circle of radius 5 · tan 20° ≈ 1.8.
    const double inside = Brightness(image, ScreenOf({0.5f, -2, 0.5f}));
    const double outside = Brightness(image, ScreenOf({3.5f, -2, 0}));
    const double behind = Brightness(image, ScreenOf({0, -2, -4}));
    EXPECT_GT(inside, 100.0);
    EXPECT_LT(outside, 40.0);
    EXPECT_LT(behind, 40.0);

    light.lightType = LightType::Point;
    EXPECT_GT(Brightness(LitScene(), ScreenOf({3.5f, -2, 0})), 100.0) << "a point light has no cone";
}

TEST_F(RendererGLTest, BackgroundColourFillsTheEmptyImage)
{
    Start(FloorScene(dir));
    renderer->options.backgroundColor = {0.2f, 0.4f, 0.6f};
    const Image image = Frame();
    const std::uint8_t* corner = image.At(Width - 4, 4);
    EXPECT_NEAR(corner[0], 51, 1);
    EXPECT_NEAR(corner[1], 102, 1);
    EXPECT_NEAR(corner[2], 153, 1);
}

// Any other mode value runs no pass, but the frame still clears and draws
// the marker and the bars. Without a pass no camera is applied, so the
// marker stands where the light's position lies in eye coordinates: with
// the camera at its start, that is where the world point 10 units nearer
// the eye is seen.
TEST_F(RendererGLTest, ModeOutsideTheKnownOnesDrawsNoPass)
{
    Start(FloorScene(dir));
    renderer->light.position = {1.5f, 0.5f, -5.0f, 1.0f};
    const std::array<int, 2> floor = ScreenOf({2, -2, 2});
    const std::array<int, 2> bar{100, 40};
    EXPECT_GT(Brightness(Frame(), floor), 30.0);

    renderer->options.rendererMode = static_cast<RendererMode>(7);
    const Image image = Frame();
    Save(image, "mode-7");
    EXPECT_EQ(Brightness(image, floor), 0.0);
    EXPECT_TRUE(IsYellow(image, ScreenOf({1.5f, 0.5f, 5.0f})));
    EXPECT_GT(Brightness(image, bar), 0.0);
}

TEST_F(RendererGLTest, ZeroSidesCountAsOne)
{
    Start(FloorScene(dir));
    EXPECT_TRUE(renderer->Resize(800, 0));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_EQ(renderer->viewportHeight, 1);
    EXPECT_FLOAT_EQ(renderer->aspect, 800.0f);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (const GLfloat value : projection)
        EXPECT_TRUE(std::isfinite(value));

    // A minimised window has no width either.
    EXPECT_TRUE(renderer->Resize(0, 0));
    EXPECT_EQ(renderer->viewportWidth, 1);
    EXPECT_FLOAT_EQ(renderer->aspect, 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (const GLfloat value : projection)
        EXPECT_TRUE(std::isfinite(value));
}

// The finite matrix is glFrustum's; the infinite one holds only in the
// volume mode and stays until the projection is built again.
TEST_F(RendererGLTest, ProjectionHasAFiniteOrAnInfiniteFarPlane)
{
    Start(FloorScene(dir));
    renderer->Resize(800, 600);
    GLfloat loaded[16], expected[16];
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glFrustum(-0.05 * 800 / 600, 0.05 * 800 / 600, -0.05, 0.05, 0.1, 100);
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(loaded[i], expected[i], 1e-5) << i;

    renderer->options.infiniteFrustum = true;
    renderer->UpdateProjection();
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    EXPECT_NEAR(loaded[10], expected[10], 1e-6) << "infinite only in the volume mode";

    renderer->options.rendererMode = RendererMode::Volumes;
    renderer->UpdateProjection();
    renderer->options.rendererMode = RendererMode::None;
    renderer->RenderFrame();
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    EXPECT_FLOAT_EQ(loaded[10], -0.99f);
    EXPECT_FLOAT_EQ(loaded[14], -0.199f);

    renderer->Resize(800, 600);
    glGetFloatv(GL_PROJECTION_MATRIX, loaded);
    EXPECT_NEAR(loaded[10], expected[10], 1e-6);
}

TEST_F(RendererGLTest, MultisamplingFollowsTheRenderersSwitch)
{
    if (!WGLEW_ARB_multisample)
        GTEST_SKIP() << "no multisample extension";
    for (const bool multisample : {true, false}) {
        renderer.reset();
        renderer = std::make_unique<Renderer>();
        renderer->multisample = multisample;
        renderer->InitGL();
        EXPECT_EQ(glIsEnabled(GL_MULTISAMPLE_ARB), multisample ? GL_TRUE : GL_FALSE);
    }
}
}
}
