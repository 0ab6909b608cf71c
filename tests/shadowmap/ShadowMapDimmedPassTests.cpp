// Without filtering the scene is drawn under the full light and the dimmed
// light is drawn over it only where the map finds a surface shadowed, within
// the rectangle where a caster can be found at all: every pixel is one of the
// two lights exactly, and the rectangle changes no pixel.
#include "ShadowMapTestSupport.h"

#include <vector>

namespace ShadowMapTests
{
namespace
{
// Lights above, among and below the casters, and one low sun.
std::vector<ShadowCase> BoundingCases()
{
    std::vector<ShadowCase> cases(ShadowCases().begin(), ShadowCases().end());
    cases.push_back({"among", LightType::Point, {0.5f, 0.2f, 1.2f}, {}, {}});
    cases.push_back({"below", LightType::Point, {3, -3, 0}, {}, {}});
    cases.push_back({"low sun", LightType::Directional, {3, 1.2f, 1}, {}, {}});
    return cases;
}
}

// Around the default scene and the box over the floor, from outside, close
// by and from below, with the small map and a large one: the frame dimmed
// within the rectangle is the frame dimmed over the whole window, byte for
// byte.
TEST_F(ShadowMapTest, BoundingTheDimmedLightChangesNoPixel)
{
    const View views[] = {{0, 30, 10}, {140, 15, 7}, {250, 60, 14}, {30, 5, 3}, {200, -20, 8}};
    OpenWindow(480, 360);
    if (IsSkipped())
        return;
    for (const bool defaultScene : {true, false}) {
        ASSERT_NO_FATAL_FAILURE(StartOnScene(defaultScene));
        for (const ShadowCase& light : BoundingCases()) {
            UseLight(light);
            for (const View& view : views) {
                UseView(view);
                UseMap(view.yaw == 0 ? 2048 : 512, MapFiltering::None);
                renderer->boundShadowedPixels = false;
                const Image whole = Pass();
                renderer->boundShadowedPixels = true;
                EXPECT_EQ(DifferingPixels(whole, Pass()), 0)
                    << (defaultScene ? "default scene, " : "box, ") << light.name << " light, yaw " << view.yaw;
            }
        }
    }
}

// Each pixel of an unfiltered frame shows the full light as the frame
// without shadow does, or the dimmed light alone, and both occur.
TEST_F(ShadowMapTest, EveryPixelIsOneOfTheTwoLights)
{
    const View views[] = {{0, 30, 10}, {140, 15, 7}};
    OpenWindow(480, 360);
    if (IsSkipped())
        return;
    ASSERT_NO_FATAL_FAILURE(StartOnScene(true));
    for (const ShadowCase& light : BoundingCases()) {
        UseLight(light);
        for (const View& view : views) {
            UseView(view);
            const Image full = Unshadowed();
            const Image dimmed = Dimmed();
            const LightMatch match = MatchLights(Pass(), full, dimmed);
            EXPECT_EQ(match.neither, 0) << light.name << " light, yaw " << view.yaw;
            EXPECT_GT(match.shadowed, 0) << light.name << " light, yaw " << view.yaw;
        }
    }
}
}
