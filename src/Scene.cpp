#define KORVANA_UNIT "src/Scene"

#include "Scene.h"
#include "Log.h"
#include "SceneVertexMap.h"
#include "WavefrontText.h"

namespace KorvanaFramework
{
namespace
{
using WavefrontText::FormatScanner;
using WavefrontText::ScanFloats;
using Tokens = std::vector<std::string_view>;

const char* const BadVertexCount = "Zła liczba współrzędnych wierzchołka";
const char* const BadNormalCount = "Zła liczba współrzędnych normalnej";
const char* const BadTexCoordCount = "Zła liczba współrzędnych tekstury";
const char* const NotTriangle = "Implementacja obsługuje tylko powierzchnie będące trójkątami";
const char* const BadFaceFormat = "Nieprawidłowy format powierzchni";
const char* const MixedCorners = "Każdy wierzchołek powierzchni powinien mieć określone te same parametry";
const char* const BadObjectName = "Brak nazwy obiektu lub nazwa zawiera spacje";
const char* const BadMaterialName = "Brak nazwy materiału lub nazwa zawiera spacje";
const char* const BadSmoothing = "Grupa wygładzania powinna być określona liczbą całkowitą lub jako \"off\"";
const char* const BadMaterialFile =
    "Brak nazwy pliku materiałów, jego nazwa zawiera spacje lub został określony więcej niż jeden plik";
const char* const NoFaces = "Żadne powierzchnie (trójkąty) nie zostały określone w pliku";
const char* const IndexOutOfRange = "Indeks w definicji powierzchni jest spoza zakresu";

// One corner of a face: indices as written, 1-based into the file-wide
// lists; an index of an absent attribute is 0.
struct Corner
{
    std::int32_t position = 0;
    std::int32_t texCoord = 0;
    std::int32_t normal = 0;
    bool hasTexCoord = false;
    bool hasNormal = false;
};

struct Face
{
    std::array<Corner, 3> corners;
    // Kept so that an index found out of range at the end of the file can
    // be reported on the line of its face.
    std::uint32_t line = 0;
};

struct PendingObject
{
    std::vector<Face> faces;
    std::string name;
    std::string materialName;
    bool smooth = false;
    bool hasNormals = false;
    bool hasTexCoords = false;
    bool castsShadow = true;
};

// Everything one read collects before any object is built.
struct ObjContent
{
    std::vector<Vec4> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<PendingObject> objects;
    std::string materialFile;
};

// Corner forms, tried in order: p//n, p/t/n, p/t, p. Anything after the
// last number a form needs is ignored.
bool ParseCorner(std::string_view token, Corner& corner)
{
    FormatScanner scanner(token);
    if (token.find("//") != std::string_view::npos) {
        if (!scanner.Int(corner.position) || !scanner.Literal("//") || !scanner.Int(corner.normal))
            return false;
        corner.hasNormal = true;
        return true;
    }
    if (!scanner.Int(corner.position))
        return false;
    if (!scanner.Literal("/") || !scanner.Int(corner.texCoord))
        return true;
    corner.hasTexCoord = true;
    if (scanner.Literal("/") && scanner.Int(corner.normal))
        corner.hasNormal = true;
    return true;
}

// "f": one triangle whose corners, and all faces of its object, share one
// layout.
const char* FaceStatement(const Tokens& tokens, std::uint32_t line, PendingObject& object)
{
    if (tokens.size() != 4)
        return NotTriangle;
    Face face;
    face.line = line;
    for (std::size_t i = 0; i < 3; ++i)
        if (!ParseCorner(tokens[i + 1], face.corners[i]))
            return BadFaceFormat;
    const bool hasTexCoords = face.corners[0].hasTexCoord;
    const bool hasNormals = face.corners[0].hasNormal;
    for (const Corner& corner : face.corners)
        if (corner.hasTexCoord != hasTexCoords || corner.hasNormal != hasNormals)
            return MixedCorners;
    if (object.faces.empty()) {
        object.hasTexCoords = hasTexCoords;
        object.hasNormals = hasNormals;
    } else if (object.hasTexCoords != hasTexCoords || object.hasNormals != hasNormals) {
        return MixedCorners;
    }
    object.faces.push_back(face);
    return nullptr;
}

// "o": a new object once the current one has faces; before that the name
// only renames the current object, keeping what was set on it.
void ObjectStatement(std::string_view name, std::vector<PendingObject>& objects)
{
    if (!objects.back().faces.empty()) {
        PendingObject next;
        next.materialName = "(null)";
        objects.push_back(std::move(next));
    }
    PendingObject& current = objects.back();
    current.name = std::string(name);
    current.castsShadow = CastsShadowByName(current.name);
}

// Handles the vertex-data statements; false when the keyword is none of them.
bool VertexDataStatement(std::string_view line, std::string_view keyword, ObjContent& content,
                         const char*& error)
{
    if (keyword == "v") {
        Vec4 p{0.0f, 0.0f, 0.0f, 1.0f};
        if (ScanFloats(line, "v", p.data(), 4) < 2)
            error = BadVertexCount;
        else
            content.positions.push_back(p);
    } else if (keyword == "vn") {
        Vec3 n{0.0f, 0.0f, 0.0f};
        if (ScanFloats(line, "vn", n.data(), 3) < 2)
            error = BadNormalCount;
        else
            content.normals.push_back(n);
    } else if (keyword == "vt") {
        Vec2 t{0.0f, 0.0f};
        if (ScanFloats(line, "vt", t.data(), 2) < 2)
            error = BadTexCoordCount;
        else
            content.texCoords.push_back(t);
    } else {
        return false;
    }
    return true;
}

// One statement of an OBJ file; unknown keywords are ignored.
const char* ObjStatement(std::string_view line, const Tokens& tokens, std::uint32_t lineNumber,
                         ObjContent& content)
{
    const std::string_view keyword = tokens[0];
    const char* error = nullptr;
    if (VertexDataStatement(line, keyword, content, error))
        return error;
    PendingObject& current = content.objects.back();
    if (keyword == "f")
        return FaceStatement(tokens, lineNumber, current);
    if (keyword == "o") {
        if (tokens.size() != 2)
            return BadObjectName;
        ObjectStatement(tokens[1], content.objects);
    } else if (keyword == "usemtl") {
        if (tokens.size() != 2)
            return BadMaterialName;
        current.materialName = std::string(tokens[1]);
    } else if (keyword == "s") {
        if (tokens.size() != 2)
            return BadSmoothing;
        current.smooth = tokens[1] != "off";
    } else if (keyword == "mtllib") {
        if (tokens.size() != 2)
            return BadMaterialFile;
        content.materialFile = std::string(tokens[1]);
    }
    return nullptr;
}

// True when every index a face's layout uses names an entry of its list.
bool CornerInRange(const Corner& corner, const PendingObject& object, const ObjContent& content)
{
    const auto inRange = [](std::int32_t index, std::size_t size) {
        return index >= 1 && static_cast<std::uint64_t>(index) <= size;
    };
    return inRange(corner.position, content.positions.size()) &&
           (!object.hasTexCoords || inRange(corner.texCoord, content.texCoords.size())) &&
           (!object.hasNormals || inRange(corner.normal, content.normals.size()));
}

// Builds one object's vertex arrays: corners with the same index tuple share
// a vertex, numbered in order of first use. Fails with the line of the
// first face that names an entry outside its list.
bool BuildObject(const PendingObject& pending, const ObjContent& content, SceneObject& object,
                 std::uint32_t& badLine)
{
    object.name = pending.name;
    object.materialName = pending.materialName;
    object.smooth = pending.smooth;
    object.hasNormals = pending.hasNormals;
    object.hasTexCoords = pending.hasTexCoords;
    object.castsShadow = pending.castsShadow;
    object.triangles.reserve(pending.faces.size());
    SceneVertexMap vertexMap(pending.faces.size());
    for (const Face& face : pending.faces) {
        Triangle triangle;
        for (std::size_t i = 0; i < 3; ++i) {
            const Corner& c = face.corners[i];
            if (!CornerInRange(c, pending, content)) {
                badLine = face.line;
                return false;
            }
            const std::int32_t t = pending.hasTexCoords ? c.texCoord : 0;
            const std::int32_t n = pending.hasNormals ? c.normal : 0;
            const auto nextVertex = static_cast<std::uint32_t>(object.positions.size());
            triangle[i] = vertexMap.FindOrAdd({c.position, t, n}, nextVertex);
            if (triangle[i] != nextVertex)
                continue;
            object.positions.push_back(content.positions[c.position - 1]);
            if (pending.hasTexCoords)
                object.texCoords.push_back(content.texCoords[t - 1]);
            if (pending.hasNormals)
                object.normals.push_back(content.normals[n - 1]);
        }
        object.triangles.push_back(triangle);
    }
    return true;
}

// The material file lies in the folder of the scene file.
std::string MaterialPath(const std::string& scenePath, const std::string& materialFile)
{
    const std::size_t cut = scenePath.find_last_of("/\\");
    if (cut == std::string::npos)
        return materialFile;
    return scenePath.substr(0, cut + 1) + materialFile;
}
}

bool CastsShadowByName(const std::string& name)
{
    return !(name.size() >= 2 && name.compare(name.size() - 2, 2, "NS") == 0);
}

// Reads the whole file first; objects are built and materials read only
// when every line was accepted, so a failed read leaves the scene empty.
bool Scene::Load(const std::string& path)
{
    Clear();
    materials.Reset();

    ObjContent content;
    content.objects.emplace_back();
    content.objects.back().name = "unnamed";
    std::uint32_t line = 0;
    const char* error = nullptr;
    const auto result = WavefrontText::WalkStatements(
        path, line, error, [&](std::string_view text, const Tokens& tokens) {
            return ObjStatement(text, tokens, line, content);
        });
    if (result == WavefrontText::WalkResult::CannotOpen)
        return false;
    if (result == WavefrontText::WalkResult::Failed) {
        FileErrorLog(error, path, line);
        return false;
    }
    if (content.objects.size() == 1 && content.objects.front().faces.empty()) {
        FileErrorLog(NoFaces, path, line);
        return false;
    }

    std::vector<std::unique_ptr<SceneObject>> built;
    built.reserve(content.objects.size());
    for (const PendingObject& pending : content.objects) {
        built.push_back(std::make_unique<SceneObject>());
        std::uint32_t badLine = 0;
        if (!BuildObject(pending, content, *built.back(), badLine)) {
            FileErrorLog(IndexOutOfRange, path, badLine);
            return false;
        }
    }
    objects = std::move(built);

    if (!content.materialFile.empty())
        materials.Load(MaterialPath(path, content.materialFile));
    ResolveMaterials();
    if (!RebuildMap()) {
        Clear();
        materials.Reset();
        return false;
    }
    return true;
}

void Scene::Clear()
{
    objects.clear();
    nameMap.clear();
}

// Object names must be unique, as the renderer finds objects by name.
bool Scene::RebuildMap()
{
    std::string duplicate;
    if (WavefrontText::FillNameMap(objects, nameMap, duplicate))
        return true;
    LOG_ERROR("Zduplikowana nazwa obiektu: " << duplicate);
    return false;
}

// Binds each object to its material by name; unknown names get the default.
void Scene::ResolveMaterials()
{
    for (const auto& object : objects) {
        std::uint32_t index = 0;
        object->materialIndex = materials.Find(object->materialName, index) ? index : 0;
    }
}

std::uint32_t Scene::FindObject(const std::string& name) const
{
    const auto found = nameMap.find(name);
    return found == nameMap.end() ? NoSceneObject : found->second;
}
}
