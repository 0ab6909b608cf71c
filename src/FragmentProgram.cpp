#define KORVANA_UNIT "src/FragmentProgram"

#include "FragmentProgram.h"

#include "Log.h"

#include <GL/glew.h>

#include <string>

namespace KorvanaFramework
{
namespace
{
// The info log of a shader or a program, read with the calls for its kind.
std::string InfoLog(GLuint name, PFNGLGETSHADERIVPROC getValue, PFNGLGETSHADERINFOLOGPROC getLog)
{
    GLint length = 0;
    getValue(name, GL_INFO_LOG_LENGTH, &length);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    getLog(name, length, nullptr, text.data());
    return text.c_str();
}
}

// Window depth z of the light's projection back to the distance along its
// axis: the inverse of the perspective's (p10 d - p14) / d, or of the box's
// linear -p10 d + p14.
const char* const LightDistanceSource = R"(
uniform vec3 lightDepth;
float LightDistance(float z)
{
    float ndc = 2.0 * z - 1.0;
    if (lightDepth.z > 0.5)
        return lightDepth.y / (ndc + lightDepth.x);
    return (lightDepth.y - ndc) / lightDepth.x;
}
)";

std::uint32_t BuildFragmentProgram(const std::string& source, const char* name)
{
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint done = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
    if (done != GL_TRUE) {
        LOG_ERROR("Program " << name << " mapy cieni się nie skompilował: "
                             << InfoLog(shader, glGetShaderiv, glGetShaderInfoLog));
        glDeleteShader(shader);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    glGetProgramiv(program, GL_LINK_STATUS, &done);
    if (done != GL_TRUE) {
        LOG_ERROR("Program " << name << " mapy cieni się nie skonsolidował: "
                             << InfoLog(program, glGetProgramiv, glGetProgramInfoLog));
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

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
