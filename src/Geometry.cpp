#include "Geometry.h"

#include <cmath>
#include <limits>

namespace KorvanaFramework
{
// Normal of (p1 − p0) × (p2 − p1), normalised, and the offset that puts p0 on
// the plane. Everything stays in single precision so that every caller sees
// the same planes. A triangle without area has no normal: its plane is all
// NaN, which no facing test counts as facing.
Plane PlaneFromTriangle(const Vec4& p0, const Vec4& p1, const Vec4& p2)
{
    const float e1x = p1[0] - p0[0], e1y = p1[1] - p0[1], e1z = p1[2] - p0[2];
    const float e2x = p2[0] - p1[0], e2y = p2[1] - p1[1], e2z = p2[2] - p1[2];
    const float nx = e1y * e2z - e1z * e2y;
    const float ny = e1z * e2x - e1x * e2z;
    const float nz = e1x * e2y - e1y * e2x;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(length > 0.0f)) {
        const float none = std::numeric_limits<float>::quiet_NaN();
        return {none, none, none, none};
    }
    const float a = nx / length, b = ny / length, c = nz / length;
    return {a, b, c, -(a * p0[0] + b * p0[1] + c * p0[2])};
}

// Only a plane with finite components can place or project anything.
bool IsFinitePlane(const Plane& plane)
{
    for (float component : plane)
        if (!std::isfinite(component))
            return false;
    return true;
}
}
