// The scene's single light, mapped onto GL_LIGHT0: its kind, position, spot
// angles and colours as the light bar edits them, how they reach OpenGL, the
// light's local frame and its on-screen marker.
#pragma once

#include "Geometry.h"

#include <cstdint>

namespace KorvanaFramework
{
enum class LightType : std::int32_t
{
    Point = 0,
    Directional = 1,
    Spot = 2,
};

class Light
{
public:
    Light();

    // Stores both angles (degrees) and recomputes the unit spot direction.
    void SetAngles(float horizontal, float vertical);

    // Position (and a spot's direction) through the current modelview matrix.
    void UploadPosition() const;
    // Colours, attenuation and spot parameters; the dimmed light of shadowed
    // areas when fullDiffuse is false.
    void Upload(bool fullDiffuse) const;
    // Multiplies the light's local frame (+Z along the light) onto the
    // current matrix.
    void ApplyTransform() const;
    // Yellow sphere, arrow or arrow with cone, by kind of light.
    void DrawMarker() const;

    // The diffuse and specular colours Upload hands to OpenGL.
    Vec4 DiffuseFor(bool fullDiffuse) const;
    Vec4 SpecularFor(bool fullDiffuse) const;
    // The rotation ApplyTransform uses for point and directional lights: its
    // columns are the local X, Y and +Z axes, +Z pointing from the light to
    // the world origin. A light at the origin has no such direction and gets
    // the frame of a light straight above it (+Z down).
    Matrix4 TowardsOriginFrame() const;

    bool enabled = false;
    Vec4 position{0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 direction{0.0f, 0.0f, 1.0f};
    Vec4 globalAmbient{0.1f, 0.1f, 0.1f, 1.0f};
    Vec4 ambient{0.1f, 0.1f, 0.1f, 1.0f};
    float lowDiffuse = 0.25f;
    Vec4 diffuse{0.7f, 0.7f, 0.7f, 1.0f};
    Vec4 specular{0.7f, 0.7f, 0.7f, 1.0f};
    float spotCutoff = 60.0f;
    float spotExponent = 5.0f;
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    float horizontalAngle = 180.0f;
    float verticalAngle = -80.0f;
    LightType lightType = LightType::Point;
    bool changed = true;
};
}
