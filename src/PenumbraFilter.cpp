#include "PenumbraFilter.h"

#include "LightDepth.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
// The widest blocker search and filter, in texels: beyond them the samples
// lie so far apart that they would miss thin casters.
constexpr float WidestSearch = 48.0f;
constexpr float WidestPenumbra = 64.0f;

// The map is read as plain depth (comparison off) so that one texture
// serves the search and the filter. Each sample's depth is compared with
// the receiver's plane at that sample, not the receiver's own depth, so a
// wide filter on a surface slanted to the light does not shadow it.
const char* const PenumbraSource = R"(
uniform sampler2D map;
uniform float texel;
uniform float lightSize;
uniform float scale;
uniform float near;
uniform float widestSearch;
uniform float widestPenumbra;

vec2 slope;
vec3 p;

// Depth of the receiver's plane at `offset` from the fragment in the map.
float PlaneDepth(vec2 offset)
{
    return p.z + dot(slope, offset);
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
    float search = lightSize * scale * (perspective ? (receiver - near) / (receiver * near) : receiver - near);
    search = clamp(search, 0.0, widestSearch * texel);
    float blockers = 0.0;
    float sum = 0.0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            vec2 offset = ((vec2(float(x), float(y)) + 0.5) / 4.0 - 0.5) * search;
            float z = texture2D(map, p.xy + offset).r;
            if (z < PlaneDepth(offset)) {
                blockers += 1.0;
                sum += LightDistance(z);
            }
        }
    }
    if (blockers == 0.0) {
        gl_FragColor = gl_Color;
        return;
    }
    float blocker = sum / blockers;
    float width = lightSize * scale * (receiver - blocker) / (perspective ? blocker * receiver : 1.0);
    width = clamp(width, 0.0, widestPenumbra * texel);
    float lit = 0.0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            vec2 offset = ((vec2(float(x), float(y)) + 0.5) / 5.0 - 0.5) * width;
            lit += PlaneDepth(offset) <= texture2D(map, p.xy + offset).r ? 1.0 : 0.0;
        }
    }
    gl_FragColor = gl_Color * (lit / 25.0);
}
)";
}

std::uint32_t BuildPenumbraProgram()
{
    return BuildFragmentProgram("PCSS mapy cieni", LightDistanceSource, PenumbraSource);
}

// A world width w at distance d covers w p0 / (2 d) of a perspective map
// and w p0 / 2 of a box's; the near plane is where the casters may begin.
void UsePenumbraProgram(std::uint32_t program, const Matrix4& lightProjection, std::int32_t mapSize,
                        float lightSize)
{
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    glUniform1f(glGetUniformLocation(program, "texel"), 1.0f / static_cast<float>(mapSize));
    glUniform1f(glGetUniformLocation(program, "lightSize"), lightSize);
    glUniform1f(glGetUniformLocation(program, "scale"), lightProjection[0] / 2.0f);
    glUniform1f(glGetUniformLocation(program, "near"), RangeOf(lightProjection).near);
    glUniform1f(glGetUniformLocation(program, "widestSearch"), WidestSearch);
    glUniform1f(glGetUniformLocation(program, "widestPenumbra"), WidestPenumbra);
    SetLightDepth(program, lightProjection);
}
}
