// The soft filters on the floor under a tall thin pillar lit from the side:
// the contact-hardening filter, in the flat and the cube map, widens the
// penumbra with the distance from the pillar and hardens it as the light
// shrinks; the variance map without blur gives the hard shadow and,
// blurred, an edge that only brightens, and bounding its work by the
// casters keeps its picture.
#include "ShadowMapTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

namespace ShadowMapTests
{
namespace
{
// Eight cubes of half-size 0.25 stacked from the floor at y = -2 to y = 2.
TestScene PillarOverFloor()
{
    TestScene scene;
    scene.Material("grey", 0.8f, 0.8f, 0.8f).Material("red", 0.9f, 0.1f, 0.1f);
    scene.Floor("FloorNS", "grey", -2.0f, 10.0f, 40);
    for (int i = 0; i < 8; ++i)
        scene.Box("Pillar" + std::to_string(i), "red", {0.0f, -1.75f + 0.5f * static_cast<float>(i), 0.0f}, 0.25f);
    return scene;
}

// The shadow runs along -x from the pillar; near its foot the edge comes
// from the pillar's bottom, far from it from near its top.
constexpr float NearFoot = -0.45f;
constexpr float FarFromFoot = -2.2f;

// The lit share of the floor from the shadow's middle line sideways (+z).
struct Profile
{
    std::vector<double> shares;  // one per step, negative where undecidable
    static constexpr float Step = 0.005f;
    static constexpr int Steps = 260;

    // The width between the first shares of 0.1 and 0.9; -1 without them.
    float Width() const
    {
        int low = -1, high = -1;
        for (int i = 0; i < Steps; ++i) {
            if (low < 0 && shares[i] >= 0.1)
                low = i;
            if (high < 0 && shares[i] >= 0.9)
                high = i;
        }
        return low < 0 || high < 0 ? -1.0f : Step * static_cast<float>(high - low);
    }
};

class SoftShadowTest : public ShadowMapTest
{
protected:
    void SetUp() override
    {
        Start(640, 480, PillarOverFloor());
        if (IsSkipped())
            return;
        renderer->light.position = {4.0f, 8.0f, 0.0f, 1.0f};
        renderer->options.fitFrustum = true;
        UseView({0.0f, 80.0f, 9.0f});
        lit = Unshadowed();
        dimmed = Dimmed();
    }

    bool Offered(MapFiltering filtering) const { return renderer->FilterOffered(filtering); }

    Profile Across(const Image& image, float x)
    {
        const std::vector<double> shares = LitShares(image, lit, dimmed);
        Profile profile;
        for (int i = 0; i < Profile::Steps; ++i) {
            const std::array<int, 2> at = OnScreen({x, -2.0f, Profile::Step * static_cast<float>(i)});
            profile.shares.push_back(shares[static_cast<std::size_t>(at[1]) * width + at[0]]);
        }
        return profile;
    }

    Image lit, dimmed;
};

// The pixels with a channel more than `levels` apart in the two images.
int PixelsApart(const Image& a, const Image& b, int levels)
{
    int apart = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3)
        apart += std::max({std::abs(a.rgb[i] - b.rgb[i]), std::abs(a.rgb[i + 1] - b.rgb[i + 1]),
                           std::abs(a.rgb[i + 2] - b.rgb[i + 2])}) > levels;
    return apart;
}

// In the fitted flat map at 2048 and in the cube map at 1024 per face.
TEST_F(SoftShadowTest, ContactHardeningPenumbraWidensAwayFromTheCasterAndHardensWithTheLight)
{
    if (!Offered(MapFiltering::Pcss))
        GTEST_SKIP() << "no fragment programs";
    for (const bool cube : {false, true}) {
        if (cube && !renderer->shadowCube.Ready())
            continue;
        SCOPED_TRACE(cube ? "cube map" : "flat map");
        renderer->options.cubeMap = cube;
        const int size = cube ? 1024 : 2048;
        UseMap(size, MapFiltering::None);
        const float hard = Across(Pass(), FarFromFoot).Width();
        UseMap(size, MapFiltering::Pcss);
        renderer->options.lightSize = 1.0f;
        const Image soft = Pass();
        Save(soft, cube ? "pcss-pillar-cube" : "pcss-pillar");

        const float nearWidth = Across(soft, NearFoot).Width(), farWidth = Across(soft, FarFromFoot).Width();

        std::vector<float> shrinking;
        for (const float lightSize : {0.5f, 0.2f, 0.0f}) {
            renderer->options.lightSize = lightSize;
            shrinking.push_back(Across(Pass(), FarFromFoot).Width());
        }
        std::cout << (cube ? "cube" : "flat") << ": penumbra width near the foot " << nearWidth << ", far from it "
                  << farWidth << "; light 0.5: " << shrinking[0] << ", 0.2: " << shrinking[1]
                  << ", 0: " << shrinking[2] << "; Brak " << hard << "\n";
        ASSERT_GT(nearWidth, 0.0f);
        EXPECT_GT(farWidth, 1.5f * nearWidth);
        EXPECT_GT(farWidth, 0.25f);
        EXPECT_LT(shrinking[0], farWidth);
        EXPECT_LT(shrinking[1], shrinking[0]);
        EXPECT_LT(shrinking[2], shrinking[1]);
        EXPECT_NEAR(shrinking[2], hard, 0.02f);
    }
}

TEST_F(SoftShadowTest, VarianceMapWithoutBlurIsTheHardShadowAndBlurredBrightensSteadily)
{
    if (!Offered(MapFiltering::Vsm))
        GTEST_SKIP() << "no renderable two-channel textures";
    // A spot's map of the floor around the pillar, so that a few texels of
    // blur are a few pixels: the fitted map would hold little but the pillar.
    renderer->options.fitFrustum = false;
    UseSpot({4.0f, 8.0f, 0.0f}, 270.0f, -63.43f, 25.0f);
    lit = Unshadowed();
    dimmed = Dimmed();
    UseMap(1024, MapFiltering::None);
    const Image hard = Pass();
    UseMap(1024, MapFiltering::Vsm);
    renderer->options.blur = 0;
    renderer->options.bleedingReduction = 0.0f;
    const Image sharp = Pass();
    const std::vector<double> hardShares = LitShares(hard, lit, dimmed), sharpShares = LitShares(sharp, lit, dimmed);

    // Where the two disagree, the hard shadow's edge is within Reach pixels.
    constexpr int Reach = 3;
    int compared = 0, far = 0;
    for (int y = Reach; y < height - Reach; ++y) {
        for (int x = Reach; x < width - Reach; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            if (hardShares[i] < 0.0 || sharpShares[i] < 0.0)
                continue;
            ++compared;
            const bool shadowed = hardShares[i] < 0.5;
            if ((sharpShares[i] < 0.5) == shadowed)
                continue;
            bool edge = false;
            for (int dy = -Reach; dy <= Reach && !edge; ++dy)
                for (int dx = -Reach; dx <= Reach && !edge; ++dx) {
                    const double share = hardShares[i + static_cast<std::size_t>(dy * width + dx)];
                    edge = share >= 0.0 && (share < 0.5) != shadowed;
                }
            far += edge ? 0 : 1;
        }
    }
    EXPECT_GT(compared, 100000);
    EXPECT_EQ(far, 0) << "pixels the hard shadow and the unblurred variance map disagree on away from its edge";

    renderer->options.blur = 9;
    const Image blurred = Pass();
    Save(blurred, "vsm-pillar");
    const Profile profile = Across(blurred, FarFromFoot);
    double previous = 0.0;
    int falls = 0;
    for (const double share : profile.shares) {
        if (share < 0.0)
            continue;
        falls += share + 0.02 < previous ? 1 : 0;
        previous = std::max(previous, share);
    }
    std::cout << "blurred variance edge width " << profile.Width() << " against the unblurred "
              << Across(sharp, FarFromFoot).Width() << "\n";
    EXPECT_EQ(falls, 0) << "the blurred edge darkens on its way out of the shadow";
    EXPECT_GT(profile.Width(), Across(sharp, FarFromFoot).Width());
}

// An object whose name ends in NS darkens nothing under the variance map
// either, though the map holds every surface; named as a caster, the same
// box shadows the floor.
TEST_F(ShadowMapTest, VarianceMapLetsObjectsThatCastNoShadowThrough)
{
    for (const char* name : {"HoverNS", "Hover"}) {
        TestScene scene;
        scene.Material("grey", 0.8f, 0.8f, 0.8f).Material("red", 0.9f, 0.1f, 0.1f);
        scene.Floor("FloorNS", "grey", -2.0f, 10.0f, 40).Box(name, "red", {0.0f, 0.0f, 0.0f}, 0.5f);
        Start(320, 240, scene);
        if (IsSkipped())
            return;
        if (!renderer->FilterOffered(MapFiltering::Vsm))
            GTEST_SKIP() << "no renderable two-channel textures";
        UseLight(ShadowCases()[0]);
        UseMap(1024, MapFiltering::Vsm);
        renderer->options.blur = 5;
        const Image lit = Unshadowed(), dimmed = Dimmed();
        int shadowed = 0;
        for (const double share : LitShares(Pass(), lit, dimmed))
            shadowed += share >= 0.0 && share < 0.5 ? 1 : 0;
        if (std::string(name) == "Hover")
            EXPECT_GT(shadowed, 500) << "the caster left no shadow";
        else
            EXPECT_EQ(shadowed, 0) << "pixels the object that casts no shadow darkened";
        renderer.reset();
        window.reset();
    }
}

// The variance map drawn and blurred only around the casters' texels, the
// far end beyond, against the map drawn and blurred whole: away from the
// casters the whole map lights a surface by a hair less than all of the
// light, so a few pixels may lie a level apart, none further.
TEST_F(ShadowMapTest, BoundingTheVarianceMapByTheCastersKeepsThePicture)
{
    OpenWindow(480, 360);
    if (IsSkipped())
        return;
    for (const bool defaultScene : {true, false}) {
        ASSERT_NO_FATAL_FAILURE(StartOnScene(defaultScene));
        if (!renderer->FilterOffered(MapFiltering::Vsm))
            GTEST_SKIP() << "no renderable two-channel textures";
        for (const ShadowCase& light : ShadowCases())
            for (const int blur : {0, 5, 31})
                for (const bool fitted : {false, true}) {
                    UseLight(light);
                    UseMap(blur == 5 ? 2048 : 512, MapFiltering::Vsm);
                    renderer->options.blur = blur;
                    renderer->options.fitFrustum = fitted;
                    renderer->boundVarianceMap = false;
                    const Image whole = Pass();
                    renderer->boundVarianceMap = true;
                    const Image bounded = Pass();
                    EXPECT_EQ(PixelsApart(whole, bounded, 1), 0) << light.name << ", blur " << blur << ", " << fitted;
                    EXPECT_LE(PixelsApart(whole, bounded, 0), 20) << light.name << ", blur " << blur << ", " << fitted;
                }
    }
}
}
}
