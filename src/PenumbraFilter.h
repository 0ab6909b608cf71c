// Contact-hardening soft shadows: around each fragment a search of the map
// finds the casters between it and the light, their mean distance gives the
// width of the penumbra that a light of the chosen size casts there, and a
// comparison filter of that width gives the lit share. Edges are hard where
// a caster touches its receiver and widen with the distance between them.
#pragma once

#include "Geometry.h"

#include <cstdint>

namespace KorvanaFramework
{
// GLSL of GridPoint(x, y, side): the sample (x, y) of a turned side × side
// grid over the unit square around 0, shared by the flat and cube filters.
extern const char* const GridPointSource;

// The fragment program, or 0 (logged) where it does not build.
std::uint32_t BuildPenumbraProgram();

// Puts the program in use for a map rendered with `lightProjection`, for a
// light `lightSize` scene units across (for a directional light: the growth
// of the penumbra per unit of distance).
void UsePenumbraProgram(std::uint32_t program, const Matrix4& lightProjection, float lightSize);
}
