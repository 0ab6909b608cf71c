// libFuzzer target: arbitrary bytes as a scene file and as a material file.
// Every load must end cleanly and leave consistent content, and the shadow
// volumes of what loaded must stay consistent for every light; a violation
// aborts so that the fuzzer keeps the input.
#include "Scene.h"
#include "SceneInvariants.h"
#include "VolumeInvariants.h"

#include <log4cxx/logger.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
// One private folder per fuzzing process. The input goes to "in.obj";
// "in.mtl" links to it, so that one write serves both readers.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvana-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        std::filesystem::create_symlink("in.obj", pattern + "/in.mtl");
        return pattern;
    }();
    return folder;
}

std::string WriteInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Folder() + "/in.obj";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

// Registered once the folder exists, so that it runs before the folder's
// name is destroyed.
void RemoveFolder()
{
    std::error_code error;
    std::filesystem::remove_all(Folder(), error);
}

void Check(const std::string& violation)
{
    if (violation.empty())
        return;
    std::fprintf(stderr, "invariant broken: %s\n", violation.c_str());
    std::abort();
}
}

// Most inputs are refused with a logged message; building log events that
// no appender takes would cost more than the reading. The input folder goes
// when the fuzzer ends normally.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    log4cxx::Logger::getRootLogger()->setLevel(log4cxx::Level::getOff());
    Folder();
    std::atexit(RemoveFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The same bytes under both names, so that "mtllib in.mtl" in the input
    // carries the material reader along the scene load.
    const std::string scenePath = WriteInput(data, size);
    const std::string materials = Folder() + "/in.mtl";
    KorvanaFramework::Scene scene;
    const bool loaded = scene.Load(scenePath);
    Check(SceneInvariants::Violation(scene, loaded));
    Check(VolumeInvariants::Violation(scene));
    KorvanaFramework::MaterialLibrary library;
    const bool libraryLoaded = library.Load(materials);
    Check(SceneInvariants::Violation(library, libraryLoaded));
    return 0;
}
