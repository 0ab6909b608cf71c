// The shadow plane found at scene load: the default scene's floor plane, and
// the scenes whose plane is missing, empty or without area.
#include <gtest/gtest.h>

#include "scene/LogCapture.h"
#include "Renderer.h"
#include "support/TestSupport.h"

namespace
{
using KorvanaFramework::NoSceneObject;
using KorvanaFramework::Renderer;

const char* const MissingPlaneMessage =
    "Plik sceny nie zawiera obiektu 'ShadowPlaneNS'! Rzutowanie cieni nie może być wykonane.";

// A triangle that casts no shadow and a plane object after it, as an OBJ
// text: nothing but the plane can log.
std::string SceneWithPlane(const std::string& planeLines)
{
    return "o PieceNS\nv 0 1 0\nv 1 1 0\nv 0 2 0\nf 1 2 3\n" + planeLines;
}

class PlaneEquation : public testing::Test
{
protected:
    // Loads the OBJ text with the renderer and records what it logs.
    void Load(const std::string& obj)
    {
        TestSupport::WriteFile(dir / "scene.obj", obj);
        ASSERT_TRUE(renderer.LoadScene(dir / "scene.obj"));
    }

    TestSupport::TempDir dir;
    Renderer renderer;
    SceneTests::LogCapture log;
};

TEST_F(PlaneEquation, DefaultSceneHasTheFloorPlaneFacingUp)
{
    ASSERT_TRUE(renderer.LoadScene(std::string(KORVANA_SCENE_DIR) + "/test.obj"));
    ASSERT_TRUE(renderer.planeValid);
    EXPECT_EQ(renderer.scene.ObjectAt(renderer.shadowPlaneIndex).name, "ShadowPlaneNS");
    const float expected[4] = {0.0f, 1.0f, 0.0f, 2.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(renderer.planeEquation[i], expected[i], 1e-6f) << i;
    EXPECT_TRUE(log.Messages().empty());
}

// Only the first triangle counts, and its winding decides the side.
TEST_F(PlaneEquation, FirstTriangleGivesThePlane)
{
    Load(SceneWithPlane("o ShadowPlaneNS\nv 0 2 0\nv 1 2 0\nv 1 2 -1\nv 5 7 3\n"
                        "f 4 5 6\nf 4 5 7\n"));
    ASSERT_TRUE(renderer.planeValid);
    EXPECT_EQ(renderer.shadowPlaneIndex, 1u);
    const float expected[4] = {0.0f, 1.0f, 0.0f, -2.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(renderer.planeEquation[i], expected[i], 1e-6f) << i;
}

TEST_F(PlaneEquation, MissingPlaneObjectIsReportedOnce)
{
    Load(SceneWithPlane(""));
    EXPECT_FALSE(renderer.planeValid);
    EXPECT_EQ(renderer.shadowPlaneIndex, NoSceneObject);
    EXPECT_EQ(log.Messages(), std::vector<std::string>{MissingPlaneMessage});
}

TEST_F(PlaneEquation, PlaneObjectWithoutTrianglesIsSilentlyUnused)
{
    Load(SceneWithPlane("o ShadowPlaneNS\n"));
    EXPECT_FALSE(renderer.planeValid);
    EXPECT_EQ(renderer.shadowPlaneIndex, 1u);
    EXPECT_TRUE(log.Messages().empty());
}

// Three points on one line have no normal: the plane is refused, with a
// reason, and the object still counts as the plane so that it is never drawn.
TEST_F(PlaneEquation, FirstTriangleWithoutAreaIsRefused)
{
    Load(SceneWithPlane("o ShadowPlaneNS\nv 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 0 1\nf 4 5 6\nf 4 7 5\n"));
    EXPECT_FALSE(renderer.planeValid);
    EXPECT_EQ(renderer.shadowPlaneIndex, 1u);
    ASSERT_EQ(log.Messages().size(), 1u);
    EXPECT_NE(log.Messages()[0].find("'ShadowPlaneNS'"), std::string::npos);
    EXPECT_NE(log.Messages()[0].find("zerowe pole"), std::string::npos);
}
}
