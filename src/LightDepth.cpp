#include "LightDepth.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
// Window depth z of the light's projection back to the distance along its
// axis: the inverse of the perspective's (p10 d - p14) / d, or of the box's
// linear -p10 d + p14.
const char* const LightDistanceSource = R"(#version 110
uniform vec3 lightDepth;
float LightDistance(float z)
{
    float ndc = 2.0 * z - 1.0;
    if (lightDepth.z > 0.5)
        return lightDepth.y / (ndc + lightDepth.x);
    return (lightDepth.y - ndc) / lightDepth.x;
}
)";

// A perspective's last row is (0, 0, -1, 0), a box's (0, 0, 0, 1).
void SetLightDepth(std::uint32_t program, const Matrix4& lightProjection)
{
    const float perspective = lightProjection[11] != 0.0f ? 1.0f : 0.0f;
    glUniform3f(glGetUniformLocation(program, "lightDepth"), lightProjection[10], lightProjection[14], perspective);
}

// The distances where the window depth is 0 and 1.
LightRange RangeOf(const Matrix4& lightProjection)
{
    const float p10 = lightProjection[10], p14 = lightProjection[14];
    if (lightProjection[11] != 0.0f)
        return {p14 / (p10 - 1.0f), p14 / (p10 + 1.0f)};
    return {(p14 + 1.0f) / p10, (p14 - 1.0f) / p10};
}
}
