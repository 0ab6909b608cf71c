// A point light's cube map on the virtual display: shadows in every
// direction around the light, the fallback where the driver offers no cube
// map, and the previews of the flat and the cube map.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>

namespace ShadowMapTests
{
namespace
{
constexpr int RingBoxes = 8;
constexpr float RingRadius = 3.0f;
// The light sits low and off the ring's centre, so that the single frustum,
// aimed at the origin, looks up and away from some of the boxes.
const Vec3 RingLight{1.0f, -1.0f, 0.0f};

Vec3 RingBoxCentre(int i)
{
    const float a = 2.0f * static_cast<float>(M_PI) * static_cast<float>(i) / RingBoxes;
    return {RingRadius * std::cos(a), -1.5f, RingRadius * std::sin(a)};
}

// Boxes of half-size 0.5 standing on the floor in a ring around the light.
TestScene BoxRing()
{
    TestScene scene;
    scene.Material("grey", 0.8f, 0.8f, 0.8f).Material("red", 0.9f, 0.1f, 0.1f);
    scene.Floor("FloorNS", "grey", -2.0f, 12.0f, 48);
    for (int i = 0; i < RingBoxes; ++i)
        scene.Box("Box" + std::to_string(i), "red", RingBoxCentre(i), 0.5f);
    return scene;
}

// The floor point behind box i on the ray from the light through its centre.
Vec3 BehindBox(int i)
{
    const Vec3 c = RingBoxCentre(i);
    const float t = (-2.0f - RingLight[1]) / (c[1] - RingLight[1]);
    return {RingLight[0] + t * (c[0] - RingLight[0]), -2.0f, RingLight[2] + t * (c[2] - RingLight[2])};
}

class CubeMapTest : public ShadowMapTest
{
protected:
    void StartRing()
    {
        Start(640, 480, BoxRing());
        if (IsSkipped())
            return;
        auto& l = renderer->light;
        l.lightType = LightType::Point;
        l.position = {RingLight[0], RingLight[1], RingLight[2], 1.0f};
        UseView({0.0f, 70.0f, 26.0f});
    }

    // The boxes whose shadow is missing behind them: the floor there is
    // nearer to the full light than to the dimmed one.
    std::string MissingShadows()
    {
        const Image lit = Unshadowed(), dimmed = Dimmed(), image = Pass();
        Save(image, std::string("ring-") + (renderer->options.cubeMap ? "cube" : "flat"));
        std::string missing;
        for (int i = 0; i < RingBoxes; ++i) {
            const std::array<int, 2> at = OnScreen(BehindBox(i));
            const double b = Brightness(image, at);
            if (std::fabs(b - Brightness(lit, at)) < std::fabs(b - Brightness(dimmed, at)))
                missing += (missing.empty() ? "" : " ") + std::to_string(i);
        }
        return missing;
    }

    // The preview's square in the window's lower-right corner.
    int PreviewSide() const { return static_cast<int>(0.4f * static_cast<float>(std::min(width, height))); }
};

TEST_F(CubeMapTest, EveryCasterAroundThePointLightShadowsTheFloor)
{
    StartRing();
    if (IsSkipped())
        return;
    ASSERT_TRUE(renderer->shadowCube.Ready()) << "llvmpipe offers depth cube maps";
    const std::string flat = MissingShadows();
    std::cout << "without the cube map the boxes missing their shadow: " << flat << "\n";
    EXPECT_FALSE(flat.empty()) << "the single frustum looks away from some boxes";
    for (const MapFiltering filtering : {MapFiltering::None, MapFiltering::Linear, MapFiltering::Pcf}) {
        UseMap(1024, filtering);
        renderer->options.cubeMap = true;
        EXPECT_EQ(MissingShadows(), "") << "filter " << static_cast<int>(filtering);
        renderer->options.fitFrustum = true;
        EXPECT_EQ(MissingShadows(), "") << "fitted, filter " << static_cast<int>(filtering);
        renderer->options.fitFrustum = false;
    }
}

// Without depth cube maps the option is off for good and the flat map is
// drawn even if the option is set behind the bar's back.
TEST_F(CubeMapTest, WithoutDriverSupportTheFlatMapStays)
{
    OpenWindow(640, 480);
    if (IsSkipped())
        return;
    {
        const HiddenDriverFlags hidden({&__GLEW_VERSION_3_0, &__GLEW_EXT_gpu_shader4});
        StartRenderer(BoxRing());
    }
    EXPECT_FALSE(renderer->shadowCube.Ready());
    const Image flat = Pass();
    renderer->options.cubeMap = true;
    EXPECT_EQ(DifferingPixels(Pass(), flat), 0);
}

// The preview shows depth from near to far, so the box stands out as a dark
// shape on white instead of a grey speck on white; fitted, it fills much of
// the map.
TEST_F(CubeMapTest, ThePreviewShowsTheCastersAsShapes)
{
    Start(640, 480, BoxOverFloor());
    if (IsSkipped())
        return;
    UseLight(ShadowCases()[0]);
    renderer->options.useMapView = true;
    for (const bool fit : {false, true}) {
        renderer->options.fitFrustum = fit;
        const Image image = Pass();
        Save(image, std::string("preview-") + (fit ? "fitted" : "flat"));
        const int side = PreviewSide();
        int dark = 0;
        for (int y = height - side; y < height; ++y)
            for (int x = width - side; x < width; ++x)
                dark += Brightness(image, {x, y}) < 128.0 ? 1 : 0;
        const double share = static_cast<double>(dark) / (side * side);
        EXPECT_GT(share, fit ? 0.2 : 0.0) << "fitted " << fit;
        EXPECT_LT(share, 0.9) << "fitted " << fit;
    }
}

// The cube map's preview is the cross of its faces: nothing lies above the
// light, the floor's boxes below it, and the cross's empty corners show the
// scene.
TEST_F(CubeMapTest, TheCubeMapPreviewIsACrossOfItsFaces)
{
    Start(640, 480, BoxOverFloor());
    if (IsSkipped())
        return;
    UseLight(ShadowCases()[0]);
    renderer->options.cubeMap = true;
    const Image without = Pass();
    renderer->options.useMapView = true;
    const Image image = Pass();
    Save(image, "preview-cube");
    const int cell = PreviewSide() / 4;
    const auto cellMiddle = [&](int column, int row) {
        return std::array<int, 2>{width - 4 * cell + column * cell + cell / 2, height - 1 - row * cell - cell / 2};
    };
    // The darkest pixel of a cell, its border left out.
    const auto darkest = [&](int column, int row) {
        double least = 255.0;
        const std::array<int, 2> middle = cellMiddle(column, row);
        for (int y = middle[1] - cell / 2 + 2; y < middle[1] + cell / 2 - 2; ++y)
            for (int x = middle[0] - cell / 2 + 2; x < middle[0] + cell / 2 - 2; ++x)
                least = std::min(least, Brightness(image, {x, y}));
        return least;
    };
    EXPECT_GT(darkest(1, 2), 250.0) << "+Y: nothing above the light";
    EXPECT_LT(darkest(1, 0), 128.0) << "-Y: the box under the light";
    const std::array<int, 2> corner = cellMiddle(0, 2);
    EXPECT_EQ(Brightness(image, corner), Brightness(without, corner)) << "the scene beside the cross";
    for (int column = 0; column < 4; ++column)
        EXPECT_TRUE(IsGrey(image, cellMiddle(column, 1)[0], cellMiddle(column, 1)[1])) << column;
}
}
}
