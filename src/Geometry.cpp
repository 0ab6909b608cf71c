#include "Geometry.h"

#include <algorithm>
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

void Include(Box& box, const Vec4& point)
{
    const float w = point[3];
    if (!(w > 0.0f)) {
        box.unbounded = true;
        return;
    }
    const Vec3 p{point[0] / w, point[1] / w, point[2] / w};
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
        box.unbounded = true;
        return;
    }
    for (int axis = 0; axis < 3; ++axis) {
        box.low[axis] = box.empty ? p[axis] : std::min(box.low[axis], p[axis]);
        box.high[axis] = box.empty ? p[axis] : std::max(box.high[axis], p[axis]);
    }
    box.empty = false;
}

std::array<Plane, 6> BoxFaces(const Box& box, float margin)
{
    std::array<Plane, 6> faces{};
    for (int axis = 0; axis < 3; ++axis) {
        faces[2 * axis][axis] = 1.0f;
        faces[2 * axis][3] = -(box.low[axis] - margin);
        faces[2 * axis + 1][axis] = -1.0f;
        faces[2 * axis + 1][3] = box.high[axis] + margin;
    }
    return faces;
}

int FacesAroundTheEye(const Box& box, float margin, const Vec3& eye, std::array<Plane, 6>& planes)
{
    if (!box.Valid())
        return 0;
    const std::array<Plane, 6> faces = BoxFaces(box, margin);
    int count = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (eye[axis] > -faces[2 * axis][3])
            planes[count++] = faces[2 * axis];
        if (eye[axis] < faces[2 * axis + 1][3])
            planes[count++] = faces[2 * axis + 1];
    }
    return count;
}
}
