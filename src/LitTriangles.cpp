#include "LitTriangles.h"

#include "Scene.h"

#include <algorithm>
#include <cmath>

namespace KorvanaFramework
{
namespace
{
// A normal counts as turned away only when its dot product with the way to
// the light is below minus this share of their lengths' product: far beyond
// the rounding of the driver's lighting, which must find it turned away too.
constexpr float Clearly = 1e-3f;

// Lighting takes a position's x, y, z as they stand only where w is 1.
bool Selectable(const SceneObject& object)
{
    return object.hasNormals && object.normals.size() == object.positions.size() &&
           std::all_of(object.positions.begin(), object.positions.end(),
                       [](const Vec4& p) { return p[3] == 1.0f; });
}
}

// NaN anywhere compares false and keeps the triangle.
void LitTriangles::SelectIn(std::uint32_t index, const Scene& scene, const Vec4& light)
{
    const SceneObject& object = scene.ObjectAt(index);
    std::vector<std::uint32_t>& list = kept[index];
    std::vector<std::uint32_t>& others = left[index];
    list.clear();
    others.clear();
    whole[index] = !Selectable(object);
    if (whole[index])
        return;
    const std::size_t count = object.positions.size();
    away.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const Vec4& p = object.positions[k];
        const Vec3& n = object.normals[k];
        const float x = light[0] - light[3] * p[0], y = light[1] - light[3] * p[1], z = light[2] - light[3] * p[2];
        const float dot = n[0] * x + n[1] * y + n[2] * z;
        const float lengths = std::sqrt((n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) * (x * x + y * y + z * z));
        away[k] = dot < -Clearly * lengths;
    }
    list.reserve(3 * object.triangles.size());
    for (const Triangle& t : object.triangles) {
        const bool known = t[0] < count && t[1] < count && t[2] < count;
        std::vector<std::uint32_t>& into = !known || !(away[t[0]] && away[t[1]] && away[t[2]]) ? list : others;
        into.insert(into.end(), t.begin(), t.end());
    }
}

bool LitTriangles::Select(const Scene& scene, const Vec4& light)
{
    selected = light[3] == 0.0f || light[3] == 1.0f;
    if (!selected)
        return false;
    kept.resize(scene.ObjectCount());
    left.resize(scene.ObjectCount());
    whole.resize(scene.ObjectCount());
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
        SelectIn(i, scene, light);
    return true;
}

const std::vector<std::uint32_t>* LitTriangles::Kept(std::uint32_t object) const
{
    if (!selected || object >= kept.size() || whole[object])
        return nullptr;
    return &kept[object];
}

const std::vector<std::uint32_t>* LitTriangles::Left(std::uint32_t object) const
{
    if (!selected || object >= left.size())
        return nullptr;
    return &left[object];
}
}
