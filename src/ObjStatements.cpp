#define KORVANA_UNIT "src/ObjStatements"

#include "ObjStatements.h"

namespace KorvanaFramework
{
const char* const MixedCorners = "Każdy wierzchołek powierzchni powinien mieć określone te same parametry";

namespace
{
using WavefrontText::FormatScanner;
using WavefrontText::ScanFloats;

const char* const BadVertexCount = "Zła liczba współrzędnych wierzchołka";
const char* const BadNormalCount = "Zła liczba współrzędnych normalnej";
const char* const BadTexCoordCount = "Zła liczba współrzędnych tekstury";
const char* const NotTriangle = "Implementacja obsługuje tylko powierzchnie będące trójkątami";
const char* const BadFaceFormat = "Nieprawidłowy format powierzchni";
const char* const BadObjectName = "Brak nazwy obiektu lub nazwa zawiera spacje";
const char* const BadMaterialName = "Brak nazwy materiału lub nazwa zawiera spacje";
const char* const BadSmoothing = "Grupa wygładzania powinna być określona liczbą całkowitą lub jako \"off\"";
const char* const BadMaterialFile =
    "Brak nazwy pliku materiałów, jego nazwa zawiera spacje lub został określony więcej niż jeden plik";

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

// The piece's reading so far and the line being read.
struct PieceParse
{
    ParsedPiece& parsed;
    std::uint32_t line;

    // A statement at the current line, after the faces read so far.
    ParsedStatement& Add(ParsedStatement::Kind kind)
    {
        ParsedStatement statement{kind, {}, false, nullptr, line, parsed.faces.size(),
                                  static_cast<std::uint32_t>(parsed.positions.size())};
        return parsed.statements.emplace_back(std::move(statement));
    }
};

// "f": one triangle whose corners share one layout. `rest` is the line
// after the keyword.
const char* FaceStatement(std::string_view rest, PieceParse& parse)
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
    ParsedFace& face = parse.parsed.faces.emplace_back();
    for (std::size_t i = 0; i < 3; ++i)
        face.corners[i] = SceneVertexMap::Key{corners[i].position, corners[i].texCoord, corners[i].normal};
    face.line = parse.line;
    face.positionsBefore = static_cast<std::uint32_t>(parse.parsed.positions.size());
    face.hasTexCoords = hasTexCoords;
    face.hasNormals = hasNormals;
    return nullptr;
}

// Handles the vertex-data statements; false when the keyword is none of them.
bool VertexDataStatement(std::string_view line, std::string_view keyword, ParsedPiece& parsed,
                         const char*& error)
{
    if (keyword == "v") {
        Vec4 p{0.0f, 0.0f, 0.0f, 1.0f};
        if (ScanFloats(line, "v", p.data(), 4) < 2)
            error = BadVertexCount;
        else
            parsed.positions.push_back(p);
    } else if (keyword == "vn") {
        Vec3 n{0.0f, 0.0f, 0.0f};
        if (ScanFloats(line, "vn", n.data(), 3) < 2)
            error = BadNormalCount;
        else
            parsed.normals.push_back(n);
    } else if (keyword == "vt") {
        Vec2 t{0.0f, 0.0f};
        if (ScanFloats(line, "vt", t.data(), 2) < 2)
            error = BadTexCoordCount;
        else
            parsed.texCoords.push_back(t);
    } else {
        return false;
    }
    return true;
}

// The statements of one name token: "o", "usemtl", "s" and "mtllib";
// unknown keywords are ignored.
const char* NameStatement(std::string_view line, std::string_view keyword, PieceParse& parse)
{
    std::vector<std::string_view>& tokens = parse.parsed.tokens;
    WavefrontFile::SplitTokens(line, tokens);
    if (keyword == "o") {
        if (tokens.size() != 2)
            return BadObjectName;
        parse.Add(ParsedStatement::Object).text = std::string(tokens[1]);
    } else if (keyword == "usemtl") {
        if (tokens.size() != 2)
            return BadMaterialName;
        parse.Add(ParsedStatement::Material).text = std::string(tokens[1]);
    } else if (keyword == "s") {
        if (tokens.size() != 2)
            return BadSmoothing;
        parse.Add(ParsedStatement::Smoothing).smooth = tokens[1] != "off";
    } else if (keyword == "mtllib") {
        if (tokens.size() != 2)
            return BadMaterialFile;
        parse.Add(ParsedStatement::MaterialFile).text = std::string(tokens[1]);
    }
    return nullptr;
}

// One line of an OBJ file: comments and lines without tokens are skipped.
// Only the keyword is cut out of the line; vertex data and faces are read
// straight from its bytes.
const char* ObjLine(std::string_view line, PieceParse& parse)
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
        return FaceStatement(line.substr(end), parse);
    const char* error = nullptr;
    if (VertexDataStatement(line, keyword, parse.parsed, error))
        return error;
    return NameStatement(line, keyword, parse);
}
}

void ParseObjPiece(const WavefrontText::TextPiece& piece, ParsedPiece& parsed)
{
    parsed.Clear();
    PieceParse parse{parsed, 0};
    std::size_t offset = 0;
    std::string_view line;
    while (WavefrontText::NextLine(piece, offset, line)) {
        ++parse.line;
        if (const char* error = ObjLine(line, parse)) {
            parse.Add(ParsedStatement::Error).error = error;
            break;
        }
    }
    parsed.lines = parse.line;
}
}
