// Kept apart from the program's headers: GLEW's GLX header brings X's own
// BOOL, which clashes with the Windows one.
#include "DriverFlags.h"

#include <GL/glew.h>
#include <GL/glxew.h>

#include <dlfcn.h>

namespace
{
bool hideMultisample = false;
bool hidePixelFormat = false;
}

// Stands in for GLEW's glewInit in this test program, which the program's
// call reaches first: GLEW's own runs, then the hidden flags are cleared.
extern "C" GLenum GLEWAPIENTRY glewInit(void)
{
    using Init = GLenum (*)();
    static const Init glewsOwn = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "glewInit"));
    const GLenum result = glewsOwn();
    if (hideMultisample)
        __GLXEW_ARB_multisample = GL_FALSE;
    if (hidePixelFormat)
        __GLXEW_VERSION_1_3 = GL_FALSE;
    return result;
}

namespace AppTests
{
WithoutExtensions::WithoutExtensions(DriverExtensions hidden)
{
    hideMultisample = true;
    hidePixelFormat = hidden == DriverExtensions::PixelFormatAndMultisample;
}

// GLEW's next start sets the flags again from the driver.
WithoutExtensions::~WithoutExtensions()
{
    hideMultisample = false;
    hidePixelFormat = false;
}
}
