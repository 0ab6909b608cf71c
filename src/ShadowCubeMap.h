// A point light's shadow map in every direction: the casters' depth in six
// 90-degree faces of a depth cube map around the light, compared in a
// fragment program with each surface's depth in the face its direction
// from the light falls in.
#pragma once

#include "Geometry.h"

#include <array>
#include <cstdint>

namespace KorvanaFramework
{
// The cube map and what its passes need; every name 0 where the driver
// offers no cube map, and then the row is not offered.
struct ShadowCube
{
    std::uint32_t texture = 0;
    std::int32_t size = 0;  // texels along each face's side
    std::array<std::uint32_t, 6> framebuffers{};
    // The comparison programs of one, 2 × 2 and 4 × 4 comparisons, by
    // MapFiltering; the contact-hardening filter's (0 where it does not
    // build); the program that shows the stored depth as grey; the one that
    // shows the faces' linear depth in the preview.
    std::array<std::uint32_t, 3> comparePrograms{};
    std::uint32_t penumbraProgram = 0;
    std::uint32_t depthProgram = 0;
    std::uint32_t previewProgram = 0;
    // The light and the faces' near and far distances of the last pass.
    Vec3 light{};
    float near = 0.0f;
    float far = 0.0f;

    bool Ready() const { return texture != 0; }
};

// Face i of the cube (+X, −X, +Y, −Y, +Z, −Z, the order of OpenGL's face
// targets): the direction it looks in and the up vector that lays its
// image out as the cube map's lookup reads it.
struct CubeFace
{
    Vec3 forward;
    Vec3 up;
};
const std::array<CubeFace, 6>& CubeFaces();
}
