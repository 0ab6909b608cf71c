// GLEW's flags for the GLX extensions behind the WGL pixel-format and
// multisample ones, as the window code reads them after glewInit. Kept in a
// unit of its own: GLEW's GLX header clashes with the Windows types.
#pragma once

namespace AppTests
{
struct FormatExtensionFlags {
    bool pixelFormat;  // GLX 1.3
    bool multisample;  // GLX_ARB_multisample
};
FormatExtensionFlags ReadFormatExtensionFlags();
void WriteFormatExtensionFlags(FormatExtensionFlags flags);
}
