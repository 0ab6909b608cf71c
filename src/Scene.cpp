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

// An object while the file is read. Its vertices are numbered as soon as
// its faces arrive, since the numbering depends only on the corners' index
// tuples; the data behind the indices is fetched once the file-wide lists
// are complete.
struct PendingObject
{
    std::string name;
    std::string materialName;
    bool smooth = false;
    bool hasNormals = false;
    bool hasTexCoords = false;
    bool castsShadow = true;
    std::vector<Triangle> triangles;
    // Index tuple of each vertex, and the line of the face that used it
    // first, for reporting an index found out of range at the end.
    std::vector<SceneVertexMap::Key> vertexKeys;
    std::vector<std::uint32_t> firstUseLines;
};

// Everything one read collects before any object is built.
struct ObjContent
{
    std::vector<Vec4> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<PendingObject> objects;
    // Vertex numbers of the current (last) object by index tuple.
    SceneVertexMap currentVertices;
    std::string materialFile;
};

// Tokens are a few bytes long: a plain scan beats a library search.
bool HasDoubleSlash(std::string_view token)
{
    for (std::size_t i = 1; i < token.size(); ++i)
        if (token[i] == '/' && token[i - 1] == '/')
            return true;
    return false;
}

// Corner forms, tried in order: p//n, p/t/n, p/t, p. Anything after the
// last number a form needs is ignored.
bool ParseCorner(std::string_view token, Corner& corner)
{
    FormatScanner scanner(token);
    if (HasDoubleSlash(token)) {
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

// Gives a corner its vertex number in the current object, numbering a new
// index tuple after the vertices seen so far.
std::uint32_t NumberCorner(const Corner& corner, std::uint32_t line, ObjContent& content)
{
    PendingObject& object = content.objects.back();
    const SceneVertexMap::Key key{corner.position, corner.texCoord, corner.normal};
    const auto next = static_cast<std::uint32_t>(object.vertexKeys.size());
    const std::uint32_t vertex = content.currentVertices.FindOrAdd(key, next, content.positions.size());
    if (vertex == next) {
        object.vertexKeys.push_back(key);
        object.firstUseLines.push_back(line);
    }
    return vertex;
}

// "f": one triangle whose corners, and all faces of its object, share one
// layout.
const char* FaceStatement(const Tokens& tokens, std::uint32_t line, ObjContent& content)
{
    if (tokens.size() != 4)
        return NotTriangle;
    std::array<Corner, 3> corners;
    for (std::size_t i = 0; i < 3; ++i)
        if (!ParseCorner(tokens[i + 1], corners[i]))
            return BadFaceFormat;
    const bool hasTexCoords = corners[0].hasTexCoord;
    const bool hasNormals = corners[0].hasNormal;
    for (const Corner& corner : corners)
        if (corner.hasTexCoord != hasTexCoords || corner.hasNormal != hasNormals)
            return MixedCorners;
    PendingObject& object = content.objects.back();
    if (object.triangles.empty()) {
        object.hasTexCoords = hasTexCoords;
        object.hasNormals = hasNormals;
    } else if (object.hasTexCoords != hasTexCoords || object.hasNormals != hasNormals) {
        return MixedCorners;
    }
    Triangle triangle;
    for (std::size_t i = 0; i < 3; ++i)
        triangle[i] = NumberCorner(corners[i], line, content);
    object.triangles.push_back(triangle);
    return nullptr;
}

// "o": a new object once the current one has faces; before that the name
// only renames the current object, keeping what was set on it.
void ObjectStatement(std::string_view name, ObjContent& content)
{
    if (!content.objects.back().triangles.empty()) {
        PendingObject next;
        next.materialName = "(null)";
        content.objects.push_back(std::move(next));
        content.currentVertices.Clear();
    }
    PendingObject& current = content.objects.back();
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
        return FaceStatement(tokens, lineNumber, content);
    if (keyword == "o") {
        if (tokens.size() != 2)
            return BadObjectName;
        ObjectStatement(tokens[1], content);
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

// True when every index of a vertex's tuple that its object's layout uses
// names an entry of its list.
bool VertexInRange(const SceneVertexMap::Key& key, const PendingObject& object, const ObjContent& content)
{
    const auto inRange = [](std::int32_t index, std::size_t size) {
        return index >= 1 && static_cast<std::uint64_t>(index) <= size;
    };
    return inRange(key.position, content.positions.size()) &&
           (!object.hasTexCoords || inRange(key.texCoord, content.texCoords.size())) &&
           (!object.hasNormals || inRange(key.normal, content.normals.size()));
}

// The line of the object's first face that names an entry outside its
// list, or 0 when every index is in range.
std::uint32_t FirstBadFaceLine(const PendingObject& pending, const ObjContent& content)
{
    std::uint32_t line = 0;
    for (std::size_t v = 0; v < pending.vertexKeys.size(); ++v) {
        const std::uint32_t used = pending.firstUseLines[v];
        if (!VertexInRange(pending.vertexKeys[v], pending, content) && (line == 0 || used < line))
            line = used;
    }
    return line;
}

// Fills an object's vertex arrays from the file-wide lists, vertex by
// vertex in the numbering its faces gave them.
void BuildObject(PendingObject& pending, const ObjContent& content, SceneObject& object)
{
    object.name = pending.name;
    object.materialName = pending.materialName;
    object.smooth = pending.smooth;
    object.hasNormals = pending.hasNormals;
    object.hasTexCoords = pending.hasTexCoords;
    object.castsShadow = pending.castsShadow;
    object.triangles = std::move(pending.triangles);
    const std::size_t count = pending.vertexKeys.size();
    object.positions.reserve(count);
    object.texCoords.reserve(pending.hasTexCoords ? count : 0);
    object.normals.reserve(pending.hasNormals ? count : 0);
    for (const SceneVertexMap::Key& key : pending.vertexKeys) {
        object.positions.push_back(content.positions[key.position - 1]);
        if (pending.hasTexCoords)
            object.texCoords.push_back(content.texCoords[key.texCoord - 1]);
        if (pending.hasNormals)
            object.normals.push_back(content.normals[key.normal - 1]);
    }
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
    if (content.objects.size() == 1 && content.objects.front().triangles.empty()) {
        FileErrorLog(NoFaces, path, line);
        return false;
    }
    for (const PendingObject& pending : content.objects) {
        if (const std::uint32_t badLine = FirstBadFaceLine(pending, content)) {
            FileErrorLog(IndexOutOfRange, path, badLine);
            return false;
        }
    }

    std::vector<std::unique_ptr<SceneObject>> built;
    built.reserve(content.objects.size());
    for (PendingObject& pending : content.objects) {
        built.push_back(std::make_unique<SceneObject>());
        BuildObject(pending, content, *built.back());
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
