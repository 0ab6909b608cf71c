#include "Renderer.h"

#include <GL/glew.h>
#include <GL/glu.h>

namespace KorvanaFramework
{
namespace
{
constexpr float MaxPitch = 90.0f;
constexpr float MinDistance = 0.2f;
constexpr float MaxDistance = 100.0f;
}

// Yaw turns freely; pitch stops at looking straight down or up.
void Renderer::RotateCamera(float deltaYaw, float deltaPitch)
{
    yaw += deltaYaw;
    pitch += deltaPitch;
    if (pitch > MaxPitch)
        pitch = MaxPitch;
    else if (pitch < -MaxPitch)
        pitch = -MaxPitch;
}

// The eye stays outside the near plane's reach and inside the far plane.
void Renderer::ZoomCamera(float deltaDistance)
{
    distance += deltaDistance;
    if (distance > MaxDistance)
        distance = MaxDistance;
    else if (distance < MinDistance)
        distance = MinDistance;
}

// A world point is turned by yaw about Y, then by pitch about X, shifted in
// the view plane and seen from `distance` along +Z.
void Renderer::ApplyCamera() const
{
    gluLookAt(0.0, 0.0, distance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(-panX, panY, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
}
}
