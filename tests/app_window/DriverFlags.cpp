// Kept apart from the program's headers: GLEW's GLX header brings X's own
// BOOL, which clashes with the Windows one.
#include "DriverFlags.h"

#include <GL/glew.h>
#include <GL/glxew.h>

#include <dlfcn.h>

namespace
{
bool hideMultisample = false;
}

// Stands in for GLEW's glewInit in this test program, which the program's
// call reaches first: GLEW's own runs, then the hidden flag is cleared.
extern "C" GLenum GLEWAPIENTRY glewInit(void)
{
    using Init = GLenum (*)();
    static const Init glewsOwn = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "glewInit"));
    const GLenum result = glewsOwn();
    if (hideMultisample)
        __GLXEW_ARB_multisample = GL_FALSE;
    return result;
}

namespace AppTests
{
WithoutMultisample::WithoutMultisample()
{
    hideMultisample = true;
}

// GLEW's next start sets the flag again from the driver.
WithoutMultisample::~WithoutMultisample()
{
    hideMultisample = false;
}
}
