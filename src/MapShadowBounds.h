// The window pixels where shadow mapping can find a surface in shadow. A
// fragment is shadowed only where its point, carried into the map, falls
// on a texel that a caster's depth was drawn into, and those texels lie
// within the caster's outline as the light sees it. The scene's points that
// fall there lie in the pyramid from the light through that part of the
// map, beyond the caster's nearest depth, or in its mirror image behind the
// light, where dividing by the negative w turns the coordinates round; the
// pass that dims shadowed surfaces is scissored to the window footprint of
// both within the scene's box.
#pragma once

#include "Geometry.h"
#include "VolumeFootprint.h"

#include <cstddef>
#include <vector>

namespace KorvanaFramework
{
// Points whose convex hull holds what the map's depth pass draws of a
// caster; unbounded where a point lies at or beyond infinity, where it may
// fall anywhere on the map.
struct CasterOutline
{
    std::vector<Vec3> points;
    bool unbounded = false;
};

// The casters' outlines, gathered as a scene loads. A caster brings its own
// positions while they fit within MaxOutlinePoints in all, else the corners
// of its box; past MaxCasterOutlines casters one box holds them all. Both
// keep the work of a frame's bounding small.
class CasterOutlines
{
public:
    static constexpr std::size_t MaxOutlinePoints = 8192;
    static constexpr std::size_t MaxCasterOutlines = 32;

    void Clear();
    void Add(const std::vector<Vec4>& positions);
    const std::vector<CasterOutline>& All() const { return outlines; }

private:
    std::vector<CasterOutline> outlines;
    std::size_t points = 0;
    Box all;
    bool merged = false;
};

struct MapShadowView
{
    // The depth pass's projection and view, the light's homogeneous
    // position (w 0 for a direction) and the map's side in texels.
    Matrix4 lightProjection{};
    Matrix4 lightView{};
    Vec4 light{};
    int mapSize = 0;
    // The depth pass's polygon offset factor: where it is not negative the
    // map holds no depth nearer than the casters' own.
    float depthOffsetFactor = 0.0f;
    // The casters' outlines, and the box around every point the pass draws.
    const std::vector<CasterOutline>* casters = nullptr;
    Box scene;
    // The camera's projection and view and the window's size.
    Matrix4 projection{};
    Matrix4 modelview{};
    int width = 0;
    int height = 0;
};

// The pixels outside which no fragment of the scene reads a caster's depth:
// empty where no caster can reach the map, the whole window where the
// scene's box is unbounded. Each caster is bounded on its own.
PixelRect MapShadowRect(const MapShadowView& view);

// The texels of a map `mapSize` texels a side that the depth pass can draw
// a caster into, through the light's projection and view, grown as for
// MapShadowRect: the whole map where a caster reaches the plane of the
// light's eye, empty where none falls on the map.
PixelRect CasterTexels(const Matrix4& lightProjection, const Matrix4& lightView,
                       const std::vector<CasterOutline>& casters, int mapSize);
}
