#define KORVANA_UNIT "src/Scene"

#include "Scene.h"
#include "Log.h"
#include "ObjPieceQueue.h"
#include "ObjStatements.h"
#include "SceneVertexMap.h"
#include "WavefrontText.h"

#include <algorithm>

namespace KorvanaFramework
{
namespace
{
const char* const NoFaces = "Żadne powierzchnie (trójkąty) nie zostały określone w pliku";
const char* const IndexOutOfRange = "Indeks w definicji powierzchni jest spoza zakresu";

// A vertex whose index tuple named an entry the file had not given when a
// face first used it: filled, or found out of range, once the file is read.
struct LateVertex
{
    std::uint32_t vertex;
    SceneVertexMap::Key key;
    std::uint32_t line;
};

// An object while the file is read. Its vertices are numbered and filled
// as its faces arrive, since the numbering depends only on the corners'
// index tuples and an entry a face names stays the same once given.
struct PendingObject
{
    explicit PendingObject(std::size_t positionsBefore) : positionsBefore(positionsBefore) {}

    std::unique_ptr<SceneObject> object = std::make_unique<SceneObject>();
    // In order of first use, so of the lines that used them.
    std::vector<LateVertex> lateVertices;
    // How many positions the file had given when the object opened.
    std::size_t positionsBefore;
};

// Everything one read collects before the objects are handed to the scene.
struct ObjContent : VertexLists
{
    std::vector<PendingObject> objects;
    // Vertex numbers of the current (last) object by index tuple.
    SceneVertexMap currentVertices;
    std::string materialFile;
};

// Whether a 1-based index names one of the `size` entries of its list.
bool InList(std::int32_t index, std::size_t size)
{
    return index >= 1 && static_cast<std::uint64_t>(index) <= size;
}

// True when every index of a vertex's tuple that its object's layout uses
// names an entry of its list as given so far.
bool VertexInRange(const SceneVertexMap::Key& key, const SceneObject& object, const ObjContent& content)
{
    return InList(key.position, content.positions.size()) &&
           (!object.hasTexCoords || InList(key.texCoord, content.texCoords.size())) &&
           (!object.hasNormals || InList(key.normal, content.normals.size()));
}

// Writes the data a vertex's tuple names into its entries of the arrays.
void FillVertex(std::uint32_t vertex, const SceneVertexMap::Key& key, const ObjContent& content,
                SceneObject& object)
{
    object.positions[vertex] = content.positions[key.position - 1];
    if (object.hasTexCoords)
        object.texCoords[vertex] = content.texCoords[key.texCoord - 1];
    if (object.hasNormals)
        object.normals[vertex] = content.normals[key.normal - 1];
}

// How many vertices and triangles an object is likely to have: exporters
// write an object's positions right before its faces, and a closed mesh has
// about two triangles per vertex.
// `given` is how many positions the file had given before the face.
std::size_t ExpectedVertices(const PendingObject& pending, std::size_t given)
{
    return given - pending.positionsBefore;
}

// Makes room in a full array for at least twice its size, or for `expected`
// entries where that is more, so that a large object's arrays are
// allocated once rather than copied at every doubling.
template <class Array>
void Grow(Array& array, std::size_t expected)
{
    if (array.size() == array.capacity())
        array.reserve(std::max(2 * array.capacity(), expected));
}

// Appends a vertex to the current object, filled at once when the file has
// given what it names, left for the end of the file otherwise.
void AddVertex(const SceneVertexMap::Key& key, std::uint32_t line, std::size_t given, ObjContent& content)
{
    PendingObject& pending = content.objects.back();
    SceneObject& object = *pending.object;
    const auto vertex = static_cast<std::uint32_t>(object.positions.size());
    if (vertex == object.positions.capacity()) {
        const std::size_t expected = ExpectedVertices(pending, given);
        Grow(object.positions, expected);
        if (object.hasTexCoords)
            Grow(object.texCoords, expected);
        if (object.hasNormals)
            Grow(object.normals, expected);
    }
    object.positions.emplace_back();
    if (object.hasTexCoords)
        object.texCoords.emplace_back();
    if (object.hasNormals)
        object.normals.emplace_back();
    if (VertexInRange(key, object, content))
        FillVertex(vertex, key, content, object);
    else
        pending.lateVertices.push_back(LateVertex{vertex, key, line});
}

// Gives a corner its vertex number in the current object, numbering a new
// index tuple after the vertices seen so far.
std::uint32_t NumberCorner(const SceneVertexMap::Key& key, std::uint32_t line, std::size_t given,
                           ObjContent& content)
{
    const SceneObject& object = *content.objects.back().object;
    const auto next = static_cast<std::uint32_t>(object.positions.size());
    const std::uint32_t vertex = content.currentVertices.FindOrAdd(key, next, content.positions.size());
    if (vertex == next)
        AddVertex(key, line, given, content);
    return vertex;
}

// The lines of the pieces applied so far and the positions they gave:
// where a piece's own line and position counts start.
struct PieceStart
{
    std::uint32_t lines;
    std::size_t positions;
};

// A face: all faces of an object share one layout.
const char* ApplyFace(const ParsedFace& face, const PieceStart& start, ObjContent& content)
{
    PendingObject& pending = content.objects.back();
    SceneObject& object = *pending.object;
    if (object.triangles.empty()) {
        object.hasTexCoords = face.hasTexCoords;
        object.hasNormals = face.hasNormals;
    } else if (object.hasTexCoords != face.hasTexCoords || object.hasNormals != face.hasNormals) {
        return MixedCorners;
    }
    const std::uint32_t line = start.lines + face.line;
    const std::size_t given = start.positions + face.positionsBefore;
    Triangle triangle;
    for (std::size_t i = 0; i < 3; ++i)
        triangle[i] = NumberCorner(face.corners[i], line, given, content);
    Grow(object.triangles, 2 * ExpectedVertices(pending, given));
    object.triangles.push_back(triangle);
    return nullptr;
}

// "o": a new object once the current one has faces; before that the name
// only renames the current object, keeping what was set on it.
void ObjectStatement(const std::string& name, std::size_t given, ObjContent& content)
{
    if (!content.objects.back().object->triangles.empty()) {
        content.objects.emplace_back(given);
        content.currentVertices.Clear();
    }
    SceneObject& current = *content.objects.back().object;
    current.name = name;
    current.castsShadow = CastsShadowByName(current.name);
}

// A statement between faces; returns the error that ended the piece.
const char* ApplyStatement(const ParsedStatement& statement, const PieceStart& start, ObjContent& content)
{
    SceneObject& current = *content.objects.back().object;
    switch (statement.kind) {
    case ParsedStatement::Object:
        ObjectStatement(statement.text, start.positions + statement.positionsBefore, content);
        break;
    case ParsedStatement::Material:
        current.materialName = statement.text;
        break;
    case ParsedStatement::Smoothing:
        current.smooth = statement.smooth;
        break;
    case ParsedStatement::MaterialFile:
        content.materialFile = statement.text;
        break;
    case ParsedStatement::Error:
        return statement.error;
    }
    return nullptr;
}

// Adds a piece's vertex data to the file-wide lists, then its faces and
// the statements between them in their order. A face may name an entry the
// piece gives after it: such a vertex is filled at once, as it would be at
// the end of the file. On an error `line` is set to its line.
const char* ApplyPiece(const ParsedPiece& piece, PieceStart& start, ObjContent& content, std::uint32_t& line)
{
    content.Append(piece);
    auto statement = piece.statements.begin();
    for (std::size_t face = 0;; ++face) {
        for (; statement != piece.statements.end() && statement->facesBefore == face; ++statement)
            if (const char* error = ApplyStatement(*statement, start, content)) {
                line = start.lines + statement->line;
                return error;
            }
        if (face == piece.faces.size())
            break;
        if (const char* error = ApplyFace(piece.faces[face], start, content)) {
            line = start.lines + piece.faces[face].line;
            return error;
        }
    }
    start.lines += piece.lines;
    start.positions = content.positions.size();
    return nullptr;
}

// Fills the vertices of an object that named entries given later in the
// file; false, with the line of the first face naming an entry outside its
// list, when there is one.
bool FillLateVertices(PendingObject& pending, const ObjContent& content, std::uint32_t& badLine)
{
    SceneObject& object = *pending.object;
    for (const LateVertex& late : pending.lateVertices) {
        if (!VertexInRange(late.key, object, content)) {
            badLine = late.line;
            return false;
        }
        FillVertex(late.vertex, late.key, content, object);
    }
    return true;
}

// Gives back the room an object's arrays were given beyond their content.
void FitArrays(SceneObject& object)
{
    object.triangles.shrink_to_fit();
    object.positions.shrink_to_fit();
    object.normals.shrink_to_fit();
    object.texCoords.shrink_to_fit();
}

// Reserves the file-wide lists for as many entries as a file of `size`
// bytes likely holds at most, so that a large file's lists are not copied
// at every doubling; room never written costs no memory pages.
void ReserveLists(std::uintmax_t size, ObjContent& content)
{
    constexpr std::uintmax_t BytesPerEntry = 64;
    // Beyond about a gigabyte of text the lists grow as they fill, so that
    // a huge or sparse file cannot ask for more memory than it fills.
    constexpr std::uintmax_t MostEntries = std::uintmax_t{1} << 24;
    const auto entries = static_cast<std::size_t>(std::min(size / BytesPerEntry, MostEntries));
    content.Reserve(entries);
}

// Reads every line; on the first error `error` and `line` describe it. At
// the end `line` holds the final line count.
WavefrontText::WalkResult ReadLines(const std::string& path, ObjContent& content, std::uint32_t& line,
                                   const char*& error)
{
    ObjPieceQueue pieces;
    if (!pieces.Open(path))
        return WavefrontText::WalkResult::CannotOpen;
    ReserveLists(pieces.FileSize(), content);
    PieceStart start{0, 0};
    const auto result = pieces.Read(
        [&](const ParsedPiece& piece) { return (error = ApplyPiece(piece, start, content, line)) == nullptr; });
    if (result == ObjPieceQueue::Result::ReadFailed)
        return WavefrontText::WalkResult::CannotOpen;
    if (result == ObjPieceQueue::Result::Stopped)
        return WavefrontText::WalkResult::Failed;
    line = start.lines;
    return WavefrontText::WalkResult::Finished;
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

// Reads the whole file first; objects are handed to the scene and materials
// read only when every line was accepted, so a failed read leaves the scene
// empty.
bool Scene::Load(const std::string& path)
{
    Clear();
    materials.Reset();

    ObjContent content;
    content.objects.emplace_back(0);
    SceneObject& first = *content.objects.back().object;
    first.name = "unnamed";
    first.materialName.clear();
    first.castsShadow = true;
    std::uint32_t line = 0;
    const char* error = nullptr;
    const auto result = ReadLines(path, content, line, error);
    if (result == WavefrontText::WalkResult::CannotOpen)
        return false;
    if (result == WavefrontText::WalkResult::Failed) {
        FileErrorLog(error, path, line);
        return false;
    }
    if (content.objects.size() == 1 && first.triangles.empty()) {
        FileErrorLog(NoFaces, path, line);
        return false;
    }
    for (PendingObject& pending : content.objects) {
        std::uint32_t badLine = 0;
        if (!FillLateVertices(pending, content, badLine)) {
            FileErrorLog(IndexOutOfRange, path, badLine);
            return false;
        }
    }

    objects.reserve(content.objects.size());
    for (PendingObject& pending : content.objects) {
        FitArrays(*pending.object);
        objects.push_back(std::move(pending.object));
    }

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
