// Small vector and plane arithmetic shared by the light, the projected
// shadow and the shadow-volume geometry.
#pragma once

#include <array>

namespace KorvanaFramework
{
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;

// (a, b, c, d) with a·x + b·y + c·z + d = 0 and (a, b, c) of unit length.
using Plane = std::array<float, 4>;

// Column-major 4×4 matrix (element 4 × column + row), as OpenGL loads it.
using Matrix4 = std::array<float, 16>;

// Degrees to radians, in single precision, wherever angles meet trigonometry.
constexpr float DegreesToRadians = 0.017453292f;

// The plane through the x, y, z of three positions; its normal points to the
// side from which p0, p1, p2 run counter-clockwise. A triangle without area
// gives a plane with non-finite components (see IsFinitePlane).
Plane PlaneFromTriangle(const Vec4& p0, const Vec4& p1, const Vec4& p2);

// False when the plane came from a triangle too small to have a normal.
bool IsFinitePlane(const Plane& plane);

// An axis-aligned box of points. A point at or beyond infinity, or one with
// a non-finite coordinate, leaves it unbounded for good.
struct Box
{
    Vec3 low{};
    Vec3 high{};
    bool empty = true;
    bool unbounded = false;

    bool Valid() const { return !empty && !unbounded; }
};

// Grows the box to hold the homogeneous point.
void Include(Box& box, const Vec4& point);

// The planes of the box's six faces, each moved out by `margin`, with the
// box on their kept side (a·x + b·y + c·z + d >= 0): entries 2·axis and
// 2·axis + 1 bound the axis from below and from above.
std::array<Plane, 6> BoxFaces(const Box& box, float margin);

// The planes of the box's faces, each moved out by `margin`, that have the
// eye strictly inside (the kept side is where a·x + b·y + c·z + d >= 0).
// Along any ray from the eye, a point outside one of them lies behind every
// point of the box on that ray. Returns how many were written.
int FacesAroundTheEye(const Box& box, float margin, const Vec3& eye, std::array<Plane, 6>& planes);
}
