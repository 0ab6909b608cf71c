// Shadow method 1, the shadow flattened onto the scene's shadow plane. Until
// the flattening is written, the plane is only looked up (so that it is never
// drawn) and the frame shows the lit scene.
#include "Renderer.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
// Finds the plane object so that the scene drawing skips it; its plane is
// not computed yet, so no shadow is drawn.
void Renderer::ComputePlaneEquation()
{
    planeValid = false;
    shadowPlaneIndex = scene.FindObject("ShadowPlaneNS");
}

// Row i, column j holds dot·δij − L_i·P_j: the projection from the light L
// onto the plane P, central for a point light, parallel for a directional one.
void Renderer::ComputeShadowMatrix()
{
    const Vec4& l = light.position;
    const Plane& p = planeEquation;
    const float dot = p[0] * l[0] + p[1] * l[1] + p[2] * l[2] + p[3] * l[3];
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            shadowMatrix[4 * column + row] = (row == column ? dot : 0.0f) - l[row] * p[column];
    glMultMatrixf(shadowMatrix.data());
}

void Renderer::RenderProjectedShadow()
{
    RenderNoShadow();
}
}
