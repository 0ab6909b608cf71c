// The triangles the full light can brighten. Where the normals at all three
// corners of a triangle turn clearly away from the light, the light adds
// neither diffuse nor specular colour there: the full light and the dimmed
// one give the triangle the same colour, and the pass that redraws lit
// surfaces under the full light can leave it out.
#pragma once

#include "Geometry.h"

#include <cstdint>
#include <vector>

namespace KorvanaFramework
{
class Scene;

class LitTriangles
{
public:
    // Keeps, per object of `scene`, the triangles with a corner whose normal
    // does not turn clearly away from the homogeneous light. False, with
    // nothing kept, for a light neither at a point (w 1) nor in a direction
    // (w 0); the objects are then drawn whole.
    bool Select(const Scene& scene, const Vec4& light);

    // The indices to draw for scene object `object` after a successful
    // Select, or nullptr where the object is drawn whole: an object without
    // a normal at every position, or with a position whose w is not 1.
    const std::vector<std::uint32_t>* Kept(std::uint32_t object) const;
    // The others, after a successful Select: empty where the object is
    // drawn whole.
    const std::vector<std::uint32_t>* Left(std::uint32_t object) const;

private:
    void SelectIn(std::uint32_t object, const Scene& scene, const Vec4& light);

    std::vector<std::vector<std::uint32_t>> kept;
    std::vector<std::vector<std::uint32_t>> left;
    std::vector<std::uint8_t> whole;  // per object: drawn whole
    std::vector<std::uint8_t> away;   // per position of one object, scratch
    bool selected = false;
};
}
