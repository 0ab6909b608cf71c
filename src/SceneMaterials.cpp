#define KORVANA_UNIT "src/SceneMaterials"

#include "Scene.h"
#include "Log.h"
#include "WavefrontText.h"

#include <algorithm>

namespace KorvanaFramework
{
namespace
{
using WavefrontText::ScanFloats;
using Tokens = std::vector<std::string_view>;

const char* const NoCurrentMaterial = "Brak poprzedzającej linii \"newmtl\" rozpoczynającej definicję materiału";
const char* const BadColour = "Kolor powinien mieć 1 lub 3 komponenty";
const char* const BadShininess = "Wykładnik odbicia powinien być określony przez jedną wartość zmiennoprzecinkową";
const char* const BadDissolve = "Przezroczystość powinna być określona przez jedną wartość zmiennoprzecinkową";
const char* const BadMaterialName = "Brak nazwy materiału lub nazwa zawiera spacje";
const char* const BadIllum = "Brak parametru określającego model oświetlenia";

// "Ka", "Kd", "Ks": one number grey, or three for R, G, B; alpha untouched.
const char* ColourStatement(std::string_view line, std::string_view keyword, Vec4& colour)
{
    float rgb[3];
    const int count = ScanFloats(line, keyword, rgb, 3);
    if (count == 1)
        std::fill(colour.begin(), colour.begin() + 3, rgb[0]);
    else if (count == 3)
        std::copy(rgb, rgb + 3, colour.begin());
    else
        return BadColour;
    return nullptr;
}

// "Ns": the file's exponent range 0..1000 onto OpenGL's 0..128.
const char* ShininessStatement(std::string_view line, Material& material)
{
    float ns;
    if (ScanFloats(line, "Ns", &ns, 1) != 1)
        return BadShininess;
    const float shininess = ns / 1000.0f * 128.0f;
    material.shininess = shininess < 0.0f ? 0.0f : (shininess > 128.0f ? 128.0f : shininess);
    return nullptr;
}

// "d": the transparency becomes the alpha of all three colours.
const char* DissolveStatement(std::string_view line, Material& material)
{
    float d;
    if (ScanFloats(line, "d", &d, 1) != 1)
        return BadDissolve;
    material.ambient[3] = material.diffuse[3] = material.specular[3] = d;
    return nullptr;
}

// The statements that change the current material; false when the keyword
// is none of them.
bool MaterialPropertyStatement(std::string_view line, std::string_view keyword, Material* current,
                               const char*& error)
{
    if (keyword != "Ka" && keyword != "Kd" && keyword != "Ks" && keyword != "Ns" && keyword != "d")
        return false;
    if (!current)
        error = NoCurrentMaterial;
    else if (keyword == "Ka")
        error = ColourStatement(line, keyword, current->ambient);
    else if (keyword == "Kd")
        error = ColourStatement(line, keyword, current->diffuse);
    else if (keyword == "Ks")
        error = ColourStatement(line, keyword, current->specular);
    else if (keyword == "Ns")
        error = ShininessStatement(line, *current);
    else
        error = DissolveStatement(line, *current);
    return true;
}

// "illum" is checked for its number but not kept: drawing uses one
// lighting model for every material.
const char* IllumStatement(std::string_view line)
{
    WavefrontText::FormatScanner scanner(line);
    std::int32_t model;
    if (!scanner.Literal("illum") || !scanner.Int(model))
        return BadIllum;
    return nullptr;
}
}

MaterialLibrary::MaterialLibrary()
{
    Reset();
}

// Reads a material file. Every outcome leaves a usable library; false means
// the file could not be read or held an error, and only the default is left.
bool MaterialLibrary::Load(const std::string& path)
{
    Reset();
    if (!ReadStatements(path)) {
        Reset();
        return false;
    }
    if (!RebuildMap())
        Reset();
    return true;
}

// Appends the file's materials in order; false on the first error (logged)
// or when the file cannot be opened (not logged).
bool MaterialLibrary::ReadStatements(const std::string& path)
{
    Material* current = nullptr;
    std::uint32_t line = 0;
    const char* error = nullptr;
    const auto result = WavefrontText::WalkStatements(
        path, line, error, [&](std::string_view text, const Tokens& tokens) -> const char* {
            const std::string_view keyword = tokens[0];
            const char* failure = nullptr;
            if (MaterialPropertyStatement(text, keyword, current, failure))
                return failure;
            if (keyword == "newmtl") {
                if (tokens.size() != 2)
                    return BadMaterialName;
                materials.push_back(std::make_unique<Material>());
                current = materials.back().get();
                current->name = std::string(tokens[1]);
            } else if (keyword == "illum") {
                return IllumStatement(text);
            }
            return nullptr;
        });
    if (result == WavefrontText::WalkResult::Failed)
        FileErrorLog(error, path, line);
    return result == WavefrontText::WalkResult::Finished;
}

// Back to the default material "(null)" alone at index 0.
void MaterialLibrary::Reset()
{
    Clear();
    materials.push_back(std::make_unique<Material>());
    materials.back()->name = "(null)";
    RebuildMap();
}

void MaterialLibrary::Clear()
{
    materials.clear();
    nameMap.clear();
}

// Material names must be unique, as objects name their materials.
bool MaterialLibrary::RebuildMap()
{
    std::string duplicate;
    if (WavefrontText::FillNameMap(materials, nameMap, duplicate))
        return true;
    LOG_ERROR("Zduplikowana nazwa materiału: " << duplicate);
    return false;
}

bool MaterialLibrary::Find(const std::string& name, std::uint32_t& index) const
{
    const auto found = nameMap.find(name);
    if (found == nameMap.end())
        return false;
    index = found->second;
    return true;
}
}
