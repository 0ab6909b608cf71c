#define KORVANA_UNIT "src/ShadowVolumes"

#include "ShadowVolumes.h"

#include "Light.h"
#include "Log.h"
#include "Scene.h"
#include "VolumeExtrusion.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace KorvanaFramework
{
namespace
{
const char* const HolesMessage = "posiada dziury i nie nadaje się do utworzenia cieni objętościowych.";
const char* const TJunctionMessage =
    "posiada połączenia typu T i nie nadaje się do utworzenia cieni objętościowych.";

constexpr std::uint32_t NoEdge = 0xFFFFFFFFu;

// From this many vertices on, an update hands work to a helper thread:
// below it the work takes less time than handing it over and back.
constexpr std::size_t HelperVertexCount = 65536;

// How much MayEnclose grows the bounding sphere: a share of its radius, and
// as much again in scene units.
constexpr float EncloseMargin = 1e-3f;

// The per-frame loops are compiled once more for AVX2, which the processor
// picks at load where it has it: twice as many lanes. Without FMA both
// versions round every operation alike and compute the same values.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PER_FRAME_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define PER_FRAME_LOOP
#endif

// The edges grouped by their lower vertex, each group sorted by the upper
// vertex and, within a pair, by edge number (creation order): the first
// edge created for a pair is then the first match of a binary search in its
// group. Groups of neighbouring vertices lie side by side, so that matching
// a well-ordered mesh reads memory in order, and a vertex shared by a huge
// fan of triangles still costs only a logarithmic search.
class FirstEdgeIndex
{
public:
    FirstEdgeIndex(const std::vector<Edge>& edges, std::size_t vertexCount)
    {
        starts.assign(vertexCount + 1, 0);
        for (const Edge& edge : edges)
            ++starts[edge.vertexA + 1];
        for (std::size_t v = 0; v < vertexCount; ++v)
            starts[v + 1] += starts[v];
        // Filling advances each group's start to the next group's; shifting
        // by one group puts them back.
        entries.resize(edges.size());
        for (std::size_t e = 0; e < edges.size(); ++e)
            entries[starts[edges[e].vertexA]++] = {edges[e].vertexB, static_cast<std::uint32_t>(e)};
        std::copy_backward(starts.begin(), starts.end() - 1, starts.end());
        starts[0] = 0;
        for (std::size_t v = 0; v < vertexCount; ++v)
            SortGroup(entries.data() + starts[v], entries.data() + starts[v + 1]);
    }

    // The first edge created for the pair (vertexA, vertexB), or NoEdge.
    std::uint32_t Find(std::uint32_t vertexA, std::uint32_t vertexB) const
    {
        const Entry* end = entries.data() + starts[vertexA + 1];
        const Entry* found = std::lower_bound(entries.data() + starts[vertexA], end, vertexB,
                                              [](const Entry& entry, std::uint32_t upper) { return entry.upper < upper; });
        return found != end && found->upper == vertexB ? found->edge : NoEdge;
    }

private:
    struct Entry
    {
        std::uint32_t upper;
        std::uint32_t edge;
    };

    // Edge numbers are unique, so ordering by them within a pair keeps the
    // first edge created for it first.
    static void SortGroup(Entry* first, Entry* last)
    {
        std::sort(first, last, [](const Entry& a, const Entry& b) {
            return a.upper < b.upper || (a.upper == b.upper && a.edge < b.edge);
        });
    }

    std::vector<std::uint32_t> starts;
    std::vector<Entry> entries;
};

// The three directed edges of a triangle in winding order.
struct DirectedEdges
{
    explicit DirectedEdges(const Triangle& t) : from{t[0], t[1], t[2]}, to{t[1], t[2], t[0]} {}
    std::uint32_t from[3];
    std::uint32_t to[3];
};

// A triangle that names a vertex the object does not have cannot close the
// mesh; it is rejected like a hole instead of being read out of bounds.
bool RefersToMissingVertex(const std::vector<Triangle>& triangles, std::size_t vertexCount)
{
    return std::any_of(triangles.begin(), triangles.end(), [vertexCount](const Triangle& t) {
        return t[0] >= vertexCount || t[1] >= vertexCount || t[2] >= vertexCount;
    });
}

// Sets flags[t] to 1 where triangle t's plane has the light strictly in
// front of it, else 0, and returns how many it set.
PER_FRAME_LOOP std::size_t FlagFacing(const std::array<std::vector<float>, 4>& planes, const Vec4& light,
                                      std::uint8_t* __restrict flags, std::size_t count)
{
    const float* a = planes[0].data();
    const float* b = planes[1].data();
    const float* c = planes[2].data();
    const float* d = planes[3].data();
    const float lx = light[0], ly = light[1], lz = light[2], lw = light[3];
    std::size_t facingCount = 0;
    for (std::size_t t = 0; t < count; ++t) {
        const std::uint8_t faces = a[t] * lx + b[t] * ly + c[t] * lz + d[t] * lw > 0.0f;
        flags[t] = faces;
        facingCount += faces;
    }
    return facingCount;
}

// Writes triangles [first, last) where they belong, choosing without a
// branch: lit ones (lit = flags[t] & frontMask) to `front`, the others with
// their indices shifted to `back`, which advances by backStep (0 where there
// is no back cap and `back` is a slot that is never kept).
inline void SortTriangles(const std::uint32_t* indices, const std::uint8_t* flags, std::size_t first,
                          std::size_t last, std::uint8_t frontMask, std::uint32_t shift, std::uint32_t*& front,
                          std::uint32_t*& back, std::size_t backStep)
{
    for (std::size_t t = first; t < last; ++t) {
        const bool lit = (flags[t] & frontMask) != 0;
        std::uint32_t* to = lit ? front : back;
        const std::uint32_t by = lit ? 0 : shift;
        to[0] = indices[3 * t] + by;
        to[1] = indices[3 * t + 1] + by;
        to[2] = indices[3 * t + 2] + by;
        front += lit ? 3 : 0;
        back += lit ? 0 : backStep;
    }
}

// Fills the caps from `count` triangles (three indices each): with depthFail
// the lit ones go to `front`, every other one, over the copies (indices +
// shift), to `back`, or nowhere where `back` is null. Eight triangles that
// all go to one cap, as most do where the mesh runs in order, are copied as
// one block the compiler vectorises.
PER_FRAME_LOOP void SortIntoCaps(const std::uint32_t* __restrict indices, const std::uint8_t* __restrict flags,
                                 std::size_t count, bool depthFail, std::uint32_t shift,
                                 std::uint32_t* front, std::uint32_t* back)
{
    constexpr std::size_t Block = 8;
    const std::uint64_t allLit = depthFail ? 0x0101010101010101u : 0;
    const std::uint8_t frontMask = depthFail ? 1 : 0;
    std::uint32_t discarded[3];
    const std::size_t backStep = back ? 3 : 0;
    std::uint32_t* backOrDiscarded = back ? back : discarded;
    std::size_t t = 0;
    for (; t + Block <= count; t += Block) {
        std::uint64_t block;
        std::memcpy(&block, flags + t, Block);
        block &= allLit;
        const std::uint32_t* from = indices + 3 * t;
        if (block == 0 && backStep == 0)
            continue;
        if (block == 0 || block == allLit) {
            // The lit copy adds 0 too: a plain copy would become a call.
            const bool lit = block != 0;
            std::uint32_t*& to = lit ? front : backOrDiscarded;
            const std::uint32_t by = lit ? 0 : shift;
            for (std::size_t k = 0; k < 3 * Block; ++k)
                to[k] = from[k] + by;
            to += 3 * Block;
        } else {
            SortTriangles(indices, flags, t, t + Block, frontMask, shift, front, backOrDiscarded, backStep);
        }
    }
    SortTriangles(indices, flags, t, count, frontMask, shift, front, backOrDiscarded, backStep);
}

// A directional light of zero direction lights nothing and casts nothing.
bool HasNoDirection(const Vec4& light)
{
    return light[3] == 0.0f && light[0] == 0.0f && light[1] == 0.0f && light[2] == 0.0f;
}

// Empties a list and gives back its storage.
template <typename List> void Release(List& list)
{
    List().swap(list);
}
}

VolumeGeometry::VolumeGeometry(const SceneObject* object) : object(object)
{
    Build();
}

void VolumeGeometry::Build()
{
    backCapIsWholeMesh = false;
    if (!BuildEdges())
        return;
    BuildPlanes();
    BuildVertices();
    BuildBoundingSphere();
    valid = true;
}

// Pairs every edge run low-to-high by one triangle with the triangle that
// runs it high-to-low. A third triangle on a matched edge is a T-junction;
// an edge left without its partner is a hole or a face wound the other way.
// Returns false after rejecting the mesh.
bool VolumeGeometry::BuildEdges()
{
    const std::vector<Triangle>& triangles = object->triangles;
    if (RefersToMissingVertex(triangles, object->positions.size())) {
        WriteError(HolesMessage);
        Reset();
        return false;
    }
    edges.clear();
    edges.reserve(triangles.size() * 3 / 2);
    for (std::uint32_t t = 0; t < triangles.size(); ++t) {
        const DirectedEdges directed(triangles[t]);
        for (int k = 0; k < 3; ++k)
            if (directed.from[k] < directed.to[k])
                edges.push_back({directed.from[k], directed.to[k], t, NoTriangle});
    }
    const FirstEdgeIndex index(edges, object->positions.size());
    std::size_t unmatched = edges.size();
    for (std::uint32_t t = 0; t < triangles.size(); ++t) {
        const DirectedEdges directed(triangles[t]);
        for (int k = 0; k < 3; ++k) {
            if (directed.from[k] <= directed.to[k])
                continue;
            const std::uint32_t e = index.Find(directed.to[k], directed.from[k]);
            if (e == NoEdge)
                continue;
            if (edges[e].triangleB != NoTriangle) {
                WriteError(TJunctionMessage);
                Reset();
                return false;
            }
            edges[e].triangleB = t;
            --unmatched;
        }
    }
    if (unmatched > 0) {
        WriteError(HolesMessage);
        Reset();
        return false;
    }
    edgeTriangles.resize(edges.size());
    for (std::size_t e = 0; e < edges.size(); ++e)
        edgeTriangles[e] = {edges[e].triangleA, edges[e].triangleB};
    return true;
}

// One plane per triangle, in triangle order, for the per-frame facing test.
void VolumeGeometry::BuildPlanes()
{
    const std::vector<Vec4>& positions = object->positions;
    const std::vector<Triangle>& triangles = object->triangles;
    for (std::vector<float>& component : planeComponents)
        component.resize(triangles.size());
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const Triangle& t = triangles[i];
        const Plane plane = PlaneFromTriangle(positions[t[0]], positions[t[1]], positions[t[2]]);
        for (int k = 0; k < 4; ++k)
            planeComponents[k][i] = plane[k];
    }
}

// The object's positions, then as many slots for their extruded copies.
void VolumeGeometry::BuildVertices()
{
    const std::vector<Vec4>& positions = object->positions;
    vertices.assign(positions.size() * 2, Vec4{0.0f, 0.0f, 0.0f, 0.0f});
    std::copy(positions.begin(), positions.end(), vertices.begin());
}

// The sphere around the positions, centred in their box; none (a radius
// below 0) where they have no bounds.
void VolumeGeometry::BuildBoundingSphere()
{
    const std::vector<Vec4>& positions = object->positions;
    Box box;
    for (const Vec4& position : positions)
        Include(box, position);
    sphereRadius = -1.0f;
    if (!box.Valid())
        return;
    for (int c = 0; c < 3; ++c)
        sphereCenter[c] = 0.5f * (box.low[c] + box.high[c]);
    float squared = 0.0f;
    for (const Vec4& position : positions) {
        float d = 0.0f;
        for (int c = 0; c < 3; ++c) {
            const float e = position[c] / position[3] - sphereCenter[c];
            d += e * e;
        }
        squared = std::max(squared, d);
    }
    sphereRadius = std::sqrt(squared);
}

// Every point of the volume lies on a ray from the light through the
// object, at or beyond the object: within the cone that a point light casts
// around the bounding sphere and no nearer to the light than the sphere, or
// within the cylinder that a directional light casts and not on the
// light's side of the sphere. The sphere is grown a little against rounding.
bool VolumeGeometry::MayEnclose(const Vec4& lightPosition, const Vec3& point) const
{
    if (sphereRadius < 0.0f || HasNoDirection(lightPosition))
        return true;
    const float radius = sphereRadius * (1.0f + EncloseMargin) + EncloseMargin;
    const float w = lightPosition[3];
    Vec3 toPoint{}, axis{};
    for (int c = 0; c < 3; ++c) {
        toPoint[c] = w == 0.0f ? point[c] - sphereCenter[c] : point[c] - lightPosition[c] / w;
        axis[c] = w == 0.0f ? -lightPosition[c] : sphereCenter[c] - lightPosition[c] / w;
    }
    const float axisLength = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    const float along = (toPoint[0] * axis[0] + toPoint[1] * axis[1] + toPoint[2] * axis[2]) / axisLength;
    const float squared = toPoint[0] * toPoint[0] + toPoint[1] * toPoint[1] + toPoint[2] * toPoint[2];
    if (w == 0.0f)
        return along >= -radius && squared - along * along <= radius * radius;
    if (axisLength <= radius)
        return true;
    const float nearest = axisLength - radius;
    if (along <= 0.0f || squared < nearest * nearest)
        return false;
    const float cosine = std::sqrt(1.0f - (radius / axisLength) * (radius / axisLength));
    return along >= cosine * std::sqrt(squared);
}

// A rejected mesh keeps no storage: it is never built again before the whole
// set is rebuilt.
void VolumeGeometry::Reset()
{
    Release(edges);
    for (std::vector<float>& component : planeComponents)
        Release(component);
    Release(edgeTriangles);
    backCapIsWholeMesh = false;
    Release(vertices);
    Release(sideIndices);
    Release(frontCapIndices);
    Release(backCapIndices);
    Release(facing);
    Release(silhouette);
    valid = false;
}

void VolumeGeometry::WriteError(const char* message) const
{
    LOG_ERROR("Model: '" << object->name << "' " << message);
}

void VolumeGeometry::Update(const Vec4& lightPosition, float length, bool depthFail)
{
    if (!valid)
        return;
    const Vec4 light = lightPosition;
    sidesAsTriangles = light[3] == 0.0f && length == 0.0f;
    if (HasNoDirection(light)) {
        sideIndices.clear();
        frontCapIndices.clear();
        backCapIndices.clear();
        backCapIsWholeMesh = false;
        return;
    }
    // A large mesh's copies are extruded, and then its caps filled, on the
    // helper thread while this one finds the facing, the silhouette and the
    // sides: neither job writes what the other passes read.
    const std::size_t vertexCount = vertices.size() / 2;
    const bool beside = vertexCount >= HelperVertexCount;
    if (beside) {
        if (!helper)
            helper = std::make_unique<HelperThread>();
        updateLight = light;
        updateLength = length;
        updateDepthFail = depthFail;
    }
    if (sidesAsTriangles) {
        if (vertexCount > 0)
            vertices[vertexCount] = {-light[0], -light[1], -light[2], light[3]};
    } else if (beside) {
        helper->Run(
            [](void* self) {
                auto* geometry = static_cast<VolumeGeometry*>(self);
                geometry->ExtrudeVertices(geometry->updateLight, geometry->updateLength);
            },
            this);
    } else {
        ExtrudeVertices(light, length);
    }
    const std::size_t facingCount = ClassifyTriangles(light);
    if (SizeCaps(depthFail, facingCount)) {
        if (beside) {
            helper->Wait();
            helper->Run(
                [](void* self) {
                    auto* geometry = static_cast<VolumeGeometry*>(self);
                    geometry->FillCaps(geometry->updateDepthFail);
                },
                this);
        } else {
            FillCaps(depthFail);
        }
    }
    FindSilhouette();
    BuildSides();
    if (beside)
        helper->Wait();
}

// A triangle faces the light when the light lies strictly on the side its
// normal points to; in its plane, or with a plane of NaN, it does not.
// Returns how many face it.
std::size_t VolumeGeometry::ClassifyTriangles(const Vec4& light)
{
    facing.resize(PlaneCount());
    return FlagFacing(planeComponents, light, facing.data(), PlaneCount());
}

// The edges between a triangle that faces the light and one that does not.
void VolumeGeometry::FindSilhouette()
{
    silhouette.clear();
    const std::uint8_t* flags = facing.data();
    const std::array<std::uint32_t, 2>* pairs = edgeTriangles.data();
    const std::size_t count = edgeTriangles.size();
    // Silhouette edges are rare: four edges are tested with one branch.
    std::size_t e = 0;
    for (; e + 4 <= count; e += 4) {
        unsigned differ = 0;
        for (unsigned k = 0; k < 4; ++k)
            differ |= static_cast<unsigned>(flags[pairs[e + k][0]] ^ flags[pairs[e + k][1]]) << k;
        for (; differ != 0; differ &= differ - 1)
            silhouette.push_back(static_cast<std::uint32_t>(e + __builtin_ctz(differ)));
    }
    for (; e < count; ++e)
        if (flags[pairs[e][0]] != flags[pairs[e][1]])
            silhouette.push_back(static_cast<std::uint32_t>(e));
}

// Writes the copy of every vertex, pushed away from the light to infinity
// or by `length`. Only copies of vertices of triangles that do not face the
// light are ever drawn; computing all of them in one pass over the vertices
// costs less than once per triangle corner and gives the same values.
void VolumeGeometry::ExtrudeVertices(const Vec4& light, float length)
{
    const std::size_t n = vertices.size() / 2;
    if (n == 0)
        return;
    const float* positions = vertices.data()->data();
    float* copies = (vertices.data() + n)->data();
    if (length == 0.0f)
        ExtrudeToInfinity(positions, copies, n, light);
    else if (light[3] != 0.0f)
        ExtrudeFromPoint(positions, copies, n, light, length);
    else
        ExtrudeAlong(positions, copies, n, light, length);
}

// Depth-fail closes the volume at the lit triangles; every other triangle
// goes, over the copies of its vertices and keeping its winding, into the
// back cap. With a directional light and infinite volumes all copies would
// meet in the apex, so there is no back cap. The lists are sized here and
// filled by FillCaps, keeping their storage from frame to frame; a back cap
// of the whole mesh is the same in every frame and is filled only once.
// Returns whether the caps must be filled.
bool VolumeGeometry::SizeCaps(bool depthFail, std::size_t facingCount)
{
    const std::size_t triangleCount = object->triangles.size();
    const std::size_t frontCount = depthFail ? facingCount : 0;
    const std::size_t backCount = sidesAsTriangles ? 0 : triangleCount - frontCount;
    const bool wholeMesh = frontCount == 0 && backCount == triangleCount;
    frontCapIndices.resize(3 * frontCount);
    if (wholeMesh && backCapIsWholeMesh)
        return false;
    backCapIndices.resize(3 * backCount);
    backCapIsWholeMesh = wholeMesh;
    return triangleCount > 0;
}

// Allocates nothing and cannot throw, so that it may run on the helper.
void VolumeGeometry::FillCaps(bool depthFail)
{
    static_assert(sizeof(Triangle) == 3 * sizeof(std::uint32_t), "triangles are read as one list of indices");
    const std::vector<Triangle>& triangles = object->triangles;
    std::uint32_t* back = sidesAsTriangles ? nullptr : backCapIndices.data();
    SortIntoCaps(triangles.data()->data(), facing.data(), triangles.size(), depthFail,
                 static_cast<std::uint32_t>(vertices.size() / 2), frontCapIndices.data(), back);
}

// One side per silhouette edge, taken against the direction in which its lit
// triangle runs it, so that every side faces out of the volume: a quad to the
// edge's copies, or a triangle to the apex.
void VolumeGeometry::BuildSides()
{
    const auto n = static_cast<std::uint32_t>(vertices.size() / 2);
    const std::size_t perSide = IndicesPerSide();
    // Room for the longest silhouette once, so that no frame allocates.
    sideIndices.reserve(std::max(3 * edges.size(), perSide * silhouette.size()));
    sideIndices.resize(perSide * silhouette.size());
    std::uint32_t* to = sideIndices.data();
    const std::size_t count = silhouette.size();
    for (std::size_t i = 0; i < count; ++i, to += perSide) {
        // The silhouette's edges lie scattered over the whole list; asking
        // for a later one early overlaps their cache misses.
        constexpr std::size_t Ahead = 8;
        if (i + Ahead < count)
            __builtin_prefetch(&edges[silhouette[i + Ahead]]);
        const Edge& edge = edges[silhouette[i]];
        const bool litA = facing[edge.triangleA];
        const std::uint32_t f = litA ? edge.vertexB : edge.vertexA;
        const std::uint32_t s = litA ? edge.vertexA : edge.vertexB;
        to[0] = f;
        to[1] = s;
        if (sidesAsTriangles) {
            to[2] = n;
        } else {
            to[2] = s + n;
            to[3] = f + n;
        }
    }
}

void VolumeGeometry::DrawSides() const
{
    DrawList(sideIndices, sidesAsTriangles ? GL_TRIANGLES : GL_QUADS);
}

void VolumeGeometry::DrawSides(std::size_t first, std::size_t count) const
{
    const std::size_t perSide = IndicesPerSide();
    if (perSide * (first + count) <= sideIndices.size())
        DrawIndices(sideIndices.data() + perSide * first, perSide * count, sidesAsTriangles ? GL_TRIANGLES : GL_QUADS);
}

void VolumeGeometry::DrawFrontCap() const
{
    DrawList(frontCapIndices, GL_TRIANGLES);
}

void VolumeGeometry::DrawBackCap() const
{
    DrawList(backCapIndices, GL_TRIANGLES);
}

void VolumeGeometry::Draw() const
{
    DrawSides();
    DrawFrontCap();
    DrawBackCap();
}

// All four components go to OpenGL, so copies with w 0 are points at
// infinity.
void VolumeGeometry::DrawList(const IndexList& indices, unsigned int mode) const
{
    DrawIndices(indices.data(), indices.size(), mode);
}

void VolumeGeometry::DrawIndices(const std::uint32_t* indices, std::size_t count, unsigned int mode) const
{
    if (!valid || vertices.empty() || count == 0)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, vertices.data());
    glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT, indices);
    glDisableClientState(GL_VERTEX_ARRAY);
}

ShadowVolumeSet::~ShadowVolumeSet()
{
    Clear();
}

void ShadowVolumeSet::SetScene(const Scene* newScene)
{
    scene = newScene;
}

void ShadowVolumeSet::SetLight(const Light* newLight)
{
    light = newLight;
}

// Geometries go in order, each before the objects it points into may go.
void ShadowVolumeSet::Clear()
{
    for (std::unique_ptr<VolumeGeometry>& volume : volumes)
        volume.reset();
    volumes.clear();
}

// Objects named "…NS" do not cast shadows and get no geometry at all. Any
// geometries of an earlier build are dropped first.
void ShadowVolumeSet::Build()
{
    Clear();
    if (!scene)
        return;
    volumes.reserve(scene->ObjectCount());
    for (std::uint32_t i = 0; i < scene->ObjectCount(); ++i) {
        const SceneObject& object = scene->ObjectAt(i);
        if (object.castsShadow)
            volumes.push_back(std::make_unique<VolumeGeometry>(&object));
    }
}

void ShadowVolumeSet::Update(float length, bool depthFail)
{
    if (!light)
        return;
    for (const std::unique_ptr<VolumeGeometry>& volume : volumes)
        volume->Update(light->position, length, depthFail);
}

void ShadowVolumeSet::Draw() const
{
    for (const std::unique_ptr<VolumeGeometry>& volume : volumes)
        volume->Draw();
}
}
