// Fragment programs of OpenGL 2.0 for the shadow-map filters: the vertices
// keep the fixed-function stages, only the fragments run a program.
#pragma once

#include "Geometry.h"

#include <cstdint>
#include <string>

namespace KorvanaFramework
{
// The linked program of one fragment shader, or 0 with the compiler's or
// linker's message logged under `name`.
std::uint32_t BuildFragmentProgram(const std::string& source, const char* name);

// The GLSL function that turns a window depth of the light's projection
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
