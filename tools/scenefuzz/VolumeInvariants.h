// What must hold of the shadow-volume geometry built over any loaded scene,
// for every light and kind of volume the renderer may ask for: the fuzzer
// aborts on a violation and the scene tests replay its corpus through the
// same check. Only public results are looked at (index lists, vertex
// arrays, their sizes), so that any implementation of the update passes.
#pragma once

#include "Light.h"
#include "Scene.h"
#include "SceneInvariants.h"
#include "ShadowVolumes.h"

#include <cmath>
#include <string>
#include <vector>

namespace VolumeInvariants
{
using KorvanaFramework::Vec4;

// The light positions tried on every scene: a point light above, a
// directional light, one at the middle of the scene's bounds and one right
// on the first vertex, where extrusion has no direction.
inline std::vector<Vec4> LightsFor(const KorvanaFramework::Scene& scene)
{
    std::vector<Vec4> lights{{2.0f, 5.0f, 2.17f, 1.0f}, {-0.3f, 1.0f, 0.5f, 0.0f}};
    const Vec4* first = nullptr;
    for (std::uint32_t i = 0; i < scene.ObjectCount() && !first; ++i)
        if (!scene.ObjectAt(i).positions.empty())
            first = &scene.ObjectAt(i).positions.front();
    if (!first)
        return lights;
    Vec4 low = *first, high = *first;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
        for (const Vec4& p : scene.ObjectAt(i).positions)
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::fmin(low[axis], p[axis]);
                high[axis] = std::fmax(high[axis], p[axis]);
            }
    // Halves first, so that the middle of huge bounds does not overflow.
    lights.push_back({low[0] / 2 + high[0] / 2, low[1] / 2 + high[1] / 2, low[2] / 2 + high[2] / 2, 1.0f});
    lights.push_back({(*first)[0], (*first)[1], (*first)[2], 1.0f});
    return lights;
}

// Empty when every index of the list names a vertex and the list holds
// whole groups of `group` indices.
inline std::string ListViolation(const KorvanaFramework::IndexList& indices, std::size_t group,
                                 std::size_t vertexCount, const char* list)
{
    if (indices.size() % group != 0)
        return std::string(list) + " hold a partial primitive";
    for (std::uint32_t index : indices)
        if (index >= vertexCount)
            return std::string(list) + " name a missing vertex";
    return {};
}

// True when a component of any point is NaN; infinity is allowed, as a
// finite volume of a huge mesh may reach past the float range.
inline bool AnyNaN(const std::vector<Vec4>& points)
{
    for (const Vec4& p : points)
        for (float c : p)
            if (std::isnan(c))
                return true;
    return false;
}

// Empty when one geometry is consistent after an update with the light at
// `light`.
inline std::string GeometryViolation(const KorvanaFramework::VolumeGeometry& volume, const Vec4& light)
{
    const std::string& name = volume.Object().name;
    if (!volume.IsValid()) {
        if (!volume.Edges().empty() || volume.PlaneCount() != 0 || !volume.Vertices().empty() ||
            !volume.SideIndices().empty() || !volume.FrontCapIndices().empty() ||
            !volume.BackCapIndices().empty())
            return "rejected " + name + " keeps geometry";
        return {};
    }
    const std::size_t vertexCount = volume.Vertices().size();
    for (const std::string& fault :
         {ListViolation(volume.SideIndices(), volume.SidesAsTriangles() ? 3 : 4, vertexCount, "sides"),
          ListViolation(volume.FrontCapIndices(), 3, vertexCount, "front cap"),
          ListViolation(volume.BackCapIndices(), 3, vertexCount, "back cap")})
        if (!fault.empty())
            return fault + " of " + name;
    const bool finiteInput =
        SceneInvariants::AllFinite(volume.Object().positions) && SceneInvariants::AllFinite(std::vector<Vec4>{light});
    if (finiteInput && AnyNaN(volume.Vertices()))
        return "NaN in the volume vertices of " + name;
    return {};
}

// Builds the volumes of every shadow-casting object as the renderer does
// after a load, updates them for every light, finite and infinite, with
// depth-pass and depth-fail, and returns what is wrong, or empty.
inline std::string Violation(const KorvanaFramework::Scene& scene)
{
    KorvanaFramework::Light light;
    KorvanaFramework::ShadowVolumeSet set;
    set.SetScene(&scene);
    set.SetLight(&light);
    set.Build();
    std::uint32_t casters = 0;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
        if (scene.ObjectAt(i).castsShadow) {
            if (casters >= set.Volumes().size() || &set.Volumes()[casters]->Object() != &scene.ObjectAt(i))
                return "no volume in scene order for " + scene.ObjectAt(i).name;
            ++casters;
        }
    if (casters != set.Volumes().size())
        return "volumes for objects that cast no shadow";
    for (const Vec4& position : LightsFor(scene))
        for (float length : {0.0f, 100.0f})
            for (bool depthFail : {false, true}) {
                light.position = position;
                set.Update(length, depthFail);
                for (const auto& volume : set.Volumes()) {
                    const std::string fault = GeometryViolation(*volume, position);
                    if (!fault.empty())
                        return fault;
                }
            }
    return {};
}
}
