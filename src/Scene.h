// The loaded scene: named triangle meshes laid out for OpenGL client-side
// vertex arrays, the materials they are drawn with, and the readers of the
// Wavefront OBJ and MTL text files that fill them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace KorvanaFramework
{
using Vec2 = std::array<float, 2>;
using Vec3 = std::array<float, 3>;
using Vec4 = std::array<float, 4>;
using Triangle = std::array<std::uint32_t, 3>;

// Reported by Scene::FindObject when no object has the name asked for.
constexpr std::uint32_t NoSceneObject = 65535;

// What the OBJ and MTL readers share: the blank-only tokenising of a line
// and the one format of a reader error.
class WavefrontFile
{
public:
    // Logs "Błąd odczytu pliku: <path>\n --> (Linia: <line>) <message>" at
    // error level.
    void FileErrorLog(const std::string& message, const std::string& path, std::uint32_t line) const;

    // Splits a line at blank characters (code 32) only; tabs and every other
    // byte belong to tokens. The views point into `line`.
    static void SplitTokens(std::string_view line, std::vector<std::string_view>& tokens);

protected:
    WavefrontFile() = default;
};

struct Material
{
    std::string name;
    Vec4 ambient{1.0f, 1.0f, 1.0f, 1.0f};
    Vec4 diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    Vec4 specular{0.0f, 0.0f, 0.0f, 1.0f};
    // OpenGL specular exponent, 0 to 128.
    float shininess = 0.0f;

    // Makes this the front-face material, emission off.
    void Apply() const;
};

// The materials of a scene. Index 0 always holds the default material
// "(null)", so every object can be drawn whatever the material file held.
class MaterialLibrary : public WavefrontFile
{
public:
    MaterialLibrary();

    bool Load(const std::string& path);
    void Reset();
    void Clear();
    bool RebuildMap();

    std::uint32_t MaterialCount() const { return static_cast<std::uint32_t>(materials.size()); }
    const Material& MaterialAt(std::uint32_t index) const { return *materials[index]; }
    // The index of a material by exact name, or false when none has it.
    bool Find(const std::string& name, std::uint32_t& index) const;

private:
    bool ReadStatements(const std::string& path);

    std::vector<std::unique_ptr<Material>> materials;
    std::map<std::string, std::uint32_t> nameMap;
};

// One named triangle mesh. Entry k of positions, normals (when present) and
// texCoords (when present) together describe vertex k.
struct SceneObject
{
    std::string name;
    std::string materialName = "(null)";
    std::uint32_t materialIndex = 0;
    bool smooth = false;
    bool hasTexCoords = false;
    bool hasNormals = false;
    bool castsShadow = false;
    std::vector<Triangle> triangles;
    std::vector<Vec4> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
};

// Objects whose names end in "NS" receive shadow but cast none.
bool CastsShadowByName(const std::string& name);

class Scene : public WavefrontFile
{
public:
    bool Load(const std::string& path);
    void Clear();
    bool RebuildMap();
    void ResolveMaterials();
    std::uint32_t FindObject(const std::string& name) const;

    std::uint32_t ObjectCount() const { return static_cast<std::uint32_t>(objects.size()); }
    const SceneObject& ObjectAt(std::uint32_t index) const { return *objects[index]; }
    const MaterialLibrary& Materials() const { return materials; }

private:
    std::vector<std::unique_ptr<SceneObject>> objects;
    std::map<std::string, std::uint32_t> nameMap;
    MaterialLibrary materials;
};
}
