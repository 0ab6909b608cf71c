// The extruded copies of a shadow volume's vertices: every vertex, four
// floats, pushed away from the light. They are computed anew every frame
// for every vertex of every casting object, so each list goes in one pass.
#pragma once

#include "Geometry.h"

#include <cstddef>

namespace KorvanaFramework
{
// The copies of `count` vertices pushed to infinity (w 0) in the direction
// from the point light through them. A vertex exactly at the light has no
// such direction and stays where it is.
void ExtrudeToInfinity(const float* vertices, float* copies, std::size_t count, const Vec4& light);

// The copies `length` further along the rays from a point light, w 1. A
// vertex at the light stays where it is. Coordinates whose distances
// overflow a float are measured in double precision instead.
void ExtrudeFromPoint(const float* vertices, float* copies, std::size_t count, const Vec4& light, float length);

// The copies moved by `length` along a directional light's rays (the light
// shines from `direction`, which must not be zero), w 1.
void ExtrudeAlong(const float* vertices, float* copies, std::size_t count, const Vec4& direction, float length);
}
