// Map sizes and filters: each one casts the shadow of every kind of light in
// a window smaller than the map; a larger map follows the exact shadow more
// closely; the filters soften only the edge; the sizes the bar offers.
#include "ShadowMapTestSupport.h"

#include "tweakbar/TweakBarTesting.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <tuple>

namespace ShadowMapTests
{
namespace
{
using KorvanaFramework::LargestMapSize;

const char* FilterName(MapFiltering filtering)
{
    switch (filtering) {
    case MapFiltering::Linear:
        return "linear";
    case MapFiltering::Pcf:
        return "pcf";
    default:
        return "none";
    }
}

// Whether the lit shares of two passes put a floor pixel on different sides.
int Disagreements(const std::vector<double>& a, const std::vector<double>& b)
{
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] >= 0.0 && b[i] >= 0.0 && (a[i] < 0.5) != (b[i] < 0.5))
            ++count;
    return count;
}

GLint MapTexels()
{
    GLint texels = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels);
    return texels;
}

class ResolutionTest : public ShadowMapTest
{
protected:
    // Each light's box shadow with the map of `size` and `filtering`: a floor
    // point under the box much darker than one in the open, which keeps the
    // colour of the scene without shadow.
    void ExpectEveryLightsShadow(int size, MapFiltering filtering)
    {
        UseMap(size, filtering);
        for (const ShadowCase& light : ShadowCases()) {
            UseLight(light);
            const Image image = Pass();
            Save(image, std::string(light.name) + "-" + std::to_string(size) + "-" + FilterName(filtering) + "-" +
                            std::to_string(width));
            EXPECT_EQ(MapTexels(), size);
            const std::array<int, 2> shadowed = OnScreen(light.shadowed);
            const std::array<int, 2> lit = OnScreen(light.lit);
            EXPECT_LT(Brightness(image, shadowed) + 40.0, Brightness(image, lit)) << light.name;
            EXPECT_GT(Brightness(image, shadowed), 0.0) << light.name << ": shadow keeps the dimmed light";
            EXPECT_NEAR(Brightness(image, lit), Brightness(Unshadowed(), lit), 1.0) << light.name;
        }
    }
};

class SizeAndFilter : public ResolutionTest, public testing::WithParamInterface<std::tuple<int, MapFiltering>>
{
};

// 640 × 480 is smaller than every map, so each is rendered off-screen.
TEST_P(SizeAndFilter, EveryLightCastsTheBoxShadow)
{
    const auto [size, filtering] = GetParam();
    Start(640, 480, BoxOverFloor());
    ExpectEveryLightsShadow(size, filtering);
}

INSTANTIATE_TEST_SUITE_P(
    All, SizeAndFilter,
    testing::Combine(testing::Values(512, 1024, 2048, 4096),
                     testing::Values(MapFiltering::None, MapFiltering::Linear, MapFiltering::Pcf)),
    [](const testing::TestParamInfo<std::tuple<int, MapFiltering>>& info) {
        return std::to_string(std::get<0>(info.param)) + "_" + FilterName(std::get<1>(info.param));
    });

// Without framebuffer objects a window as large as the map lends it its own
// depth buffer.
TEST_F(ResolutionTest, MapOfTheWindowsSizeCastsEveryShadowWithoutFramebuffers)
{
    Start(1280, 1024, BoxOverFloor());
    StartRendererWithoutFramebuffers(BoxOverFloor());
    ExpectEveryLightsShadow(1024, MapFiltering::Pcf);
}

// Whether the segment from a point to the light passes through the box of
// BoxOverFloor, half-size 0.5 at the origin.
bool BoxHidesLight(const Vec3& point, const Vec3& light)
{
    double enter = 0.0, leave = 1.0;
    for (int i = 0; i < 3; ++i) {
        const double d = light[i] - point[i];
        if (d == 0.0) {
            if (std::abs(point[i]) > 0.5)
                return false;
            continue;
        }
        const double a = (-0.5 - point[i]) / d, b = (0.5 - point[i]) / d;
        enter = std::max(enter, std::min(a, b));
        leave = std::min(leave, std::max(a, b));
    }
    return enter <= leave;
}

// The point light's wide frustum spreads the map thinly: at 512 texels the
// shadow's edge is a staircase, at 2048 it keeps much closer to the exact
// shadow of the box.
TEST_F(ShadowMapTest, LargerMapStepsTheShadowEdgeLess)
{
    Start(640, 480, BoxOverFloor());
    const ShadowCase& light = ShadowCases()[0];
    UseLight(light);
    const Image lit = Unshadowed(), dimmed = Dimmed();
    std::vector<double> exact = LitShares(lit, lit, dimmed);
    int shadowed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double& share = exact[static_cast<std::size_t>(y) * width + x];
            if (share >= 0.0 && BoxHidesLight(PlanePointAt(x, y, -2.0f), light.position)) {
                share = 0.0;
                ++shadowed;
            }
        }
    }
    ASSERT_GT(shadowed, 1000);
    int wrong[2] = {};
    const int sizes[2] = {512, 2048};
    for (int i = 0; i < 2; ++i) {
        UseMap(sizes[i], MapFiltering::None);
        const Image image = Pass();
        Save(image, "stepped-" + std::to_string(sizes[i]));
        wrong[i] = Disagreements(LitShares(image, lit, dimmed), exact);
        std::cout << sizes[i] << " texels: " << wrong[i] << " of " << shadowed
                  << " shadowed floor pixels off the exact shadow\n";
    }
    EXPECT_GT(wrong[0], 100) << "the small map is visibly stepped";
    EXPECT_LT(2 * wrong[1], wrong[0]);
}

struct FilterCase
{
    const char* name;
    MapFiltering filtering;
    bool withoutProgram;  // OpenGL 2.0 switched off: PCF in sixteen passes
};

class FilteredEdge : public ShadowMapTest, public testing::WithParamInterface<FilterCase>
{
protected:
    Image FilteredPass(const FilterCase& filter)
    {
        UseMap(2048, filter.filtering);
        const GLboolean offered = __GLEW_VERSION_2_0;
        if (filter.withoutProgram)
            __GLEW_VERSION_2_0 = GL_FALSE;
        const Image image = Pass();
        __GLEW_VERSION_2_0 = offered;
        return image;
    }
};

// Near the hard shadow's edge some floor pixels lie between shadow and
// light; farther from it, in the open and deep in shadow, every pixel keeps
// the colour of the unfiltered pass.
TEST_P(FilteredEdge, OnlyTheEdgeLiesBetweenShadowAndLight)
{
    const FilterCase filter = GetParam();
    Start(640, 480, BoxOverFloor());
    GLint alphaBits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    if (filter.withoutProgram && alphaBits == 0)
        GTEST_SKIP() << "the passes need the window's alpha";
    UseLight(ShadowCases()[0]);
    const Image lit = Unshadowed(), dimmed = Dimmed();
    UseMap(2048, MapFiltering::None);
    const Image hard = Pass();
    const std::vector<double> hardShares = LitShares(hard, lit, dimmed);
    const Image soft = FilteredPass(filter);
    Save(soft, std::string("edge-") + filter.name);
    const std::vector<double> softShares = LitShares(soft, lit, dimmed);

    // Whether the hard pass changes between shadow and light within `reach`.
    constexpr int Reach = 10;
    auto nearHardEdge = [&](int x, int y) {
        const bool here = hardShares[static_cast<std::size_t>(y) * width + x] < 0.5;
        for (int dy = -Reach; dy <= Reach; ++dy) {
            for (int dx = -Reach; dx <= Reach; ++dx) {
                const int u = x + dx, v = y + dy;
                if (u < 0 || v < 0 || u >= width || v >= height)
                    continue;
                const double share = hardShares[static_cast<std::size_t>(v) * width + u];
                if (share >= 0.0 && (share < 0.5) != here)
                    return true;
            }
        }
        return false;
    };
    int between = 0, awayFromEdge = 0, changed = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double share = softShares[static_cast<std::size_t>(y) * width + x];
            if (share < 0.0)
                continue;
            const bool edge = nearHardEdge(x, y);
            if (share > 0.15 && share < 0.85) {
                ++between;
                EXPECT_TRUE(edge) << "between shadow and light far from the edge at " << x << ", " << y;
            }
            if (!edge) {
                ++awayFromEdge;
                for (int c = 0; c < 3; ++c)
                    changed += std::abs(soft.At(x, y)[c] - hard.At(x, y)[c]) > 1 ? 1 : 0;
            }
        }
    }
    std::cout << filter.name << ": " << between << " floor pixels between shadow and light\n";
    EXPECT_GT(between, 100);
    EXPECT_GT(awayFromEdge, 10000);
    EXPECT_EQ(changed, 0) << "colours changed away from the edge";
    EXPECT_LT(Brightness(soft, OnScreen(ShadowCases()[0].shadowed)) + 40.0,
              Brightness(soft, OnScreen(ShadowCases()[0].lit)));

    // The passes give what the fragment program gives, but for rounding.
    if (filter.withoutProgram) {
        const Image program = FilteredPass({"pcf", MapFiltering::Pcf, false});
        int differ = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    differ += std::abs(soft.At(x, y)[c] - program.At(x, y)[c]) > 3 ? 1 : 0;
        EXPECT_EQ(differ, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, FilteredEdge,
                         testing::Values(FilterCase{"linear", MapFiltering::Linear, false},
                                         FilterCase{"pcf", MapFiltering::Pcf, false},
                                         FilterCase{"pcf_passes", MapFiltering::Pcf, true}),
                         [](const testing::TestParamInfo<FilterCase>& info) { return info.param.name; });

// The defaults draw today's hard shadow: a 512 map, and every pixel either
// the full or the dimmed light.
TEST_F(ShadowMapTest, DefaultsKeepTheHardShadowOfTheSmallMap)
{
    Start(800, 600, BoxOverFloor());
    UseLight(ShadowCases()[0]);
    EXPECT_EQ(renderer->options.mapSize, 512);
    EXPECT_EQ(renderer->options.filtering, MapFiltering::None);
    const Image lit = Unshadowed(), dimmed = Dimmed();
    const Image image = Pass();
    EXPECT_EQ(MapTexels(), 512);
    const LightMatch match = MatchLights(image, lit, dimmed);
    EXPECT_EQ(match.neither, 0);
    EXPECT_GT(match.shadowed, 1000);
}

// The driver's limit and, without an off-screen buffer, the window's sides.
TEST(MapSizes, LargestOfferedFollowsDriverAndWindow)
{
    EXPECT_EQ(LargestMapSize(16384, true, 320, 200), 4096);
    EXPECT_EQ(LargestMapSize(2048, true, 4000, 4000), 2048);
    EXPECT_EQ(LargestMapSize(3000, true, 4000, 4000), 2048);
    EXPECT_EQ(LargestMapSize(256, true, 4000, 4000), 512) << "the smallest map always";
    EXPECT_EQ(LargestMapSize(16384, false, 1280, 1024), 1024);
    EXPECT_EQ(LargestMapSize(16384, false, 1023, 4000), 512);
    EXPECT_EQ(LargestMapSize(16384, false, 4096, 4096), 4096);
    EXPECT_EQ(LargestMapSize(2048, false, 4096, 4096), 2048);
    EXPECT_EQ(LargestMapSize(16384, false, 300, 200), 512);
}

// The bar offers what the renderer's driver and window allow: everything up
// to 4096 with an off-screen buffer; without one, only what fits the window,
// following its size, a chosen size coming down when the window shrinks.
TEST_F(ResolutionTest, BarOffersTheSizesThatFit)
{
    using TweakBarTesting::SetNumber;
    Start(640, 480, BoxOverFloor());
    renderer->options.rendererMode = RendererMode::None;
    ASSERT_TRUE(SetNumber("main/rederingMode", 3));
    EXPECT_TRUE(SetNumber("mapped/mapSize", 4096));
    EXPECT_FALSE(SetNumber("mapped/mapSize", 8192));
    EXPECT_FALSE(SetNumber("mapped/mapSize", 1000));
    EXPECT_EQ(renderer->options.mapSize, 4096);

    StartRendererWithoutFramebuffers(BoxOverFloor());
    renderer->options.rendererMode = RendererMode::None;
    renderer->Resize(1100, 1100);
    ASSERT_TRUE(SetNumber("main/rederingMode", 3));
    EXPECT_TRUE(SetNumber("mapped/mapSize", 1024));
    EXPECT_FALSE(SetNumber("mapped/mapSize", 2048));
    renderer->Resize(1100, 900);
    EXPECT_EQ(renderer->options.mapSize, 512);
    EXPECT_FALSE(SetNumber("mapped/mapSize", 1024));
    renderer->Resize(2048, 2100);
    EXPECT_TRUE(SetNumber("mapped/mapSize", 2048));
    EXPECT_EQ(renderer->MapSizeInUse(), 2048);
}

// The preview shows the whole map whatever its size: the depth seen from a
// spot looks the same at 512, 2048 and 4096 texels.
TEST_F(ShadowMapTest, PreviewShowsTheWholeMapAtEverySize)
{
    Start(640, 480, BoxOverFloor());
    UseSpot({0, 6, 3}, 180.0f, -std::atan2(6.0f, 3.0f) / KorvanaFramework::DegreesToRadians, 20.0f);
    renderer->distance = 60.0f;
    renderer->options.useMapView = true;
    renderer->options.mapViewSize = 1.0f;
    const Image small = Pass();
    for (const int size : {2048, 4096}) {
        UseMap(size, MapFiltering::Pcf);
        const Image large = Pass();
        Save(large, "preview-" + std::to_string(size));
        double difference = 0.0;
        int dark = 0, coloured = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = width - height; x < width; ++x) {
                difference += std::abs(Brightness(large, {x, y}) - Brightness(small, {x, y}));
                dark += Brightness(large, {x, y}) < 240.0 ? 1 : 0;
                coloured += IsGrey(large, x, y) ? 0 : 1;
            }
        }
        EXPECT_LT(difference / (height * height), 2.0) << size;
        EXPECT_GT(dark, 1000) << size << ": the box in the map";
        EXPECT_EQ(coloured, 0) << size << ": coloured pixels in the preview";
    }
}
}
}
