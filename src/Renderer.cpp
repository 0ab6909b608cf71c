// Scene loading, GL start, frames, viewport and camera of the renderer.

#include "Renderer.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>

namespace KorvanaFramework
{
Renderer::Renderer() = default;

bool Renderer::LoadScene(const std::string& path)
{
    if (!scene.Load(path))
        return false;
    sceneFile = path;
    return true;
}

// Depth-tested, back-face-culled frames; multisampling when the window's
// format has samples.
void Renderer::InitGL()
{
    frustumNear = 0.1f;
    frustumFar = 100.0f;
    frustumBottom = -0.05f;
    frustumTop = 0.05f;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    if (multisample)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
    Resize(viewportWidth, viewportHeight);
}

void Renderer::RenderFrame()
{
    glClearColor(backgroundColor[0], backgroundColor[1], backgroundColor[2], 1.0f);
    glClearStencil(0);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyCamera();
    glFinish();
}

bool Renderer::Resize(int width, int height)
{
    viewportWidth = width;
    viewportHeight = std::max(height, 1);
    aspect = static_cast<float>(viewportWidth) / static_cast<float>(viewportHeight);
    frustumLeft = frustumBottom * aspect;
    frustumRight = frustumTop * aspect;
    glViewport(0, 0, viewportWidth, viewportHeight);
    ApplyProjection();
    return true;
}

void Renderer::ApplyProjection() const
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(frustumLeft, frustumRight, frustumBottom, frustumTop, frustumNear, frustumFar);
    glMatrixMode(GL_MODELVIEW);
}

void Renderer::RotateCamera(float deltaYaw, float deltaPitch)
{
    yaw += deltaYaw;
    pitch = std::clamp(pitch + deltaPitch, -90.0f, 90.0f);
}

void Renderer::ZoomCamera(float deltaDistance)
{
    distance += deltaDistance;
    if (distance > 100.0f)
        distance = 100.0f;
    else if (distance < 0.2f)
        distance = 0.2f;
}

void Renderer::ApplyCamera() const
{
    gluLookAt(0.0, 0.0, distance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(-panX, panY, 0.0f);
    glRotatef(pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(yaw, 0.0f, 1.0f, 0.0f);
}
}
