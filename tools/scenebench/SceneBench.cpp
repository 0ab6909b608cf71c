// Load speed of the scene reader beside tinyobjloader on the same large
// OBJ file, written once per run: a closed grid of over a million
// triangles with a normal per vertex, in the layout of the default scene.
//   scenebench [--check] [--benchmark_* options]
// --check reads a torus of a thousand triangles once with each reader, to
// show that the benchmark still runs. Build it in a Release folder for
// figures worth comparing.
#include "Scene.h"

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace
{
// The OBJ file both readers load, written by main.
std::string objPath;

// A torus of `around` × `tube` quads: 2 × around × tube triangles.
std::string WriteTorusObj(int around, int tube)
{
    const std::string path = (std::filesystem::temp_directory_path() / "korvana-scenebench.obj").string();
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return {};
    std::fprintf(out, "o Torus\ns 1\n");
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const double a = 2 * M_PI * i / around, b = 2 * M_PI * j / tube;
            std::fprintf(out, "v %.6f %.6f %.6f\n", (2 + 0.5 * std::cos(b)) * std::cos(a), 0.5 * std::sin(b),
                         (2 + 0.5 * std::cos(b)) * std::sin(a));
        }
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const double a = 2 * M_PI * i / around, b = 2 * M_PI * j / tube;
            std::fprintf(out, "vn %.6f %.6f %.6f\n", std::cos(b) * std::cos(a), std::sin(b), std::cos(b) * std::sin(a));
        }
    const auto at = [&](int i, int j) { return (i % around) * tube + j % tube + 1; };
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j) {
            const int p = at(i, j), q = at(i + 1, j), r = at(i + 1, j + 1), s = at(i, j + 1);
            std::fprintf(out, "f %d//%d %d//%d %d//%d\nf %d//%d %d//%d %d//%d\n", p, p, r, r, q, q, p, p, s, s, r, r);
        }
    std::fclose(out);
    return path;
}

void ReportSize(benchmark::State& state, std::size_t triangles)
{
    const auto bytes = std::filesystem::file_size(objPath);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
    state.counters["triangles"] = double(triangles);
    state.counters["fileMB"] = double(bytes) / (1024 * 1024);
}

void KorvanaSceneLoad(benchmark::State& state)
{
    std::size_t triangles = 0;
    for (auto _ : state) {
        KorvanaFramework::Scene scene;
        if (!scene.Load(objPath)) {
            state.SkipWithError("the scene did not load");
            return;
        }
        triangles = scene.ObjectAt(0).triangles.size();
        benchmark::DoNotOptimize(scene);
    }
    ReportSize(state, triangles);
}

void TinyObjLoaderLoad(benchmark::State& state)
{
    std::size_t triangles = 0;
    for (auto _ : state) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, objPath.c_str())) {
            state.SkipWithError(err.c_str());
            return;
        }
        triangles = shapes.at(0).mesh.indices.size() / 3;
        benchmark::DoNotOptimize(attrib);
    }
    ReportSize(state, triangles);
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
    objPath = check ? WriteTorusObj(32, 16) : WriteTorusObj(1024, 512);
    if (objPath.empty())
        return 1;
    for (const auto& [name, load] : {std::pair{"KorvanaSceneLoad", KorvanaSceneLoad},
                                      std::pair{"TinyObjLoaderLoad", TinyObjLoaderLoad}}) {
        benchmark::internal::Benchmark* run = benchmark::RegisterBenchmark(name, load);
        run->Unit(benchmark::kMillisecond);
        if (check)
            run->Iterations(1);
        else
            run->MinTime(3.0);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(objPath);
    return 0;
}
