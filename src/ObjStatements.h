// The OBJ reader's first step: the statements of one piece of a file read
// into plain records, without the state of the objects they build, so that
// pieces can be read on two threads at once and applied in file order.
// Internal to the scene units.
#pragma once

#include "Scene.h"
#include "SceneVertexMap.h"
#include "WavefrontText.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace KorvanaFramework
{
// Refuses a face whose corners name different attributes, on its own line
// or against the earlier faces of its object.
extern const char* const MixedCorners;

// A triangle's line: its corners' index tuples as written (absent
// attributes 0) and the attributes every corner names.
struct ParsedFace
{
    std::array<SceneVertexMap::Key, 3> corners;
    // Counted from the piece's first line, which is line 1.
    std::uint32_t line;
    // How many positions the piece gave before this line.
    std::uint32_t positionsBefore;
    bool hasTexCoords;
    bool hasNormals;
};

// A statement between faces: the rare ones that change the object being
// read, and the error that ended the piece.
struct ParsedStatement
{
    enum Kind
    {
        Object,        // "o": `text` is the name
        Material,      // "usemtl": `text` is the name
        Smoothing,     // "s": `smooth`
        MaterialFile,  // "mtllib": `text` is the file name
        Error,         // the piece's first refused line: `error`
    };

    Kind kind;
    std::string text;
    bool smooth = false;
    const char* error = nullptr;
    std::uint32_t line;
    // How many faces and positions of the piece came before it.
    std::size_t facesBefore;
    std::uint32_t positionsBefore;
};

// The vertex data of a file, or of a piece of it, by list.
struct VertexLists
{
    std::vector<Vec4> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;

    void Reserve(std::size_t entries)
    {
        positions.reserve(entries);
        normals.reserve(entries);
        texCoords.reserve(entries);
    }

    void Clear()
    {
        positions.clear();
        normals.clear();
        texCoords.clear();
    }

    void Append(const VertexLists& more)
    {
        positions.insert(positions.end(), more.positions.begin(), more.positions.end());
        normals.insert(normals.end(), more.normals.begin(), more.normals.end());
        texCoords.insert(texCoords.end(), more.texCoords.begin(), more.texCoords.end());
    }
};

// Everything a piece's lines gave, in their order: vertex data by list,
// faces, and the statements that fall between them. Reading stops at the
// first refused line, whose error is then the last statement.
struct ParsedPiece : VertexLists
{
    std::vector<ParsedFace> faces;
    std::vector<ParsedStatement> statements;
    // The piece's line count.
    std::uint32_t lines = 0;
    // Scratch space for name statements, kept to spare allocations.
    std::vector<std::string_view> tokens;

    // Empties every list, keeping its room.
    void Clear()
    {
        VertexLists::Clear();
        faces.clear();
        statements.clear();
    }
};

// Reads every line of `piece` into `parsed`, which is emptied first.
void ParseObjPiece(const WavefrontText::TextPiece& piece, ParsedPiece& parsed);
}
