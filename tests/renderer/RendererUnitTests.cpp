// The renderer without a GL context: construction, the camera's limits, the
// scene load with the data it prepares, and the projection matrix.
#include <gtest/gtest.h>

#include "Renderer.h"

#include <string>

namespace
{
using KorvanaFramework::NoSceneObject;
using KorvanaFramework::Renderer;
using KorvanaFramework::RendererMode;

const std::string DefaultScene = std::string(KORVANA_SCENE_DIR) + "/test.obj";

TEST(Renderer, ConstructionMakesTheStartingState)
{
    Renderer renderer;
    EXPECT_EQ(renderer.distance, 10.0f);
    EXPECT_EQ(renderer.yaw, 0.0f);
    EXPECT_EQ(renderer.pitch, 0.0f);
    EXPECT_EQ(renderer.panX, 0.0f);
    EXPECT_EQ(renderer.panY, 0.0f);
    EXPECT_FALSE(renderer.multisample);
    EXPECT_TRUE(renderer.sceneFile.empty());
    EXPECT_FALSE(renderer.options.tweakBarsReady);
    EXPECT_EQ(renderer.options.mainBar, nullptr);
    EXPECT_EQ(renderer.options.lightBar, nullptr);
    EXPECT_EQ(renderer.options.barLight, nullptr);
    EXPECT_FALSE(renderer.light.enabled);
    EXPECT_EQ(renderer.shadowPlaneIndex, NoSceneObject);
    EXPECT_FALSE(renderer.planeValid);
    EXPECT_TRUE(renderer.shadowVolumes.Volumes().empty());
}

TEST(Renderer, PitchStopsAtTheVerticalAndYawTurnsFreely)
{
    Renderer renderer;
    renderer.pitch = 85.0f;
    renderer.RotateCamera(0.0f, 10.0f);
    EXPECT_EQ(renderer.pitch, 90.0f);
    renderer.pitch = -85.0f;
    renderer.RotateCamera(0.0f, -10.0f);
    EXPECT_EQ(renderer.pitch, -90.0f);
    renderer.RotateCamera(400.0f, 5.0f);
    renderer.RotateCamera(400.0f, 0.0f);
    EXPECT_EQ(renderer.yaw, 800.0f);
    EXPECT_EQ(renderer.pitch, -85.0f);
}

TEST(Renderer, ZoomStaysBetweenNearAndFar)
{
    Renderer renderer;
    renderer.ZoomCamera(-20.0f);
    EXPECT_EQ(renderer.distance, 0.2f);
    renderer.ZoomCamera(200.0f);
    EXPECT_EQ(renderer.distance, 100.0f);
    renderer.ZoomCamera(-0.5f);
    EXPECT_EQ(renderer.distance, 99.5f);
}

TEST(Renderer, LoadSceneFindsThePlaneAndBuildsTheVolumes)
{
    Renderer renderer;
    ASSERT_TRUE(renderer.LoadScene(DefaultScene));
    EXPECT_EQ(renderer.sceneFile, DefaultScene);
    ASSERT_NE(renderer.shadowPlaneIndex, NoSceneObject);
    EXPECT_EQ(renderer.scene.ObjectAt(renderer.shadowPlaneIndex).name, "ShadowPlaneNS");
    std::size_t casters = 0;
    for (std::uint32_t i = 0; i < renderer.scene.ObjectCount(); ++i)
        casters += renderer.scene.ObjectAt(i).castsShadow ? 1 : 0;
    EXPECT_EQ(renderer.shadowVolumes.Volumes().size(), casters);
}

// A failed read empties the scene, so nothing may point into the objects of
// the scene before; the path of the last good scene stays.
TEST(Renderer, FailedLoadKeepsThePathAndDropsWhatPointedIntoTheScene)
{
    Renderer renderer;
    ASSERT_TRUE(renderer.LoadScene(DefaultScene));
    EXPECT_FALSE(renderer.LoadScene(DefaultScene + ".missing"));
    EXPECT_EQ(renderer.sceneFile, DefaultScene);
    EXPECT_TRUE(renderer.shadowVolumes.Volumes().empty());
    EXPECT_EQ(renderer.shadowPlaneIndex, NoSceneObject);
    EXPECT_FALSE(renderer.planeValid);
}

TEST(Renderer, ProjectionIsTheFrustumOrReachesInfinityInTheVolumeMode)
{
    Renderer renderer;
    renderer.frustumLeft = -0.1f;
    renderer.frustumRight = 0.1f;
    const auto finite = renderer.ProjectionMatrix();
    EXPECT_FLOAT_EQ(finite[0], 1.0f);
    EXPECT_FLOAT_EQ(finite[5], 2.0f);
    EXPECT_FLOAT_EQ(finite[8], 0.0f);
    EXPECT_FLOAT_EQ(finite[10], -100.1f / 99.9f);
    EXPECT_FLOAT_EQ(finite[11], -1.0f);
    EXPECT_FLOAT_EQ(finite[14], -20.0f / 99.9f);
    EXPECT_FLOAT_EQ(finite[15], 0.0f);

    renderer.options.infiniteFrustum = true;
    EXPECT_EQ(renderer.ProjectionMatrix(), finite);
    renderer.options.rendererMode = RendererMode::Volumes;
    const auto infinite = renderer.ProjectionMatrix();
    EXPECT_FLOAT_EQ(infinite[10], -0.99f);
    EXPECT_FLOAT_EQ(infinite[14], -0.199f);
    EXPECT_EQ(infinite[0], finite[0]);
    EXPECT_EQ(infinite[11], -1.0f);
}
}
