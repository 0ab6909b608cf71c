// Replays the fuzzer's seed corpus through both readers: every input must
// load or fail cleanly and leave consistent content, with consistent shadow
// volumes for every light.
#include "Scene.h"
#include "SceneTestFiles.h"
#include "tools/scenefuzz/SceneInvariants.h"
#include "tools/scenefuzz/VolumeInvariants.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace KorvanaFramework;

TEST(FuzzCorpus, EveryInputLeavesConsistentContent)
{
    SceneTests::TempFolder folder;
    std::size_t inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KORVANA_FUZZ_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        SCOPED_TRACE(entry.path().string());
        // Written under both names, so an input naming "in.mtl" in its
        // mtllib line reaches the material reader through the scene.
        folder.Write("in.mtl", bytes.str());
        Scene scene;
        const bool loaded = scene.Load(folder.Write("in.obj", bytes.str()));
        EXPECT_EQ(SceneInvariants::Violation(scene, loaded), "");
        EXPECT_EQ(VolumeInvariants::Violation(scene), "");
        MaterialLibrary library;
        const bool materialsLoaded = library.Load(folder.Path() + "/in.mtl");
        EXPECT_EQ(SceneInvariants::Violation(library, materialsLoaded), "");
        ++inputs;
    }
    EXPECT_GE(inputs, 10u);
}
