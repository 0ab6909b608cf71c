// Load speed of the scene reader beside tinyobjloader on the same OBJ files,
// written once per run:
//   Torus      a closed grid of over a million triangles, a normal per
//              vertex, faces p//n;
//   Textured   the same grid with texture coordinates, faces p/t/n;
//   Objects    five thousand small grids, each an object of its own with one
//              of a thousand materials of an MTL file, faces p//n;
// and Korvana's reader alone on the default scene beside the executable.
//   scenebench [--check] [--benchmark_* options]
// --check reads small files of the same kinds once with each reader, to
// show that the benchmark still runs. Build it in a Release folder for
// figures worth comparing.
#include "Scene.h"

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

const int MaterialCount = 1000;

// Where the benchmark files lie: their own folder, for the material file,
// one per process, so that two runs at once do not remove each other's.
fs::path BenchFolder()
{
    return fs::temp_directory_path() / ("korvana-scenebench-" + std::to_string(getpid()));
}

// Writes `write`'s output into a file of the bench folder; empty on failure.
std::string WriteFile(const char* name, const std::function<void(std::FILE*)>& write)
{
    const std::string path = (BenchFolder() / name).string();
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return {};
    write(out);
    std::fclose(out);
    return path;
}

// A torus of `around` × `tube` quads with a normal per position and, when
// `textured`, a texture coordinate per position: 2 × around × tube
// triangles. `base` is the count of positions written before it.
void WriteTorus(std::FILE* out, int around, int tube, bool textured, int base)
{
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const double a = 2 * M_PI * i / around, b = 2 * M_PI * j / tube;
            std::fprintf(out, "v %.6f %.6f %.6f\n", (2 + 0.5 * std::cos(b)) * std::cos(a), 0.5 * std::sin(b),
                         (2 + 0.5 * std::cos(b)) * std::sin(a));
        }
    if (textured)
        for (int i = 0; i < around; ++i)
            for (int j = 0; j < tube; ++j)
                std::fprintf(out, "vt %.6f %.6f\n", double(i) / around, double(j) / tube);
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const double a = 2 * M_PI * i / around, b = 2 * M_PI * j / tube;
            std::fprintf(out, "vn %.6f %.6f %.6f\n", std::cos(b) * std::cos(a), std::sin(b), std::cos(b) * std::sin(a));
        }
    const auto at = [&](int i, int j) { return base + (i % around) * tube + j % tube + 1; };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const int p = at(i, j), q = at(i + 1, j), r = at(i + 1, j + 1), s = at(i, j + 1);
            if (textured)
                std::fprintf(out, "f %d/%d/%d %d/%d/%d %d/%d/%d\nf %d/%d/%d %d/%d/%d %d/%d/%d\n", p, p, p, r, r, r,
                             q, q, q, p, p, p, s, s, s, r, r, r);
            else
                std::fprintf(out, "f %d//%d %d//%d %d//%d\nf %d//%d %d//%d %d//%d\n", p, p, r, r, q, q, p, p, s, s,
                             r, r);
        }
}

std::string WriteTorusObj(bool textured, int around, int tube)
{
    return WriteFile(textured ? "textured.obj" : "torus.obj", [&](std::FILE* out) {
        std::fprintf(out, "o Torus\ns 1\n");
        WriteTorus(out, around, tube, textured, 0);
    });
}

// `objects` objects of 10 × 10 quads (200 triangles) each, every one with
// its own material line, and the material file they name.
std::string WriteObjectsObj(int objects)
{
    const bool materialsWritten = !WriteFile("objects.mtl", [](std::FILE* out) {
                                       for (int m = 0; m < MaterialCount; ++m)
                                           std::fprintf(out,
                                                        "newmtl Material%d\nKa 0.2 0.2 0.2\nKd %.3f 0.5 0.5\n"
                                                        "Ks 0.8 0.8 0.8\nNs 32.0\nd 1.0\nillum 2\n\n",
                                                        m, double(m) / MaterialCount);
                                   }).empty();
    if (!materialsWritten)
        return {};
    return WriteFile("objects.obj", [&](std::FILE* out) {
        std::fprintf(out, "mtllib objects.mtl\n");
        const int side = 10, positions = (side + 1) * (side + 1);
        for (int o = 0; o < objects; ++o) {
            std::fprintf(out, "o Part%d\nusemtl Material%d\ns 1\n", o, o % MaterialCount);
            const double x = o % 100, z = o / 100;
            for (int i = 0; i <= side; ++i)
                for (int j = 0; j <= side; ++j)
                    std::fprintf(out, "v %.5f %.5f %.5f\n", x + 0.1 * i, 0.05 * std::sin(i + j), z + 0.1 * j);
            for (int k = 0; k < positions; ++k)
                std::fprintf(out, "vn 0.00000 1.00000 0.00000\n");
            const auto at = [&](int i, int j) { return o * positions + i * (side + 1) + j + 1; };
            for (int i = 0; i < side; ++i)
                for (int j = 0; j < side; ++j) {
                    const int p = at(i, j), q = at(i + 1, j), r = at(i + 1, j + 1), s = at(i, j + 1);
                    std::fprintf(out, "f %d//%d %d//%d %d//%d\nf %d//%d %d//%d %d//%d\n", p, p, r, r, q, q, p, p,
                                 s, s, r, r);
                }
        }
    });
}

void ReportSize(benchmark::State& state, const std::string& path, std::size_t triangles)
{
    const auto bytes = fs::file_size(path);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["triangles"] = double(triangles);
    state.counters["fileMB"] = double(bytes) / (1024 * 1024);
}

void KorvanaSceneLoad(benchmark::State& state, const std::string& path)
{
    std::size_t triangles = 0;
    for (auto _ : state) {
        KorvanaFramework::Scene scene;
        if (!scene.Load(path)) {
            state.SkipWithError("the scene did not load");
            return;
        }
        triangles = 0;
        for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
            triangles += scene.ObjectAt(i).triangles.size();
        benchmark::DoNotOptimize(scene);
    }
    ReportSize(state, path, triangles);
}

void TinyObjLoaderLoad(benchmark::State& state, const std::string& path)
{
    const std::string folder = fs::path(path).parent_path().string() + "/";
    std::size_t triangles = 0;
    for (auto _ : state) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, path.c_str(), folder.c_str())) {
            state.SkipWithError(err.c_str());
            return;
        }
        triangles = 0;
        for (const tinyobj::shape_t& shape : shapes)
            triangles += shape.mesh.indices.size() / 3;
        benchmark::DoNotOptimize(attrib);
    }
    ReportSize(state, path, triangles);
}

// The default scene as the program reads it, from beside the executable.
std::string DefaultScenePath()
{
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string("Scene/test.obj") : (exe.parent_path() / "Scene" / "test.obj").string();
}
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const bool check = argc == 2 && std::string(argv[1]) == "--check";
    if (argc > 1 && !check) {
        benchmark::ReportUnrecognizedArguments(argc, argv);
        return 1;
    }
    std::error_code error;
    fs::create_directories(BenchFolder(), error);
    const int around = check ? 32 : 1024, tube = check ? 16 : 512;
    const std::vector<std::pair<std::string, std::string>> files{{"Torus", WriteTorusObj(false, around, tube)},
                                                                 {"Textured", WriteTorusObj(true, around, tube)},
                                                                 {"Objects", WriteObjectsObj(check ? 20 : 5000)}};
    const auto add = [&](const std::string& name, auto load, const std::string& path, double seconds) {
        benchmark::internal::Benchmark* run = benchmark::RegisterBenchmark(name.c_str(), load, path);
        // Korvana parses a large file on two threads: its wall clock counts.
        run->Unit(benchmark::kMillisecond)->UseRealTime();
        if (check)
            run->Iterations(1);
        else
            run->MinTime(seconds);
    };
    for (const auto& [name, path] : files) {
        if (path.empty())
            return 1;
        add("KorvanaSceneLoad/" + name, KorvanaSceneLoad, path, 3.0);
        add("TinyObjLoaderLoad/" + name, TinyObjLoaderLoad, path, 3.0);
    }
    const std::string defaultScene = DefaultScenePath();
    if (fs::exists(defaultScene))
        add("KorvanaSceneLoad/DefaultScene", KorvanaSceneLoad, defaultScene, 1.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(BenchFolder(), error);
    return 0;
}
