#define KORVANA_UNIT "src/Scene"

#include "Scene.h"
#include "Log.h"
#include "SceneVertexMap.h"
#include "WavefrontText.h"

#include <algorithm>

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
struct ObjContent
{
    std::vector<Vec4> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<PendingObject> objects;
    // Vertex numbers of the current (last) object by index tuple.
    SceneVertexMap currentVertices;
    std::string materialFile;
    Tokens tokens;
};

// Tokens are a few bytes long: a plain scan beats a library search.
bool HasDoubleSlash(std::string_view token)
{
    for (std::size_t i = 1; i < token.size(); ++i)
        if (token[i] == '/' && token[i - 1] == '/')
            return true;
    return false;
}

// One to eight decimal digits, so that the value needs no saturation;
// returns where they end, or null.
const char* ShortIndex(const char* at, const char* last, std::int32_t& value)
{
    const std::size_t count = WavefrontText::DigitRun(at, last);
    if (count == 0 || (count == 8 && at + 8 != last && WavefrontText::IsDigit(at[8])))
        return nullptr;
    value = static_cast<std::int32_t>(WavefrontText::DigitsValue(at, count));
    return at + count;
}

// Whether a corner token ends here.
bool TokenEnds(const char* at, const char* last)
{
    return at == last || *at == ' ';
}

// A corner as exporters write it, p, p/t, p/t/n or p//n in plain digits and
// ending at a blank or the line end; returns where it ends, or null for
// every other token.
const char* PlainCorner(const char* at, const char* last, Corner& corner)
{
    if (!(at = ShortIndex(at, last, corner.position)) || TokenEnds(at, last))
        return at;
    if (*at++ != '/' || at == last)
        return nullptr;
    if (*at == '/') {
        corner.hasNormal = true;
        at = ShortIndex(at + 1, last, corner.normal);
        return at && TokenEnds(at, last) ? at : nullptr;
    }
    if (!(at = ShortIndex(at, last, corner.texCoord)))
        return nullptr;
    corner.hasTexCoord = true;
    if (TokenEnds(at, last))
        return at;
    if (*at++ != '/')
        return nullptr;
    corner.hasNormal = true;
    at = ShortIndex(at, last, corner.normal);
    return at && TokenEnds(at, last) ? at : nullptr;
}

// Reads the part of a face line after its keyword in one pass when it is
// exactly three plain corners between blanks; false for anything else,
// which the token-wise reading then handles with its messages.
bool PlainFace(std::string_view rest, std::array<Corner, 3>& corners)
{
    const char* at = rest.data();
    const char* const last = at + rest.size();
    for (Corner& corner : corners) {
        while (at != last && *at == ' ')
            ++at;
        if (at == last || !(at = PlainCorner(at, last, corner)))
            return false;
    }
    while (at != last && *at == ' ')
        ++at;
    return at == last;
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
std::size_t ExpectedVertices(const PendingObject& pending, const ObjContent& content)
{
    return content.positions.size() - pending.positionsBefore;
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
void AddVertex(const SceneVertexMap::Key& key, std::uint32_t line, ObjContent& content)
{
    PendingObject& pending = content.objects.back();
    SceneObject& object = *pending.object;
    const auto vertex = static_cast<std::uint32_t>(object.positions.size());
    if (vertex == object.positions.capacity()) {
        const std::size_t expected = ExpectedVertices(pending, content);
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
std::uint32_t NumberCorner(const Corner& corner, std::uint32_t line, ObjContent& content)
{
    const SceneObject& object = *content.objects.back().object;
    const SceneVertexMap::Key key{corner.position, corner.texCoord, corner.normal};
    const auto next = static_cast<std::uint32_t>(object.positions.size());
    const std::uint32_t vertex = content.currentVertices.FindOrAdd(key, next, content.positions.size());
    if (vertex == next)
        AddVertex(key, line, content);
    return vertex;
}

// Splits the part of a face line after its keyword into corner tokens and
// returns how many there are, counting no further than one too many.
std::size_t CornerTokens(std::string_view rest, std::array<std::string_view, 3>& corners)
{
    const char* at = rest.data();
    const char* const last = at + rest.size();
    std::size_t count = 0;
    for (;;) {
        while (at != last && *at == ' ')
            ++at;
        if (at == last || count == corners.size())
            return at == last ? count : count + 1;
        const char* end = at;
        while (end != last && *end != ' ')
            ++end;
        corners[count++] = std::string_view(at, static_cast<std::size_t>(end - at));
        at = end;
    }
}

// "f": one triangle whose corners, and all faces of its object, share one
// layout. `rest` is the line after the keyword.
const char* FaceStatement(std::string_view rest, std::uint32_t line, ObjContent& content)
{
    std::array<Corner, 3> corners;
    if (!PlainFace(rest, corners)) {
        std::array<std::string_view, 3> tokens;
        if (CornerTokens(rest, tokens) != 3)
            return NotTriangle;
        corners = {};
        for (std::size_t i = 0; i < 3; ++i)
            if (!ParseCorner(tokens[i], corners[i]))
                return BadFaceFormat;
    }
    const bool hasTexCoords = corners[0].hasTexCoord;
    const bool hasNormals = corners[0].hasNormal;
    for (const Corner& corner : corners)
        if (corner.hasTexCoord != hasTexCoords || corner.hasNormal != hasNormals)
            return MixedCorners;
    PendingObject& pending = content.objects.back();
    SceneObject& object = *pending.object;
    if (object.triangles.empty()) {
        object.hasTexCoords = hasTexCoords;
        object.hasNormals = hasNormals;
    } else if (object.hasTexCoords != hasTexCoords || object.hasNormals != hasNormals) {
        return MixedCorners;
    }
    Triangle triangle;
    for (std::size_t i = 0; i < 3; ++i)
        triangle[i] = NumberCorner(corners[i], line, content);
    Grow(object.triangles, 2 * ExpectedVertices(pending, content));
    object.triangles.push_back(triangle);
    return nullptr;
}

// "o": a new object once the current one has faces; before that the name
// only renames the current object, keeping what was set on it.
void ObjectStatement(std::string_view name, ObjContent& content)
{
    if (!content.objects.back().object->triangles.empty()) {
        content.objects.emplace_back(content.positions.size());
        content.currentVertices.Clear();
    }
    SceneObject& current = *content.objects.back().object;
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

// The statements of one name token: "o", "usemtl", "s" and "mtllib";
// unknown keywords are ignored.
const char* NameStatement(std::string_view line, std::string_view keyword, ObjContent& content)
{
    WavefrontFile::SplitTokens(line, content.tokens);
    const Tokens& tokens = content.tokens;
    SceneObject& current = *content.objects.back().object;
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

// One line of an OBJ file: comments and lines without tokens are skipped.
// Only the keyword is cut out of the line; vertex data and faces are read
// straight from its bytes.
const char* ObjLine(std::string_view line, std::uint32_t lineNumber, ObjContent& content)
{
    if (!line.empty() && line.front() == '#')
        return nullptr;
    std::size_t start = 0;
    while (start != line.size() && line[start] == ' ')
        ++start;
    if (start == line.size())
        return nullptr;
    std::size_t end = start + 1;
    while (end != line.size() && line[end] != ' ')
        ++end;
    const std::string_view keyword = line.substr(start, end - start);
    if (keyword == "f")
        return FaceStatement(line.substr(end), lineNumber, content);
    const char* error = nullptr;
    if (VertexDataStatement(line, keyword, content, error))
        return error;
    return NameStatement(line, keyword, content);
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
    content.positions.reserve(entries);
    content.normals.reserve(entries);
    content.texCoords.reserve(entries);
}

// Reads every line; on the first error `error` and `line` describe it. At
// the end `line` holds the final line count.
WavefrontText::WalkResult ReadLines(const std::string& path, ObjContent& content, std::uint32_t& line,
                                   const char*& error)
{
    WavefrontText::LineReader reader;
    if (!reader.Open(path))
        return WavefrontText::WalkResult::CannotOpen;
    ReserveLists(reader.FileSize(), content);
    std::string_view text;
    while (reader.Next(text)) {
        line = reader.LineNumber();
        if ((error = ObjLine(text, line, content)))
            return WavefrontText::WalkResult::Failed;
    }
    if (reader.Failed())
        return WavefrontText::WalkResult::CannotOpen;
    line = reader.LineNumber();
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
