#include "Drawing.h"

#include <GL/glx.h>

namespace TweakBar
{
bool GLContextCurrent()
{
    return glXGetCurrentContext() != nullptr;
}
}
