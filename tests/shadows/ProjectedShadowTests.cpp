// The projected shadow on the virtual display: the projection matrix, black
// and darkened shadows on the test scene and the default scene, the stencil
// against double darkening, the scene hidden, and scenes without a plane.
#include "ShadowTestSupport.h"

#include <cmath>
#include <functional>

namespace ShadowTests
{
namespace
{
class ProjectedShadow : public ShadowGLTest
{
protected:
    // Darkened shadow with the factor and the stencil as given.
    void Darken(float factor, bool stencil)
    {
        renderer->options.projectedUseDarkening = true;
        renderer->options.projectedDarkeningFactor = factor;
        renderer->options.darkeningStencil = stencil;
    }
};

TEST_F(ProjectedShadow, MatrixProjectsFromTheLightOntoThePlane)
{
    Start(DataScene("boxes.obj"));
    renderer->planeEquation = {0, 1, 0, 0};
    auto project = [&](const Vec4& light, const Vec4& point) {
        PlaceLight(light);
        glLoadIdentity();
        renderer->ComputeShadowMatrix();
        GLfloat loaded[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, loaded);
        const auto& m = renderer->shadowMatrix;
        Vec4 result{};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column)
                result[row] += m[4 * column + row] * point[column];
            for (int column = 0; column < 4; ++column)
                EXPECT_EQ(loaded[4 * column + row], m[4 * column + row]);
        }
        return result;
    };
    // Central from a point light: (10, 0, 0, 5) is (2, 0, 0), where the ray
    // from the light through the point meets the plane.
    EXPECT_EQ(project({0, 10, 0, 1}, {1, 5, 0, 1}), (Vec4{10, 0, 0, 5}));
    // Parallel along a directional light.
    EXPECT_EQ(project({1, 1, 0, 0}, {1, 5, 0, 1}), (Vec4{-4, 0, 0, 1}));
}

// A floor point in a caster's shadow is darker than one far from it, in
// every look of the shadow, on the test scene and on the default scene.
struct Look
{
    const char* name;
    std::function<void(KorvanaFramework::RendererOptions&)> set;
};

const Look Looks[] = {
    {"black", [](auto&) {}},
    {"darkened", [](auto& o) { o.projectedUseDarkening = true; }},
    {"darkened without stencil",
     [](auto& o) {
         o.projectedUseDarkening = true;
         o.darkeningStencil = false;
     }},
    {"black, objects hidden",
     [](auto& o) {
         o.drawObjects = false;
         o.backgroundColor = {1, 1, 1};
     }},
    {"darkened, objects hidden",
     [](auto& o) {
         o.drawObjects = false;
         o.projectedUseDarkening = true;
         o.backgroundColor = {1, 1, 1};
     }},
};

class ProjectedShadowLooks : public ProjectedShadow, public testing::WithParamInterface<Look>
{
};

TEST_P(ProjectedShadowLooks, FloorUnderTheCasterIsDarker)
{
    StartBoxes();
    GetParam().set(renderer->options);
    const Image image = Pass(RendererMode::Projected);
    EXPECT_LT(BrightnessOf(image, UnderCaster) + 40, BrightnessOf(image, FarFromBoxes));
}

TEST_P(ProjectedShadowLooks, DefaultSceneFloorUnderTheSphereIsDarker)
{
    Start(RendererTests::DefaultScenePath());
    GetParam().set(renderer->options);
    const Image image = Pass(RendererMode::Projected);
    EXPECT_LT(BrightnessOf(image, UnderDefaultSphere) + 40, BrightnessOf(image, FarInDefaultScene));
}

INSTANTIATE_TEST_SUITE_P(, ProjectedShadowLooks, testing::ValuesIn(Looks),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// Black is black; a darkening factor f leaves 1 − f of the lit colour, so
// 0 shows no shadow and 1 a black one.
TEST_F(ProjectedShadow, ShadowColourFollowsTheDarkeningFactor)
{
    StartBoxes();
    const double lit = BrightnessOf(Pass(RendererMode::None), UnderCaster);
    ASSERT_GT(lit, 100);
    EXPECT_EQ(BrightnessOf(Pass(RendererMode::Projected), UnderCaster), 0.0);
    for (const float factor : {0.0f, 0.25f, 0.5f, 1.0f}) {
        Darken(factor, true);
        EXPECT_NEAR(BrightnessOf(Pass(RendererMode::Projected), UnderCaster), lit * (1 - factor), 2.0) << factor;
    }
}

// Two boxes whose shadows overlap: with the stencil each pixel is darkened
// once; without it the overlap is darkened twice.
TEST_F(ProjectedShadow, StencilKeepsOverlappingShadowsFromDarkeningTwice)
{
    StartBoxes();
    PlaceLight(ThroughBothBoxes);
    const Image lit = Pass(RendererMode::None);
    const double both = BrightnessOf(lit, BothShadows), single = BrightnessOf(lit, UpperShadowOnly);
    ASSERT_NEAR(both, single, 2.0);

    Darken(0.5f, true);
    Image image = Pass(RendererMode::Projected);
    EXPECT_NEAR(BrightnessOf(image, BothShadows), both * 0.5, 2.0);
    EXPECT_NEAR(BrightnessOf(image, UpperShadowOnly), single * 0.5, 2.0);

    Darken(0.5f, false);
    image = Pass(RendererMode::Projected);
    EXPECT_NEAR(BrightnessOf(image, BothShadows), both * 0.25, 2.0);
    EXPECT_NEAR(BrightnessOf(image, UpperShadowOnly), single * 0.5, 2.0);
}

// With the objects hidden only the shadow shows over the background, and a
// caster in front of its own shadow still hides it. The light in front of
// the small box throws its shadow behind it, partly out of sight.
TEST_F(ProjectedShadow, HiddenObjectsStillHideTheShadowBehindThem)
{
    StartBoxes();
    PlaceLight({0, 8, 6, 1});
    renderer->options.drawObjects = false;
    renderer->options.backgroundColor = {1, 1, 1};
    const Image image = Pass(RendererMode::Projected);
    Save(image, "shadows-projected-hidden-objects");
    EXPECT_EQ(BrightnessOf(image, {0, 0, -1.8f}), 0.0);
    EXPECT_EQ(BrightnessOf(image, {0, 2.5f, 0.5f}), 255.0) << "the box's front hides the shadow at (0, 0, -3.4)";
    EXPECT_EQ(BrightnessOf(image, FarFromBoxes), 255.0);
}

// The matrix is rebuilt every frame from the light's position.
TEST_F(ProjectedShadow, MovedLightMovesTheShadowInTheNextFrame)
{
    StartBoxes();
    EXPECT_EQ(BrightnessOf(Pass(RendererMode::Projected), UnderCaster), 0.0);
    PlaceLight({0, 8, 6, 1});
    const Image moved = Pass(RendererMode::Projected);
    EXPECT_GT(BrightnessOf(moved, UnderCaster), 100);
    EXPECT_EQ(BrightnessOf(moved, {0, 0, -1.8f}), 0.0);
}

// Without a usable plane the frame is the lit scene alone.
TEST_F(ProjectedShadow, SceneWithoutAPlaneShowsNoShadow)
{
    const std::string withoutPlane = TestSupport::ReadFile(DataScene("boxes.obj"));
    const std::string flat = withoutPlane.substr(0, withoutPlane.find("o ShadowPlaneNS")) +
                             "o ShadowPlaneNS\nv 0 0 0\nv 1 0 0\nv 2 0 0\nf 170 171 172\n" +
                             withoutPlane.substr(withoutPlane.find("o Caster"));
    TestSupport::WriteFile(dir / "shadows.mtl", TestSupport::ReadFile(DataScene("shadows.mtl")));
    TestSupport::WriteFile(dir / "flat.obj", flat);
    StartScene(dir / "flat.obj", BoxesPitch, BoxesDistance);
    PlaceLight(OverCaster);
    ASSERT_FALSE(renderer->planeValid);
    EXPECT_EQ(Differences(Pass(RendererMode::Projected).rgb, Pass(RendererMode::None).rgb), 0u);
}
}
}
