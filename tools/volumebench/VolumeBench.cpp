// Build and Update of the shadow-volume geometry of a closed torus mesh.
// Build runs once per scene load and must grow linearly with the mesh;
// Update runs every frame, reported as nanoseconds per triangle.
#include "Scene.h"
#include "ShadowVolumes.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace KorvanaFramework;

namespace
{
// A closed torus of rings × segments quads, two triangles each, every
// vertex shared by its six neighbouring triangles.
SceneObject Torus(std::uint32_t rings, std::uint32_t segments)
{
    SceneObject torus;
    torus.name = "Torus";
    torus.castsShadow = true;
    const float step = 6.2831853f;
    for (std::uint32_t i = 0; i < rings; ++i) {
        const float a = step * static_cast<float>(i) / static_cast<float>(rings);
        for (std::uint32_t j = 0; j < segments; ++j) {
            const float b = step * static_cast<float>(j) / static_cast<float>(segments);
            const float r = 3.0f + std::cos(b);
            torus.positions.push_back({r * std::cos(a), std::sin(b), r * std::sin(a), 1.0f});
        }
    }
    torus.triangles.reserve(2u * rings * segments);
    for (std::uint32_t i = 0; i < rings; ++i) {
        for (std::uint32_t j = 0; j < segments; ++j) {
            const std::uint32_t i1 = (i + 1) % rings, j1 = (j + 1) % segments;
            const std::uint32_t a = i * segments + j, b = i1 * segments + j;
            const std::uint32_t c = i1 * segments + j1, d = i * segments + j1;
            torus.triangles.push_back({a, d, c});
            torus.triangles.push_back({a, c, b});
        }
    }
    return torus;
}

// A torus with about `triangles` triangles, four times as many rings as
// segments.
SceneObject TorusOf(std::int64_t triangles)
{
    const auto segments = static_cast<std::uint32_t>(std::sqrt(static_cast<double>(triangles) / 8.0));
    return Torus(4 * segments, segments);
}

void BM_Build(benchmark::State& state)
{
    const SceneObject torus = TorusOf(state.range(0));
    for (auto _ : state) {
        VolumeGeometry geometry(&torus);
        if (!geometry.IsValid())
            state.SkipWithError("the torus was rejected");
        benchmark::DoNotOptimize(geometry.Edges().data());
    }
    state.SetComplexityN(static_cast<std::int64_t>(torus.triangles.size()));
    state.counters["triangles"] = static_cast<double>(torus.triangles.size());
}
BENCHMARK(BM_Build)->RangeMultiplier(4)->Range(1 << 16, 1 << 22)->Unit(benchmark::kMillisecond)->Complexity();

// One frame's update for a light beside the torus; the counter gives the
// wall-clock time per triangle.
void RunUpdate(benchmark::State& state, const Vec4& light, float length, bool depthFail)
{
    const SceneObject torus = TorusOf(state.range(0));
    VolumeGeometry geometry(&torus);
    for (auto _ : state) {
        geometry.Update(light, length, depthFail);
        benchmark::DoNotOptimize(geometry.SideIndices().data());
    }
    const auto triangles = static_cast<double>(torus.triangles.size());
    state.counters["triangles"] = triangles;
    state.counters["ns/triangle"] = benchmark::Counter(
        triangles * static_cast<double>(state.iterations()) * 1e-9,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["silhouette"] = static_cast<double>(geometry.SideIndices().size() / (geometry.SidesAsTriangles() ? 3 : 4));
}

void BM_UpdateDepthPassInfinite(benchmark::State& state)
{
    RunUpdate(state, {6, 8, 2, 1}, 0, false);
}
void BM_UpdateDepthFailFinite(benchmark::State& state)
{
    RunUpdate(state, {6, 8, 2, 1}, 100, true);
}
void BM_UpdateDirectionalInfinite(benchmark::State& state)
{
    RunUpdate(state, {0.3f, 1, 0.2f, 0}, 0, true);
}
// A large mesh's update keeps a helper thread busy beside the caller's, so
// the time that counts is the caller's wall-clock time.
BENCHMARK(BM_UpdateDepthPassInfinite)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UpdateDepthFailFinite)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UpdateDirectionalInfinite)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
