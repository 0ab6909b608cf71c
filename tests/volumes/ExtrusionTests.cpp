// The extruded copies as the program computes them, eight vertices at a
// time where the processor allows: every vertex of a long list must come
// out with the same bits as when it is extruded alone, which takes the
// one-at-a-time loop.
#include "VolumeExtrusion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace KorvanaFramework;

namespace
{
constexpr float Infinity = std::numeric_limits<float>::infinity();
constexpr float NotANumber = std::numeric_limits<float>::quiet_NaN();
const Vec4 Light{6.3f, 8.1f, -2.7f, 1.0f};

// 8 × 5 + 3 vertices: five full blocks and a tail. Among ordinary points,
// at chosen places: the light itself, with w 1, 0 and 0.5, points level
// with it on two axes, points a rounding step and a subnormal away from it
// on one, and, where asked for, NaN
// and infinite coordinates (which the finite extrusion measures again in
// double precision).
std::vector<Vec4> AwkwardVertices(bool nonFinite)
{
    std::vector<Vec4> list;
    for (int k = 0; k < 43; ++k) {
        const float f = static_cast<float>(k);
        list.push_back({std::sin(f * 0.7f) * 5.0f, std::cos(f * 0.3f) * 4.0f + 1.0f, f * 0.25f - 3.0f, 1.0f});
    }
    list[3] = Light;
    list[6] = {Light[0], Light[1], 0.5f, 1.0f};
    list[9] = {Light[0], Light[1], Light[2], 0.0f};
    list[10] = {-1.0f, Light[1], Light[2], 1.0f};
    list[14] = {Light[0], 2.0f, Light[2], 1.0f};
    list[12] = {std::nextafter(Light[0], Infinity), Light[1], Light[2], 1.0f};
    list[17] = {Light[0], Light[1], Light[2], 0.5f};
    list[31] = {Light[0] + std::numeric_limits<float>::denorm_min(), Light[1], Light[2], 1.0f};
    list[41] = Light;
    if (nonFinite) {
        list[22] = {NotANumber, 1.0f, 2.0f, 1.0f};
        list[26] = {Infinity, 1.0f, 2.0f, 1.0f};
        list[35] = {1.0f, -Infinity, 2.0f, 1.0f};
    }
    return list;
}

// Compares bits, so that NaN copies and signed zeros count too.
bool SameBits(const Vec4& a, const Vec4& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(Vec4)) == 0;
}

template <typename Extrude> void ExpectEachAsAlone(const std::vector<Vec4>& vertices, Extrude extrude)
{
    std::vector<Vec4> copies(vertices.size());
    extrude(vertices.data()->data(), copies.data()->data(), vertices.size());
    for (std::size_t k = 0; k < vertices.size(); ++k) {
        Vec4 alone;
        extrude(vertices[k].data(), alone.data(), 1);
        EXPECT_TRUE(SameBits(alone, copies[k])) << "vertex " << k;
    }
}
}

TEST(VolumeExtrusionLists, EveryVertexAsWhenExtrudedAlone)
{
    ExpectEachAsAlone(AwkwardVertices(true),
                      [](const float* v, float* c, std::size_t n) { ExtrudeToInfinity(v, c, n, Light); });
    for (float length : {97.3f, 0.001f, 3e37f})
        ExpectEachAsAlone(AwkwardVertices(false),
                          [length](const float* v, float* c, std::size_t n) { ExtrudeFromPoint(v, c, n, Light, length); });
}

// The vertex at the light keeps its place, w included; every other copy
// of a point light at infinity has w 0.
TEST(VolumeExtrusionLists, TheVertexAtTheLightStays)
{
    std::vector<Vec4> vertices = AwkwardVertices(true);
    std::vector<Vec4> copies(vertices.size());
    ExtrudeToInfinity(vertices.data()->data(), copies.data()->data(), vertices.size(), Light);
    EXPECT_TRUE(SameBits(Light, copies[3]));
    EXPECT_TRUE(SameBits(vertices[9], copies[9]));
    EXPECT_TRUE(SameBits(vertices[17], copies[17]));
    EXPECT_EQ((Vec4{std::nextafter(Light[0], Infinity) - Light[0], 0, 0, 0}), copies[12]);
    EXPECT_EQ(0.0f, copies[0][3]);

    vertices = AwkwardVertices(false);
    ExtrudeFromPoint(vertices.data()->data(), copies.data()->data(), vertices.size(), Light, 10.0f);
    EXPECT_TRUE(SameBits(Light, copies[41]));
    EXPECT_EQ((Vec4{Light[0], Light[1], Light[2], 1.0f}), copies[17]);
}

// One distance past the float range, in any block, sends the whole list
// through double precision: every copy is then a number a length away.
TEST(VolumeExtrusionLists, OneOverflowingDistanceMeasuresAllPrecisely)
{
    for (std::size_t huge : {std::size_t{2}, std::size_t{13}, std::size_t{40}}) {
        std::vector<Vec4> vertices = AwkwardVertices(false);
        vertices.resize(42);
        vertices[huge] = {3e38f, -3e38f, 3e38f, 1.0f};
        std::vector<Vec4> copies(vertices.size());
        const float length = 50.0f;
        ExtrudeFromPoint(vertices.data()->data(), copies.data()->data(), vertices.size(), Light, length);
        for (std::size_t k = 0; k < vertices.size(); ++k) {
            const Vec4& v = vertices[k];
            const double dx = double{v[0]} - Light[0], dy = double{v[1]} - Light[1], dz = double{v[2]} - Light[2];
            const double norm = std::sqrt(dx * dx + dy * dy + dz * dz);
            const double scale = norm > 0.0 ? length / norm : 0.0;
            const Vec4 expected{static_cast<float>(v[0] + scale * dx), static_cast<float>(v[1] + scale * dy),
                                static_cast<float>(v[2] + scale * dz), 1.0f};
            EXPECT_EQ(expected, copies[k]) << "vertex " << k << " beside the huge one at " << huge;
        }
    }
}
