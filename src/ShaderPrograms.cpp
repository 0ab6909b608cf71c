#define KORVANA_UNIT "src/ShaderPrograms"

#include "ShaderPrograms.h"

#include "Log.h"

#include <GL/glew.h>

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

std::uint32_t BuildFragmentProgram(const std::string& name, const char* prelude, const char* source)
{
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const char* parts[2] = {prelude, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint done = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &done);
    if (done != GL_TRUE) {
        LOG_ERROR("Program " << name
                             << " się nie skompilował: " << InfoLog(shader, glGetShaderiv, glGetShaderInfoLog));
        glDeleteShader(shader);
        return 0;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    glGetProgramiv(program, GL_LINK_STATUS, &done);
    if (done != GL_TRUE) {
        LOG_ERROR("Program " << name
                             << " się nie skonsolidował: " << InfoLog(program, glGetProgramiv, glGetProgramInfoLog));
        glDeleteProgram(program);
        return 0;
    }
    return program;
}
}
