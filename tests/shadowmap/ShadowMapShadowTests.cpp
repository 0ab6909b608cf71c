// Shadows of the depth map on the virtual display: each kind of light, the
// spot's cone, the lights whose view has no natural up direction, and
// windows too small to hold the map.
#include "ShadowMapTestSupport.h"

#include <cmath>
#include <tuple>

namespace ShadowMapTests
{
namespace
{
struct WindowSize
{
    int width;
    int height;
};

// A floor point under a caster is much darker than one in the open, which
// keeps the colour of the scene without shadow. At 800 × 600 the map is
// rendered in the window's depth buffer, as without framebuffer objects, at
// 400 × 300 in a buffer of its own.
class LightShadow : public ShadowMapTest, public testing::WithParamInterface<std::tuple<int, WindowSize>>
{
};

TEST_P(LightShadow, FloorUnderTheBoxIsDarkerThanTheOpenFloor)
{
    const ShadowCase& light = ShadowCases()[std::get<0>(GetParam())];
    const WindowSize size = std::get<1>(GetParam());
    OpenWindow(size.width, size.height);
    if (size.width >= 512 && size.height >= 512)
        StartRendererWithoutFramebuffers(BoxOverFloor());
    else
        StartRenderer(BoxOverFloor());
    UseLight(light);
    const Image image = Pass();
    Save(image, std::string(light.name) + "-" + std::to_string(size.width));
    const std::array<int, 2> shadowed = OnScreen(light.shadowed);
    const std::array<int, 2> lit = OnScreen(light.lit);
    EXPECT_LT(Brightness(image, shadowed) + 40.0, Brightness(image, lit));
    EXPECT_GT(Brightness(image, shadowed), 0.0) << "shadow keeps the dimmed light";
    EXPECT_NEAR(Brightness(image, lit), Brightness(Unshadowed(), lit), 2.0);
}

std::string LightShadowName(const testing::TestParamInfo<std::tuple<int, WindowSize>>& info)
{
    const WindowSize size = std::get<1>(info.param);
    return std::string(ShadowCases()[std::get<0>(info.param)].name) + "_" + std::to_string(size.width) + "x" +
           std::to_string(size.height);
}

INSTANTIATE_TEST_SUITE_P(LightsAndWindows, LightShadow,
                         testing::Combine(testing::Range(0, 3), testing::Values(WindowSize{800, 600},
                                                                               WindowSize{400, 300})),
                         LightShadowName);

// The floor just outside a 30 degree cone, all around it, looks as it does
// without any shadow method: the global ambient light alone.
TEST_F(ShadowMapTest, OutsideTheSpotsConeNothingIsLit)
{
    Start(640, 480, BoxOverFloor());
    const KorvanaFramework::Vec3 spot{0, 6, 3};
    UseSpot(spot, 180.0f, -std::atan2(6.0f, 3.0f) / KorvanaFramework::DegreesToRadians, 30.0f);
    renderer->light.spotExponent = 0.0f;
    const Image image = Pass();
    Save(image, "spot-cone");
    const Image unshadowed = Unshadowed();
    const double shadow = Brightness(image, OnScreen({0, -2, -1}));
    EXPECT_GT(Brightness(image, OnScreen({1, -2, -1})), shadow + 40.0) << "lit inside the cone";

    const Vec3 axis = renderer->light.direction;
    const Vec3 side{1, 0, 0};
    const Vec3 up{0, axis[2], -axis[1]};  // axis × side
    const float angle = 35.0f * KorvanaFramework::DegreesToRadians;
    int seen = 0;
    for (int step = 0; step < 12; ++step) {
        const float around = step * 30.0f * KorvanaFramework::DegreesToRadians;
        Vec3 ray{};
        for (int i = 0; i < 3; ++i)
            ray[i] = std::cos(angle) * axis[i] +
                     std::sin(angle) * (std::cos(around) * side[i] + std::sin(around) * up[i]);
        if (ray[1] >= 0.0f)
            continue;
        const float t = (-2.0f - spot[1]) / ray[1];
        const std::array<int, 2> at = ScreenOf({spot[0] + t * ray[0], -2, spot[2] + t * ray[2]});
        if (at[0] < 0 || at[0] >= width || at[1] < 0 || at[1] >= height)
            continue;
        ++seen;
        EXPECT_NEAR(Brightness(image, at), Brightness(unshadowed, at), 1.0) << "around " << step * 30;
        EXPECT_LT(Brightness(image, at), shadow) << "around " << step * 30;
    }
    EXPECT_GE(seen, 6);
}

// Lights whose up vector would be parallel to their view: a spot of 90
// degrees looking straight down (its frustum kept below 180 degrees) and a
// directional light straight above. Both still cast the box's shadow.
TEST_F(ShadowMapTest, LightsLookingStraightDownCastTheShadow)
{
    Start(640, 480, BoxOverFloor());
    auto check = [&](const std::string& name) {
        const Image image = Pass();
        Save(image, name);
        EXPECT_LT(Brightness(image, OnScreen({0, -2, 0})) + 40.0, Brightness(image, OnScreen({3, -2, 0}))) << name;
        EXPECT_GT(Brightness(image, OnScreen({0.9f, -2, 0})), Brightness(image, OnScreen({0.4f, -2, 0})) + 40.0)
            << name << ": the shadow has the box's size";
    };
    UseSpot({0, 6, 0}, 180.0f, -90.0f, 90.0f);
    check("spot-down-90");
    renderer->light.lightType = LightType::Directional;
    renderer->light.position = {0, 6, 0, 0};
    check("directional-above");
}

// Both the shadowed floor and the open floor beside it fall on texels of
// the map outside the window's 400 × 300 pixels: the map must be whole.
TEST_F(ShadowMapTest, SmallWindowGetsTheWholeMap)
{
    Start(400, 300, BoxOverFloor().Box("FarBox", "red", {3, 0, -2}, 0.5f));
    UseSpot({0, 6, 3}, 180.0f, -std::atan2(6.0f, 3.0f) / KorvanaFramework::DegreesToRadians, 30.0f);
    renderer->light.spotExponent = 0.0f;
    const Image image = Pass();
    Save(image, "small-window");
    const Vec3 shadowed{4, -2, -3.67f}, lit{4, -2, -1.8f};
    for (const Vec3& point : {shadowed, lit}) {
        const std::array<double, 2> texel = MapTexelOf(point);
        ASSERT_TRUE(texel[0] > 400.0 || texel[1] > 300.0) << texel[0] << ", " << texel[1];
        ASSERT_TRUE(texel[0] < 512.0 && texel[1] < 512.0) << texel[0] << ", " << texel[1];
    }
    EXPECT_LT(Brightness(image, OnScreen(shadowed)) + 40.0, Brightness(image, OnScreen(lit)));
    EXPECT_NEAR(Brightness(image, OnScreen(lit)), Brightness(Unshadowed(), OnScreen(lit)), 2.0);
}

// A wall is an open mesh: with its back to the light it still shadows the
// floor in front of it, in the flat map, fitted, in the cube map and
// flattened by the projected method.
TEST_F(ShadowMapTest, AnOpenCasterWithItsBackToTheLightCastsItsShadow)
{
    TestScene scene;
    scene.Material("grey", 0.8f, 0.8f, 0.8f).Material("red", 0.9f, 0.1f, 0.1f);
    scene.Floor("FloorNS", "grey", -2.0f, 10.0f, 40).Floor("ShadowPlaneNS", "grey", -2.0f, 10.0f, 1);
    Start(640, 480, scene.Wall("Wall", "red", 0.0f, 1.0f));
    if (IsSkipped())
        return;
    renderer->light.position = {0, 4, -4, 1};
    auto check = [&](const Image& image, const std::string& name) {
        Save(image, "open-caster-" + name);
        EXPECT_LT(Brightness(image, OnScreen({0, -2, 2})) + 40.0, Brightness(image, OnScreen({4, -2, 2}))) << name;
    };
    check(Pass(), "flat");
    renderer->options.fitFrustum = true;
    check(Pass(), "fitted");
    renderer->options.cubeMap = renderer->shadowCube.Ready();
    check(Pass(), "cube");
    ClearFrame();
    renderer->RenderProjectedShadow();
    check(window->ReadBack(), "projected");
}
}
}
