#include "GlxewFlags.h"

#include <GL/glew.h>
#include <GL/glxew.h>

namespace AppTests
{
FormatExtensionFlags ReadFormatExtensionFlags()
{
    return {__GLXEW_VERSION_1_3 != GL_FALSE, __GLXEW_ARB_multisample != GL_FALSE};
}

void WriteFormatExtensionFlags(FormatExtensionFlags flags)
{
    __GLXEW_VERSION_1_3 = flags.pixelFormat ? GL_TRUE : GL_FALSE;
    __GLXEW_ARB_multisample = flags.multisample ? GL_TRUE : GL_FALSE;
}
}
