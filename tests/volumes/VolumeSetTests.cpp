// The set of volume geometries built for a loaded scene.
#include "Light.h"
#include "ShadowVolumes.h"
#include "VolumeTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace KorvanaFramework;
using namespace VolumeTests;

namespace
{
// The objects as the text of an OBJ file, positions numbered across objects.
std::string ObjText(const std::vector<SceneObject>& objects)
{
    std::ostringstream text;
    std::size_t base = 1;
    for (const SceneObject& object : objects) {
        text << "o " << object.name << "\n";
        for (const Vec4& p : object.positions)
            text << "v " << p[0] << " " << p[1] << " " << p[2] << "\n";
        for (const Triangle& t : object.triangles)
            text << "f " << t[0] + base << " " << t[1] + base << " " << t[2] + base << "\n";
        base += object.positions.size();
    }
    return text.str();
}

class VolumeSet : public ::testing::Test
{
protected:
    // Loads the objects into the scene and builds the set for it.
    void LoadAndBuild(const std::vector<SceneObject>& objects)
    {
        TestSupport::WriteFile(folder / "scene.obj", ObjText(objects));
        ASSERT_TRUE(scene.Load(folder / "scene.obj"));
        set.SetScene(&scene);
        set.SetLight(&light);
        set.Build();
    }

    TestSupport::TempDir folder;
    Scene scene;
    Light light;
    ShadowVolumeSet set;
};

std::vector<std::string> VolumeNames(const ShadowVolumeSet& set)
{
    std::vector<std::string> names;
    for (const auto& volume : set.Volumes())
        names.push_back(volume->Object().name);
    return names;
}
}

TEST_F(VolumeSet, OneGeometryPerCasterInSceneOrder)
{
    const SceneObject single = MakeObject("Open", {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
    const LogRecorder log;
    LoadAndBuild({Cube("FloorNS", -5, -4), Cube("Box", 0, 1), Cube("ShadowPlaneNS", -3, -2), single,
                  Tetrahedron(), MakeObject("Empty", {}, {})});
    EXPECT_EQ((std::vector<std::string>{"Box", "Open", "Tetra", "Empty"}), VolumeNames(set));
    ASSERT_EQ(4u, set.Volumes().size());
    EXPECT_TRUE(set.Volumes()[0]->IsValid());
    EXPECT_FALSE(set.Volumes()[1]->IsValid());
    EXPECT_TRUE(set.Volumes()[2]->IsValid());
    EXPECT_TRUE(set.Volumes()[3]->IsValid());
    EXPECT_EQ(std::vector<std::string>{HolesError("Open")}, log.Messages());
}

TEST_F(VolumeSet, UpdateFollowsTheLightAndSkipsRejectedObjects)
{
    const SceneObject single = MakeObject("Open", {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
    LoadAndBuild({Cube("Box", 0, 1), single});
    light.position = {0.5f, 5, 0.5f, 1};
    set.Update(0, false);
    const VolumeGeometry& box = *set.Volumes()[0];
    EXPECT_EQ(16u, box.SideIndices().size()) << "four silhouette edges around the top face";
    EXPECT_EQ(36u, box.BackCapIndices().size());
    EXPECT_TRUE(set.Volumes()[1]->SideIndices().empty());
    EXPECT_TRUE(set.Volumes()[1]->BackCapIndices().empty());

    light.position = {0.5f, -5, 0.5f, 1};
    set.Update(0, true);
    EXPECT_EQ(30u, box.BackCapIndices().size()) << "all but the two bottom triangles";
    EXPECT_EQ(6u, box.FrontCapIndices().size());
}

TEST_F(VolumeSet, ClearAndRebuild)
{
    LoadAndBuild({Cube("Box", 0, 1), Tetrahedron()});
    set.Build();
    EXPECT_EQ(2u, set.Volumes().size()) << "a second build replaces the first";
    set.Clear();
    EXPECT_TRUE(set.Volumes().empty());
    set.Update(0, false);
    set.Draw();
}

TEST(VolumeSetWithoutScene, BuildsAndUpdatesNothing)
{
    ShadowVolumeSet set;
    set.Build();
    set.Update(0, true);
    EXPECT_TRUE(set.Volumes().empty());
}

// Every caster of the shipped scene is a closed mesh, so every one throws a
// volume shadow from the start-up light.
TEST(DefaultScene, EveryCasterBuildsAVolume)
{
    Scene scene;
    ASSERT_TRUE(scene.Load(KORVANA_SCENE_DIR "/test.obj"));
    Light light;
    light.position = {2, 5, 2.17f, 1};
    ShadowVolumeSet set;
    set.SetScene(&scene);
    set.SetLight(&light);
    const LogRecorder log;
    set.Build();
    EXPECT_TRUE(log.Messages().empty());
    EXPECT_EQ((std::vector<std::string>{"Sphere", "RoundedBox", "Torus", "Knot"}), VolumeNames(set));
    set.Update(0, true);
    for (const auto& volume : set.Volumes()) {
        EXPECT_TRUE(volume->IsValid()) << volume->Object().name;
        EXPECT_FALSE(volume->SideIndices().empty()) << volume->Object().name;
        EXPECT_FALSE(volume->FrontCapIndices().empty()) << volume->Object().name;
    }
}
