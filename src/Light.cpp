#include "Light.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace KorvanaFramework
{
namespace
{
// Half the width of the band around the vertical in which a light counts as
// straight above or below the origin.
constexpr float VerticalTolerance = 1e-6f;
// Below this in every coordinate a directional light sits at the origin.
constexpr float OriginTolerance = 1e-6f;

// The marker's proportions in world units.
constexpr float SphereRadius = 0.2f;
constexpr float ShaftRadius = 0.06f;
constexpr float ShaftLength = 0.7f;
constexpr float HeadRadius = 0.15f;
constexpr float HeadLength = 0.3f;
constexpr float ConeLength = 10.0f;
constexpr float FlatConeCutoff = 89.99f;

const GLfloat Yellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
const GLfloat Black[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// The unit vector from a light at `position` towards the origin. Positions
// whose squared length leaves the float range are scaled first; a light at
// the origin (or one with a non-finite position) looks straight down.
Vec3 DirectionToOrigin(const Vec4& position)
{
    const float x = position[0], y = position[1], z = position[2];
    const Vec3 down{0.0f, -1.0f, 0.0f};
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return down;
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0f && std::isfinite(length))
        return {-x / length, -y / length, -z / length};
    const float largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (largest == 0.0f)
        return down;
    const float sx = x / largest, sy = y / largest, sz = z / largest;
    const float scaled = std::sqrt(sx * sx + sy * sy + sz * sz);
    return {-sx / scaled, -sy / scaled, -sz / scaled};
}

// The arrow along local +Z: a yellow shaft and a black head closed by a disk.
void DrawArrow(GLUquadric* solid)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, Yellow);
    gluCylinder(solid, 0.0, ShaftRadius, ShaftLength, 3, 1);
    glPushMatrix();
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, Black);
    glTranslatef(0.0f, 0.0f, ShaftLength);
    gluCylinder(solid, HeadRadius, 0.0, HeadLength, 3, 1);
    gluQuadricOrientation(solid, GLU_INSIDE);
    gluDisk(solid, 0.0, HeadRadius, 3, 1);
    glPopMatrix();
}

// The wire cone of a spot, flattened to a disk when it opens to a half-space.
void DrawCone(GLUquadric* wire, float spotCutoff)
{
    if (spotCutoff < FlatConeCutoff) {
        const double radius = ConeLength * std::tan(static_cast<double>(spotCutoff * DegreesToRadians));
        gluCylinder(wire, 0.0, radius, ConeLength, 10, 1);
    } else {
        gluDisk(wire, 0.0, ConeLength, 10, 1);
    }
}

// A directional light at the origin points nowhere, so it gets no arrow.
bool PointsSomewhere(const Vec4& position)
{
    return std::fabs(position[0]) >= OriginTolerance || std::fabs(position[1]) >= OriginTolerance ||
           std::fabs(position[2]) >= OriginTolerance;
}

// The marker's shape in the light's local frame: a sphere for a point light,
// an arrow for a directional one, an arrow and the cone of light for a spot.
void DrawShape(const Light& light, GLUquadric* solid, GLUquadric* wire)
{
    switch (light.lightType) {
    case LightType::Point:
        gluSphere(solid, SphereRadius, 8, 8);
        break;
    case LightType::Directional:
        if (PointsSomewhere(light.position))
            DrawArrow(solid);
        break;
    case LightType::Spot:
        DrawArrow(solid);
        DrawCone(wire, light.spotCutoff);
        break;
    }
}

// The yellow, self-lit material of the marker; it is not restored, as every
// scene drawing with materials sets all material fields again.
void ApplyMarkerMaterial()
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, Yellow);
    glMaterialfv(GL_FRONT, GL_SPECULAR, Black);
    glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
    glMaterialfv(GL_FRONT, GL_EMISSION, Yellow);
}
}

Light::Light()
{
    SetAngles(horizontalAngle, verticalAngle);
}

// direction = (sin h · cos v, sin v, cos h · cos v): heading 0 looks along
// +Z, heading 90 along +X, and a negative elevation looks down.
void Light::SetAngles(float horizontal, float vertical)
{
    horizontalAngle = horizontal;
    verticalAngle = vertical;
    const float a = horizontal * DegreesToRadians;
    const float b = vertical * DegreesToRadians;
    const float cosB = std::cos(b);
    direction = {std::sin(a) * cosB, std::sin(b), std::cos(a) * cosB};
}

// OpenGL transforms both by the current modelview, so every pass calls this
// right after the camera transform.
void Light::UploadPosition() const
{
    if (!enabled)
        return;
    glLightfv(GL_LIGHT0, GL_POSITION, position.data());
    if (lightType == LightType::Spot)
        glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction.data());
}

void Light::Upload(bool fullDiffuse) const
{
    if (!enabled)
        return;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
    const Vec4 diffuseColour = DiffuseFor(fullDiffuse);
    const Vec4 specularColour = SpecularFor(fullDiffuse);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuseColour.data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, specularColour.data());
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, constantAttenuation);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, linearAttenuation);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, quadraticAttenuation);
    if (lightType == LightType::Spot) {
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, spotCutoff);
        glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, spotExponent);
        glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction.data());
    } else {
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    }
}

// Shadowed areas keep lowDiffuse of the diffuse colour, alpha unchanged.
Vec4 Light::DiffuseFor(bool fullDiffuse) const
{
    if (fullDiffuse)
        return diffuse;
    return {diffuse[0] * lowDiffuse, diffuse[1] * lowDiffuse, diffuse[2] * lowDiffuse, diffuse[3]};
}

// Shadowed areas have no highlight.
Vec4 Light::SpecularFor(bool fullDiffuse) const
{
    if (fullDiffuse)
        return specular;
    return {0.0f, 0.0f, 0.0f, 1.0f};
}

void Light::ApplyTransform() const
{
    glTranslatef(position[0], position[1], position[2]);
    if (lightType == LightType::Spot) {
        glRotatef(horizontalAngle, 0.0f, 1.0f, 0.0f);
        glRotatef(-verticalAngle, 1.0f, 0.0f, 0.0f);
    } else {
        const Matrix4 frame = TowardsOriginFrame();
        glMultMatrixf(frame.data());
    }
}

// Columns X, Y, d with d towards the origin; X lies in the horizontal plane
// unless the light is straight above or below, where X is +Z. Y = d × X.
Matrix4 Light::TowardsOriginFrame() const
{
    const Vec3 d = DirectionToOrigin(position);
    const float h = std::sqrt(d[0] * d[0] + d[2] * d[2]);
    Vec3 x{0.0f, 0.0f, 1.0f};
    if (std::fabs(h) > VerticalTolerance)
        x = {d[2] / h, 0.0f, -d[0] / h};
    const Vec3 y{x[2] * d[1], x[0] * d[2] - x[2] * d[0], -x[0] * d[1]};
    return {x[0], x[1], x[2], 0.0f,
            y[0], y[1], y[2], 0.0f,
            d[0], d[1], d[2], 0.0f,
            0.0f, 0.0f, 0.0f, 1.0f};
}

void Light::DrawMarker() const
{
    GLUquadric* solid = gluNewQuadric();
    GLUquadric* wire = gluNewQuadric();
    if (solid && wire) {
        gluQuadricNormals(solid, GLU_SMOOTH);
        gluQuadricDrawStyle(solid, GLU_FILL);
        gluQuadricNormals(wire, GLU_SMOOTH);
        gluQuadricDrawStyle(wire, GLU_LINE);
        ApplyMarkerMaterial();
        glPushMatrix();
        ApplyTransform();
        DrawShape(*this, solid, wire);
        glPopMatrix();
    }
    if (wire)
        gluDeleteQuadric(wire);
    if (solid)
        gluDeleteQuadric(solid);
}
}
