// The scene and its material library together: material files found
// beside the scene, objects bound to materials, lookups by name.
#include "LogCapture.h"
#include "Scene.h"
#include "SceneTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace KorvanaFramework;
using namespace SceneTests;

namespace
{
const char* const Objects = "mtllib colours.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                            "o Red\nusemtl red\nf 1 2 3\no Unknown\nusemtl purple\nf 1 2 3\n"
                            "o Plain\nf 1 2 3\n";
const char* const Colours = "newmtl blue\nKd 0 0 1\nnewmtl red\nKd 1 0 0\n";

TEST(SceneModel, EmptySceneFindsNothing)
{
    Scene scene;
    EXPECT_EQ(scene.ObjectCount(), 0u);
    EXPECT_EQ(scene.FindObject("ShadowPlaneNS"), NoSceneObject);
    EXPECT_EQ(scene.Materials().MaterialCount(), 1u);
}

TEST(SceneModel, ObjectsAreBoundToTheirMaterials)
{
    TempFolder folder;
    folder.Write("colours.mtl", Colours);
    Scene scene;
    ASSERT_TRUE(scene.Load(folder.Write("scene.obj", Objects)));
    ASSERT_EQ(scene.ObjectCount(), 3u);
    EXPECT_EQ(scene.Materials().MaterialCount(), 3u);
    EXPECT_EQ(scene.ObjectAt(0).materialIndex, 2u);
    EXPECT_EQ(scene.ObjectAt(1).materialIndex, 0u) << "an unknown material falls back to the default";
    EXPECT_EQ(scene.ObjectAt(2).materialIndex, 0u);
    EXPECT_EQ(scene.FindObject("Unknown"), 1u);
    EXPECT_EQ(scene.FindObject("red"), NoSceneObject) << "names compare case-sensitively";
}

TEST(SceneModel, MaterialFileIsReadBesideTheScene)
{
    // Cut at the last '/' or '\': a backslash is an ordinary file-name
    // character on Linux, which lets both separators be tried here.
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() + "/Scene");
    folder.Write("Scene/colours.mtl", Colours);
    folder.Write("Scene/x\\colours.mtl", "newmtl red\nKd 0 1 0\n");
    Scene scene;
    ASSERT_TRUE(scene.Load(folder.Write("Scene/test.obj", Objects)));
    EXPECT_EQ(scene.Materials().MaterialAt(scene.ObjectAt(0).materialIndex).diffuse, (Vec4{1, 0, 0, 1}));
    ASSERT_TRUE(scene.Load(folder.Write("Scene/x\\test.obj", Objects)));
    EXPECT_EQ(scene.Materials().MaterialAt(scene.ObjectAt(0).materialIndex).diffuse, (Vec4{0, 1, 0, 1}));
}

TEST(SceneModel, SceneWithoutFolderReadsTheBareMaterialName)
{
    TempFolder folder;
    folder.Write("colours.mtl", Colours);
    folder.Write("scene.obj", Objects);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    Scene scene;
    const bool loaded = scene.Load("scene.obj");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(scene.Materials().MaterialCount(), 3u);
}

TEST(SceneModel, BrokenMaterialFileKeepsTheScene)
{
    TempFolder folder;
    LogCapture log;
    const std::string mtl = folder.Write("colours.mtl", "newmtl red\nKd 1 0\n");
    Scene scene;
    ASSERT_TRUE(scene.Load(folder.Write("scene.obj", Objects)));
    EXPECT_EQ(scene.ObjectCount(), 3u);
    EXPECT_EQ(scene.Materials().MaterialCount(), 1u);
    EXPECT_EQ(scene.ObjectAt(0).materialIndex, 0u);
    ASSERT_EQ(log.Messages().size(), 1u);
    EXPECT_EQ(log.Messages()[0], ReaderError(mtl, 2, "Kolor powinien mieć 1 lub 3 komponenty"));
}

TEST(SceneModel, FailedSceneLoadResetsTheMaterials)
{
    TempFolder folder;
    folder.Write("colours.mtl", Colours);
    Scene scene;
    ASSERT_TRUE(scene.Load(folder.Write("scene.obj", Objects)));
    EXPECT_FALSE(scene.Load(folder.Write("scene.obj", std::string(Objects) + "o Red\nf 1 2 3\n")));
    EXPECT_EQ(scene.ObjectCount(), 0u);
    EXPECT_EQ(scene.Materials().MaterialCount(), 1u);
}
}
