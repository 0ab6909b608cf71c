// The window rectangle outside which shadow mapping finds nothing shadowed:
// every scene point that can read a caster's depth from the map must fall
// inside it, wherever light, casters and camera are, and it stays small
// where the shadow is small.
#include "MapShadowBounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace KorvanaFramework;

namespace
{
constexpr int Width = 320;
constexpr int Height = 240;

Vec3 Minus(const Vec3& a, const Vec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 Normalised(const Vec3& v)
{
    const float length = std::sqrt(Dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

// The matrices gluPerspective, glOrtho and gluLookAt load.
Matrix4 Perspective(float fieldOfView, float aspect, float n, float f)
{
    const float c = 1.0f / std::tan(fieldOfView * 0.5f * 3.1415927f / 180.0f);
    Matrix4 m{};
    m[0] = c / aspect;
    m[5] = c;
    m[10] = (f + n) / (n - f);
    m[11] = -1.0f;
    m[14] = 2.0f * f * n / (n - f);
    return m;
}

Matrix4 Ortho(float half, float n, float f)
{
    Matrix4 m{};
    m[0] = m[5] = 1.0f / half;
    m[10] = -2.0f / (f - n);
    m[14] = -(f + n) / (f - n);
    m[15] = 1.0f;
    return m;
}

Matrix4 LookAt(const Vec3& eye, const Vec3& centre)
{
    const Vec3 f = Normalised(Minus(centre, eye));
    const Vec3 up = std::fabs(f[1]) > 0.99f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 s = Normalised(Cross(f, up));
    const Vec3 u = Cross(s, f);
    return {s[0], u[0], -f[0], 0, s[1], u[1], -f[1], 0, s[2], u[2], -f[2], 0, -Dot(s, eye), -Dot(u, eye), Dot(f, eye), 1};
}

Vec4 Apply(const Matrix4& m, const Vec4& p)
{
    Vec4 out{};
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row] * p[3];
    return out;
}

Box BoxOf(const Vec3& low, const Vec3& high)
{
    Box box;
    Include(box, {low[0], low[1], low[2], 1});
    Include(box, {high[0], high[1], high[2], 1});
    return box;
}

// A view of a floor-like scene box with the light, the casters and the
// camera given; the map has 512 texels and an offset that keeps depths
// behind the casters.
struct Setting
{
    bool directional = false;
    Vec3 light{0, 6, 0};
    Vec3 lightTarget{0, 0, 0};
    float fieldOfView = 170.0f;
    Vec3 eye{0, 8, 12};
    Vec3 eyeTarget{0, 0, 0};
    std::vector<CasterOutline> casters;
};

MapShadowView ViewOf(const Setting& s)
{
    MapShadowView view;
    view.lightProjection = s.directional ? Ortho(10.0f, 1.0f, 30.0f) : Perspective(s.fieldOfView, 1.0f, 1.0f, 30.0f);
    view.lightView = LookAt(s.light, s.lightTarget);
    view.light = {s.light[0], s.light[1], s.light[2], s.directional ? 0.0f : 1.0f};
    view.mapSize = 512;
    view.depthOffsetFactor = 3.0f;
    view.casters = &s.casters;
    view.scene = BoxOf({-6, -2, -6}, {6, 3, 6});
    view.projection = Perspective(60.0f, float(Width) / Height, 0.1f, 100.0f);
    view.modelview = LookAt(s.eye, s.eyeTarget);
    view.width = Width;
    view.height = Height;
    return view;
}

// True when the light sees `p` within the map where a caster's outline
// lies, and, in front of the light, no nearer than the outline's nearest
// point: the only places where a map of those casters can hold a nearer
// depth. Beyond the map's edges lies its white border.
bool CanReadACaster(const MapShadowView& view, const Vec3& p)
{
    const Vec4 c = Apply(view.lightProjection, Apply(view.lightView, {p[0], p[1], p[2], 1}));
    for (const CasterOutline& caster : *view.casters) {
        float low[3] = {1e9f, 1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
        bool wholeMap = false;
        for (const Vec3& q : caster.points) {
            const Vec4 k = Apply(view.lightProjection, Apply(view.lightView, {q[0], q[1], q[2], 1}));
            wholeMap = wholeMap || !(k[3] > 0);
            for (int axis = 0; axis < 3; ++axis)
                low[axis] = std::min(low[axis], k[axis] / k[3]);
            for (int axis = 0; axis < 2; ++axis)
                high[axis] = std::max(high[axis], k[axis] / k[3]);
        }
        if (c[3] == 0)
            continue;
        const float x = c[0] / c[3], y = c[1] / c[3], z = c[2] / c[3];
        if (std::fabs(x) > 1 || std::fabs(y) > 1)
            continue;
        if (wholeMap || caster.unbounded ||
            (x >= low[0] && x <= high[0] && y >= low[1] && y <= high[1] && (c[3] < 0 || z >= low[2])))
            return true;
    }
    return false;
}

// Where `p` shows in the window, or false where the camera cannot see it.
bool WindowPoint(const MapShadowView& view, const Vec3& p, float& x, float& y)
{
    const Vec4 c = Apply(view.projection, Apply(view.modelview, {p[0], p[1], p[2], 1}));
    if (!(c[2] >= -c[3]) || !(c[3] > 0))
        return false;
    x = (c[0] / c[3] + 1) * 0.5f * Width;
    y = (c[1] / c[3] + 1) * 0.5f * Height;
    return x >= 0 && x < Width && y >= 0 && y < Height;
}

bool Contains(const PixelRect& rect, float x, float y)
{
    return x >= rect.x && x <= rect.x + rect.width && y >= rect.y && y <= rect.y + rect.height;
}

CasterOutline Cloud(std::mt19937& random, const Vec3& centre, float radius, int count)
{
    std::uniform_real_distribution<float> offset(-radius, radius);
    CasterOutline outline;
    for (int i = 0; i < count; ++i)
        outline.points.push_back({centre[0] + offset(random), centre[1] + offset(random), centre[2] + offset(random)});
    return outline;
}

int Area(const PixelRect& rect)
{
    return rect.width * rect.height;
}
}

// Lights of every kind above, among and below random casters, seen from
// cameras outside and inside the scene: every visible scene point that can
// read a caster's depth lies within the rectangle.
TEST(MapShadowRect, HoldsEveryPointThatCanReadACaster)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> across(-6, 6), height(-2, 3), unit(0, 1);
    int checked = 0, smaller = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Setting s;
        s.directional = trial % 3 == 0;
        s.light = {across(random), height(random) + (trial % 4 == 0 ? 0.0f : 4.0f), across(random)};
        s.lightTarget = {across(random) * 0.3f, -2, across(random) * 0.3f};
        s.fieldOfView = 40.0f + 130.0f * unit(random);
        s.eye = trial % 5 == 0 ? Vec3{across(random), height(random), across(random)}
                               : Vec3{across(random) * 2, 4 + 6 * unit(random), across(random) * 2};
        s.eyeTarget = {across(random) * 0.5f, -1, across(random) * 0.5f};
        const int casters = 1 + trial % 3;
        for (int i = 0; i < casters; ++i)
            s.casters.push_back(Cloud(random, {across(random) * 0.6f, height(random) * 0.5f, across(random) * 0.6f},
                                      0.2f + unit(random), 12));
        const MapShadowView view = ViewOf(s);
        const PixelRect rect = MapShadowRect(view);
        smaller += Area(rect) < Width * Height ? 1 : 0;
        for (int sample = 0; sample < 500; ++sample) {
            const Vec3 p{across(random), height(random), across(random)};
            float x = 0, y = 0;
            if (!WindowPoint(view, p, x, y) || !CanReadACaster(view, p))
                continue;
            ++checked;
            ASSERT_TRUE(Contains(rect, x, y))
                << "trial " << trial << ": point (" << p[0] << ", " << p[1] << ", " << p[2] << ") at window (" << x
                << ", " << y << ") outside " << rect.x << " " << rect.y << " " << rect.width << " " << rect.height;
        }
    }
    EXPECT_GT(checked, 3000);
    EXPECT_GT(smaller, 100);
}

// A small caster under a light straight above: the rectangle holds the
// caster and its shadow on the floor and little else.
TEST(MapShadowRect, StaysCloseToASmallShadow)
{
    for (const bool directional : {false, true}) {
        Setting s;
        s.directional = directional;
        s.light = {0, 6, 0};
        s.lightTarget = {0, -2, 0};
        std::mt19937 random(7);
        s.casters.push_back(Cloud(random, {0, 0, 0}, 0.5f, 40));
        const MapShadowView view = ViewOf(s);
        const PixelRect rect = MapShadowRect(view);
        float x = 0, y = 0;
        ASSERT_TRUE(WindowPoint(view, {0, -2, 0}, x, y));
        EXPECT_TRUE(Contains(rect, x, y));
        ASSERT_TRUE(WindowPoint(view, {0, 0, 0}, x, y));
        EXPECT_TRUE(Contains(rect, x, y));
        EXPECT_GT(Area(rect), 0);
        EXPECT_LT(Area(rect), Width * Height / 8) << (directional ? "directional" : "point");
    }
}

// Nothing to bound, or nothing that bounds: no casters give no shadow, a
// scene reaching infinity gives the whole window, as does a camera inside
// the shadowed region, a caster beside the light's eye may reach any texel
// but the region stays within the scene, and a scene at the ends of the
// float range still gives a rectangle within the window.
TEST(MapShadowRect, FallsBackWhereItCannotBound)
{
    Setting s;
    s.light = {0, 6, 0};
    s.lightTarget = {0, -2, 0};
    MapShadowView view = ViewOf(s);
    const PixelRect none = MapShadowRect(view);
    EXPECT_EQ(Area(none), 0);

    s.casters.push_back({{{-0.5f, 0, -0.5f}, {0.5f, 0.5f, 0.5f}}, false});
    view = ViewOf(s);
    Include(view.scene, {1, 0, 0, 0});
    const PixelRect unbounded = MapShadowRect(view);
    EXPECT_EQ(Area(unbounded), Width * Height);

    s.eye = {0, -1.5f, 0.1f};
    s.eyeTarget = {0, -2, 3};
    const PixelRect inside = MapShadowRect(ViewOf(s));
    EXPECT_EQ(Area(inside), Width * Height);

    s = Setting{};
    s.light = {0, 1, 0};
    s.lightTarget = {0, -2, 0};
    s.casters.push_back({{{-0.5f, 0.5f, -0.5f}, {0.5f, 1.5f, 0.5f}}, false});
    const PixelRect beside = MapShadowRect(ViewOf(s));
    EXPECT_GT(Area(beside), 0);
    s.casters.back().unbounded = true;
    const PixelRect anywhere = MapShadowRect(ViewOf(s));
    EXPECT_GT(Area(anywhere), 0);

    s.casters.back() = {{{-3e37f, -3e37f, -3e37f}, {3e37f, 3e37f, 3e37f}}, false};
    view = ViewOf(s);
    view.scene = BoxOf({-3e38f, -3e38f, -3e38f}, {3e38f, 3e38f, 3e38f});
    const PixelRect huge = MapShadowRect(view);
    EXPECT_GE(huge.x, 0);
    EXPECT_LE(huge.x + huge.width, Width);
}

// Past the limits a scene's casters come as boxes: own points while they
// fit, box corners beyond, one box for all past the count.
TEST(CasterOutlines, KeepsTheFrameWorkSmall)
{
    CasterOutlines outlines;
    const std::vector<Vec4> small{{0, 0, 0, 1}, {1, 2, 3, 1}, {2, 4, 6, 2}};
    outlines.Add(small);
    ASSERT_EQ(outlines.All().size(), 1u);
    EXPECT_EQ(outlines.All()[0].points.size(), 3u);
    EXPECT_FLOAT_EQ(outlines.All()[0].points[2][2], 3.0f);

    const std::vector<Vec4> large(CasterOutlines::MaxOutlinePoints, Vec4{1, 1, 1, 1});
    outlines.Add(large);
    EXPECT_EQ(outlines.All()[1].points.size(), 8u);

    outlines.Add({{0, 0, 0, 0}});
    EXPECT_TRUE(outlines.All()[2].unbounded);

    outlines.Clear();
    for (std::size_t i = 0; i <= CasterOutlines::MaxCasterOutlines; ++i)
        outlines.Add({{float(i), 0, 0, 1}});
    ASSERT_EQ(outlines.All().size(), 1u);
    EXPECT_EQ(outlines.All()[0].points.size(), 8u);
    outlines.Add({{100, 0, 0, 1}});
    ASSERT_EQ(outlines.All().size(), 1u);
    float highest = 0;
    for (const Vec3& p : outlines.All()[0].points)
        highest = std::max(highest, p[0]);
    EXPECT_FLOAT_EQ(highest, 100.0f);
}
