#include "PenumbraFilter.h"

#include "LightDepth.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

#include <string>

namespace KorvanaFramework
{
// The point (x, y) of a side × side grid over the unit square around 0,
// turned by atan(1 / side): every point then has its own place along both
// axes, so a straight edge passes the samples one by one instead of a row
// at a time and the penumbra has side² levels instead of side.
const char* const GridPointSource = R"(
vec2 GridPoint(int x, int y, float side)
{
    vec2 g = (vec2(float(x), float(y)) + 0.5) / side - 0.5;
    float c = side / sqrt(side * side + 1.0);
    float s = 1.0 / sqrt(side * side + 1.0);
    return vec2(g.x * c - g.y * s, g.x * s + g.y * c);
}
)";

namespace
{
// The widest blocker search and filter, as shares of the map's side. A
// fitted frustum may hold no more than the casters, so a penumbra may be
// many times wider than any number of texels; beyond half the map its
// samples would be spaced wider than most casters.
constexpr float WidestSearch = 0.5f;
constexpr float WidestPenumbra = 0.5f;

// The map is read as plain depth (comparison off) so that one texture
// serves the search (3 × 3 reads) and the filter (4 × 4). Where the search
// finds casters at all its reads or at none, the filter, which lies within
// the searched area, is skipped: the fragment is in the full shadow or in
// the open. The skip is a loop's count, not a branch: llvmpipe runs both
// sides of a branch, but leaves a loop once none of its fragments needs
// another turn. Each sample's depth is compared with the receiver's plane
// at that sample, not the receiver's own depth, so a wide filter on a
// surface slanted to the light does not shadow it.
const char* const PenumbraSource = R"(
uniform sampler2D map;
uniform float lightSize;
uniform vec2 scale;
uniform float near;
uniform float widestSearch;
uniform float widestPenumbra;

vec2 slope;
vec3 p;

// Depth of the receiver's plane at `offset` from the fragment in the map;
// never beyond the cleared depth, which marks where nothing was drawn.
float PlaneDepth(vec2 offset)
{
    return min(p.z + dot(slope, offset), 1.0);
}

void main()
{
    p = gl_TexCoord[0].xyz / gl_TexCoord[0].q;
    vec3 dx = dFdx(p);
    vec3 dy = dFdy(p);
    float det = dx.x * dy.y - dy.x * dx.y;
    slope = det != 0.0 ? vec2(dx.z * dy.y - dy.z * dx.y, dy.z * dx.x - dx.z * dy.x) / det : vec2(0.0);
    slope = clamp(slope, -4.0, 4.0);

    bool perspective = lightDepth.z > 0.5;
    float receiver = LightDistance(p.z);
    vec2 search = lightSize * scale * (perspective ? (receiver - near) / (receiver * near) : receiver - near);
    search = clamp(search, 0.0, widestSearch);
    float blockers = 0.0;
    float sum = 0.0;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            vec2 offset = GridPoint(x, y, 3.0) * search;
            float z = texture2D(map, p.xy + offset).r;
            if (z < PlaneDepth(offset)) {
                blockers += 1.0;
                sum += LightDistance(z);
            }
        }
    }
    float blocker = sum / max(blockers, 1.0);
    vec2 width = lightSize * scale * (receiver - blocker) / (perspective ? blocker * receiver : 1.0);
    width = clamp(width, 0.0, widestPenumbra);
    int samples = blockers == 0.0 || blockers == 9.0 ? 0 : 16;
    float lit = blockers == 0.0 ? 16.0 : 0.0;
    for (int i = 0; i < samples; ++i) {
        // GLSL 1.10 has no integer remainder.
        vec2 offset = GridPoint(i - i / 4 * 4, i / 4, 4.0) * width;
        lit += PlaneDepth(offset) <= texture2D(map, p.xy + offset).r ? 1.0 : 0.0;
    }
    gl_FragColor = gl_Color * (lit / 16.0);
}
)";
}

std::uint32_t BuildPenumbraProgram()
{
    const std::string prelude = std::string(LightDistanceSource) + GridPointSource;
    return BuildFragmentProgram("PCSS mapy cieni", prelude.c_str(), PenumbraSource);
}

// A world width w at distance d covers w p0 / (2 d) of a perspective map
// across and w p5 / (2 d) up and down (without the d for a box's); the
// near plane is where the casters may begin.
void UsePenumbraProgram(std::uint32_t program, const Matrix4& lightProjection, float lightSize)
{
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    glUniform1f(glGetUniformLocation(program, "lightSize"), lightSize);
    glUniform2f(glGetUniformLocation(program, "scale"), lightProjection[0] / 2.0f, lightProjection[5] / 2.0f);
    glUniform1f(glGetUniformLocation(program, "near"), RangeOf(lightProjection).near);
    glUniform1f(glGetUniformLocation(program, "widestSearch"), WidestSearch);
    glUniform1f(glGetUniformLocation(program, "widestPenumbra"), WidestPenumbra);
    SetLightDepth(program, lightProjection);
}
}
