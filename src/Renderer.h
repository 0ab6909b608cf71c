// The renderer the GL window embeds: the scene, the viewport and the camera.
// This is the part the window drives (scene loading, GL start, frames, size
// and camera drags); the shadow passes build on it.
#pragma once

#include "Scene.h"

#include <string>

namespace KorvanaFramework
{
class Renderer
{
public:
    Renderer();

    // Reads the scene; the path is kept once it loaded.
    bool LoadScene(const std::string& path);
    // GL state of the frames; needs the window's context current.
    void InitGL();
    // One frame into the current context, finished with glFinish.
    void RenderFrame();
    // The client size in pixels; a height of 0 counts as 1. Always true.
    bool Resize(int width, int height);

    // Turns the view by yaw and pitch (degrees); pitch stays within ±90.
    void RotateCamera(float deltaYaw, float deltaPitch);
    // Moves the eye along the view axis; the distance stays within 0.2..100.
    void ZoomCamera(float deltaDistance);
    // Multiplies the view transform onto the current modelview matrix.
    void ApplyCamera() const;

    const Scene& GetScene() const { return scene; }
    int ViewportWidth() const { return viewportWidth; }
    int ViewportHeight() const { return viewportHeight; }

    Scene scene;
    bool multisample = false;  // GL multisampling, for a multisampled format
    float backgroundColor[3] = {0.0f, 0.0f, 0.0f};

    float pitch = 0.0f;
    float yaw = 0.0f;
    float distance = 10.0f;
    float panX = 0.0f;
    float panY = 0.0f;

private:
    void ApplyProjection() const;

    std::string sceneFile;
    int viewportWidth = 1;
    int viewportHeight = 1;
    float aspect = 1.0f;
    float frustumNear = 0.1f;
    float frustumFar = 100.0f;
    float frustumBottom = -0.05f;
    float frustumTop = 0.05f;
    float frustumLeft = -0.05f;
    float frustumRight = 0.05f;
};
}
