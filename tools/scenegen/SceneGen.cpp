// Writes the default scene, test.obj and test.mtl, into a folder:
//   scenegen FOLDER
// A floor that receives shadow, the invisible ShadowPlaneNS in its top
// surface, and four smooth closed casters (sphere, rounded box, torus,
// trefoil knot). Every caster is one closed mesh whose corners share their
// vertex indices, with one normal per position, so that the OBJ reader's
// vertex unification keeps it closed for the shadow volumes.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace
{
using V3 = std::array<double, 3>;

V3 operator+(V3 a, V3 b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
V3 operator-(V3 a, V3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 operator*(double s, V3 a) { return {s * a[0], s * a[1], s * a[2]}; }
double Dot(V3 a, V3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
V3 Cross(V3 a, V3 b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
V3 Normalized(V3 a) { return (1.0 / std::sqrt(Dot(a, a))) * a; }

const double Pi = 3.14159265358979323846;

struct Mesh
{
    std::vector<V3> positions;
    std::vector<V3> normals;
    std::vector<std::array<std::uint32_t, 3>> triangles;

    std::uint32_t Add(V3 position, V3 normal)
    {
        positions.push_back(position);
        normals.push_back(Normalized(normal));
        return static_cast<std::uint32_t>(positions.size() - 1);
    }

    // Adds a triangle wound counter-clockwise as seen from the side its
    // vertex normals face, so that front faces point outwards.
    void Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c)
    {
        const V3 face = Cross(positions[b] - positions[a], positions[c] - positions[a]);
        if (Dot(face, normals[a] + normals[b] + normals[c]) < 0)
            std::swap(b, c);
        triangles.push_back({a, b, c});
    }

    void Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
    {
        Triangle(a, b, c);
        Triangle(a, c, d);
    }

    // Moves the mesh: turns it by `yawDegrees` about Y, then by
    // `tiltDegrees` about X, then shifts it to `offset`.
    void Place(double yawDegrees, double tiltDegrees, V3 offset)
    {
        const double cy = std::cos(yawDegrees * Pi / 180), sy = std::sin(yawDegrees * Pi / 180);
        const double cx = std::cos(tiltDegrees * Pi / 180), sx = std::sin(tiltDegrees * Pi / 180);
        const auto turn = [&](V3 v) {
            const V3 yawed{cy * v[0] + sy * v[2], v[1], -sy * v[0] + cy * v[2]};
            return V3{yawed[0], cx * yawed[1] - sx * yawed[2], sx * yawed[1] + cx * yawed[2]};
        };
        for (V3& p : positions)
            p = turn(p) + offset;
        for (V3& n : normals)
            n = turn(n);
    }
};

// A grid of vertices over (u, v) in [0, 1]², closed in u and/or v by
// reusing the first row or column instead of repeating it.
Mesh ParametricGrid(int uSteps, int vSteps, bool wrapU, bool wrapV,
                    const std::function<void(double, double, V3&, V3&)>& surface)
{
    Mesh mesh;
    const int uCount = wrapU ? uSteps : uSteps + 1;
    const int vCount = wrapV ? vSteps : vSteps + 1;
    for (int i = 0; i < uCount; ++i)
        for (int j = 0; j < vCount; ++j) {
            V3 p, n;
            surface(double(i) / uSteps, double(j) / vSteps, p, n);
            mesh.Add(p, n);
        }
    const auto at = [&](int i, int j) { return std::uint32_t((i % uCount) * vCount + j % vCount); };
    for (int i = 0; i < uSteps; ++i)
        for (int j = 0; j < vSteps; ++j)
            mesh.Quad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
    return mesh;
}

Mesh Floor(double y, double xMin, double xMax, double zMin, double zMax, int xSteps, int zSteps)
{
    return ParametricGrid(xSteps, zSteps, false, false, [&](double u, double v, V3& p, V3& n) {
        p = {xMin + u * (xMax - xMin), y, zMin + v * (zMax - zMin)};
        n = {0, 1, 0};
    });
}

// One upward-facing triangle that defines the plane of the projected shadow.
Mesh PlaneMarker(double y)
{
    Mesh mesh;
    mesh.Triangle(mesh.Add({-1, y, 1}, {0, 1, 0}), mesh.Add({1, y, 1}, {0, 1, 0}),
                  mesh.Add({0, y, -1}, {0, 1, 0}));
    return mesh;
}

// Latitude rings between two single pole vertices.
Mesh Sphere(double radius, int segments, int rings)
{
    Mesh mesh;
    const std::uint32_t top = mesh.Add({0, radius, 0}, {0, 1, 0});
    for (int r = 1; r < rings; ++r) {
        const double theta = Pi * r / rings;
        for (int s = 0; s < segments; ++s) {
            const double phi = 2 * Pi * s / segments;
            const V3 n{std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
            mesh.Add(radius * n, n);
        }
    }
    const std::uint32_t bottom = mesh.Add({0, -radius, 0}, {0, -1, 0});
    const auto ring = [&](int r, int s) { return std::uint32_t(1 + (r - 1) * segments + s % segments); };
    for (int s = 0; s < segments; ++s) {
        mesh.Triangle(top, ring(1, s), ring(1, s + 1));
        mesh.Triangle(bottom, ring(rings - 1, s), ring(rings - 1, s + 1));
        for (int r = 1; r < rings - 1; ++r)
            mesh.Quad(ring(r, s), ring(r + 1, s), ring(r + 1, s + 1), ring(r, s + 1));
    }
    return mesh;
}

Mesh Torus(double major, double minor, int around, int tube)
{
    return ParametricGrid(around, tube, true, true, [&](double u, double v, V3& p, V3& n) {
        const double a = 2 * Pi * u, b = 2 * Pi * v;
        n = {std::cos(b) * std::cos(a), std::sin(b), std::cos(b) * std::sin(a)};
        p = V3{major * std::cos(a), 0, major * std::sin(a)} + minor * n;
    });
}

// A tube around the trefoil knot, framed by the curve's Frenet frame, which
// closes on itself because the curve is periodic.
Mesh TrefoilKnot(double scale, double tubeRadius, int along, int around)
{
    const auto curve = [&](double t) {
        return scale * V3{std::sin(t) + 2 * std::sin(2 * t), std::cos(t) - 2 * std::cos(2 * t), -std::sin(3 * t)};
    };
    return ParametricGrid(along, around, true, true, [&](double u, double v, V3& p, V3& n) {
        const double t = 2 * Pi * u, h = 1e-4;
        const V3 c = curve(t);
        const V3 d1 = curve(t + h) - curve(t - h);
        const V3 d2 = curve(t + h) - 2.0 * c + curve(t - h);
        const V3 tangent = Normalized(d1);
        const V3 binormal = Normalized(Cross(d1, d2));
        const V3 normal = Cross(binormal, tangent);
        const double a = 2 * Pi * v;
        n = std::cos(a) * normal + std::sin(a) * binormal;
        p = c + tubeRadius * n;
    });
}

// Positions along one axis of the rounded box: the rounding arcs at both
// ends are sampled at even angles, the flat middle at even steps.
std::vector<double> RoundedAxis(double flatHalf, double radius, int arcSteps, int flatSteps)
{
    std::vector<double> axis;
    for (int i = arcSteps; i >= 1; --i)
        axis.push_back(-flatHalf - radius * std::tan(Pi / 4 * i / arcSteps));
    for (int i = 0; i <= flatSteps; ++i)
        axis.push_back(-flatHalf + 2 * flatHalf * i / flatSteps);
    for (int i = 1; i <= arcSteps; ++i)
        axis.push_back(flatHalf + radius * std::tan(Pi / 4 * i / arcSteps));
    return axis;
}

// A cube's surface lattice pushed onto a box with rounded edges and
// corners. Lattice points are shared between the six faces, so the mesh is
// closed.
Mesh RoundedBox(double flatHalf, double radius, int arcSteps, int flatSteps)
{
    const std::vector<double> axis = RoundedAxis(flatHalf, radius, arcSteps, flatSteps);
    const int last = int(axis.size()) - 1;
    Mesh mesh;
    std::map<std::array<int, 3>, std::uint32_t> lattice;
    const auto vertex = [&](std::array<int, 3> cell) {
        const auto found = lattice.find(cell);
        if (found != lattice.end())
            return found->second;
        V3 core, out;
        for (int k = 0; k < 3; ++k) {
            const double q = axis[cell[k]];
            core[k] = std::fmax(-flatHalf, std::fmin(flatHalf, q));
            out[k] = q - core[k];
        }
        const V3 n = Normalized(out);
        return lattice[cell] = mesh.Add(core + radius * n, n);
    };
    for (int axisIndex = 0; axisIndex < 3; ++axisIndex)
        for (int side : {0, last}) {
            const int a = (axisIndex + 1) % 3, b = (axisIndex + 2) % 3;
            const auto cell = [&](int i, int j) {
                std::array<int, 3> c{};
                c[axisIndex] = side;
                c[a] = i;
                c[b] = j;
                return vertex(c);
            };
            for (int i = 0; i < last; ++i)
                for (int j = 0; j < last; ++j)
                    mesh.Quad(cell(i, j), cell(i + 1, j), cell(i + 1, j + 1), cell(i, j + 1));
        }
    return mesh;
}

struct SceneMaterial
{
    const char* name;
    V3 ambient, diffuse, specular;
    double ns;
};

// Writes one object; `base` is the count of positions written before it,
// since OBJ indices run over the whole file.
void WriteObject(std::FILE* out, const char* name, const char* material, const Mesh& mesh, std::uint32_t& base)
{
    std::fprintf(out, "o %s\n", name);
    if (material)
        std::fprintf(out, "usemtl %s\ns 1\n", material);
    for (const V3& p : mesh.positions)
        std::fprintf(out, "v %.5f %.5f %.5f\n", p[0], p[1], p[2]);
    for (const V3& n : mesh.normals)
        std::fprintf(out, "vn %.5f %.5f %.5f\n", n[0], n[1], n[2]);
    for (const auto& t : mesh.triangles) {
        const std::uint32_t a = base + t[0] + 1, b = base + t[1] + 1, c = base + t[2] + 1;
        std::fprintf(out, "f %u//%u %u//%u %u//%u\n", a, a, b, b, c, c);
    }
    base += static_cast<std::uint32_t>(mesh.positions.size());
}

void WriteMaterials(std::FILE* out, const std::vector<SceneMaterial>& materials)
{
    std::fprintf(out, "# Materials of the default scene, written by tools/scenegen.\n");
    for (const SceneMaterial& m : materials) {
        std::fprintf(out, "\nnewmtl %s\n", m.name);
        std::fprintf(out, "Ka %.3f %.3f %.3f\n", m.ambient[0], m.ambient[1], m.ambient[2]);
        std::fprintf(out, "Kd %.3f %.3f %.3f\n", m.diffuse[0], m.diffuse[1], m.diffuse[2]);
        std::fprintf(out, "Ks %.3f %.3f %.3f\n", m.specular[0], m.specular[1], m.specular[2]);
        std::fprintf(out, "Ns %.1f\nd 1.0\nillum 2\n", m.ns);
    }
}

struct SceneEntry
{
    const char* name;
    const char* material;
    Mesh mesh;
};

std::vector<SceneEntry> DefaultScene()
{
    const double floorY = -2.0;
    std::vector<SceneEntry> entries;
    entries.push_back({"FloorNS", "floor", Floor(floorY, -12, 12, -14, 6, 48, 40)});
    entries.push_back({"ShadowPlaneNS", nullptr, PlaneMarker(floorY)});

    Mesh sphere = Sphere(1.0, 48, 24);
    sphere.Place(0, 0, {-3.0, floorY + 1.01, 0.6});
    entries.push_back({"Sphere", "red", std::move(sphere)});

    Mesh box = RoundedBox(0.7, 0.25, 4, 6);
    box.Place(30, 0, {2.9, floorY + 0.96, -0.4});
    entries.push_back({"RoundedBox", "blue", std::move(box)});

    Mesh torus = Torus(1.0, 0.3, 64, 24);
    torus.Place(0, 60, {0.0, 0.2, 0.2});
    entries.push_back({"Torus", "gold", std::move(torus)});

    Mesh knot = TrefoilKnot(0.32, 0.17, 160, 12);
    knot.Place(20, 0, {1.5, 0.9, -2.3});
    entries.push_back({"Knot", "green", std::move(knot)});
    return entries;
}

bool WriteScene(const std::string& folder)
{
    const std::vector<SceneMaterial> materials = {
        {"floor", {0.35, 0.35, 0.38}, {0.75, 0.75, 0.78}, {0.1, 0.1, 0.1}, 40},
        {"red", {0.5, 0.08, 0.06}, {0.85, 0.15, 0.12}, {0.9, 0.9, 0.9}, 400},
        {"blue", {0.08, 0.15, 0.5}, {0.2, 0.35, 0.9}, {0.6, 0.6, 0.7}, 250},
        {"gold", {0.45, 0.35, 0.08}, {0.85, 0.65, 0.2}, {1.0, 0.9, 0.6}, 600},
        {"green", {0.08, 0.4, 0.15}, {0.2, 0.75, 0.3}, {0.5, 0.6, 0.5}, 150},
    };
    std::FILE* mtl = std::fopen((folder + "/test.mtl").c_str(), "w");
    std::FILE* obj = std::fopen((folder + "/test.obj").c_str(), "w");
    if (!mtl || !obj)
        return false;
    WriteMaterials(mtl, materials);
    std::fprintf(obj, "# The default scene, written by tools/scenegen.\nmtllib test.mtl\n");
    std::uint32_t base = 0;
    for (const SceneEntry& entry : DefaultScene())
        WriteObject(obj, entry.name, entry.material, entry.mesh, base);
    return std::fclose(mtl) == 0 && std::fclose(obj) == 0;
}
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (!WriteScene(argv[1])) {
        std::fprintf(stderr, "cannot write the scene into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
