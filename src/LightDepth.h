// Distances from the light in the fragment programs of the soft shadow-map
// filters, which need real distances where the map stores window depths.
#pragma once

#include "Geometry.h"

#include <cstdint>

namespace KorvanaFramework
{
// The GLSL prelude (version line included) with the function that turns a window depth of the light's projection
// into the distance from the light along its axis, for the filters that
// need real distances; its uniform lightDepth holds the projection's
// entries 10 and 14 and 1 for a perspective (0 for an orthographic box).
extern const char* const LightDistanceSource;
// Loads lightDepth of the program in use from the light's projection.
void SetLightDepth(std::uint32_t program, const Matrix4& lightProjection);
// The near and far distances of the light's projection.
struct LightRange
{
    float near;
    float far;
};
LightRange RangeOf(const Matrix4& lightProjection);
}
