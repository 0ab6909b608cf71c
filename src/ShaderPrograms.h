// Fragment programs of OpenGL 2.0 for the shadow map's passes: the vertices
// keep the fixed-function transform, lighting and texture coordinates.
#pragma once

#include <cstdint>
#include <string>

namespace KorvanaFramework
{
// The linked program of one fragment shader, its source preceded by
// `prelude` (definitions that pick a variant), or 0 with the compiler's or
// linker's message logged under `name`. Needs OpenGL 2.0.
std::uint32_t BuildFragmentProgram(const std::string& name, const char* prelude, const char* source);
}
