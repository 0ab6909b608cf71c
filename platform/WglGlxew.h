// What the layer reads from GLEW's GLX side. Kept apart because GLEW's GLX
// header brings X's own BOOL, which clashes with the Windows one. Internal
// to platform/.
#pragma once

namespace Platform
{
bool GlxewVersion13();
bool GlxewMultisample();
bool GlxewSwapControl();
// Sets the current drawable's swap interval through the first swap-control
// extension there is; false without one.
bool GlxewSetSwapInterval(int interval);
}
