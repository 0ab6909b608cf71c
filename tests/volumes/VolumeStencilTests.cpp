// GL: the volumes drawn into the stencil buffer over a floor count a shadow
// under the caster and none beside it, in every mode; the light's values as
// OpenGL receives them.
// gtest before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "Light.h"
#include "ShadowVolumes.h"
#include "VolumeTestSupport.h"

#include "support/PbufferContext.h"

#include <GL/glu.h>

#include <cmath>

using namespace KorvanaFramework;
using namespace VolumeTests;

namespace
{
constexpr int Size = 128;

// A current GL context with depth and stencil for every test.
class GLFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!gl.HasDisplay())
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(gl.Ready());
        glViewport(0, 0, Size, Size);
    }

    TestSupport::PbufferContext gl{Size, Size, true};
};

struct Mode
{
    const char* name;
    Vec4 light;
    float length;
    bool depthFail;
};

// A caster cube at heights 1 to 2 over the floor y = 0, seen from above;
// both lights throw its shadow onto the floor point (2, 0, 0.5).
const Mode Modes[] = {
    {"point, infinite, depth-pass", {-3, 6, 0.5f, 1}, 0, false},
    {"point, infinite, depth-fail", {-3, 6, 0.5f, 1}, 0, true},
    {"point, finite, depth-pass", {-3, 6, 0.5f, 1}, 20, false},
    {"point, finite, depth-fail", {-3, 6, 0.5f, 1}, 20, true},
    {"directional, infinite, depth-pass", {-4, 5, 0, 0}, 0, false},
    {"directional, infinite, depth-fail", {-4, 5, 0, 0}, 0, true},
    {"directional, finite, depth-pass", {-4, 5, 0, 0}, 20, false},
    {"directional, finite, depth-fail", {-4, 5, 0, 0}, 20, true},
};

class VolumeStencil : public GLFixture
{
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        SetInfiniteProjection();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.5, 10, 0.5, 0.5, 0, 0.5, 0, 0, -1);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
    }

    // A perspective projection whose far plane lies at infinity, so that
    // copies with w 0 stay inside the view.
    static void SetInfiniteProjection()
    {
        const float n = 1.0f;
        GLfloat m[16] = {};
        m[0] = m[5] = 2.0f;
        m[10] = -0.99f;
        m[11] = -1.0f;
        m[14] = -1.99f * n;
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(m);
    }

    // Clears, draws the floor into the depth buffer and counts the volume
    // into the stencil buffer, increments before decrements.
    void Count(const VolumeGeometry& volume, bool depthFail)
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glBegin(GL_QUADS);
        glVertex3f(-20, 0, -20);
        glVertex3f(-20, 0, 20);
        glVertex3f(20, 0, 20);
        glVertex3f(20, 0, -20);
        glEnd();
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(GL_ALWAYS, 0, ~0u);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDepthMask(GL_FALSE);
        const GLenum firstCull = depthFail ? GL_FRONT : GL_BACK;
        const GLenum secondCull = depthFail ? GL_BACK : GL_FRONT;
        glCullFace(firstCull);
        StencilCountOp(GL_INCR, depthFail);
        DrawVolume(volume);
        glCullFace(secondCull);
        StencilCountOp(GL_DECR, depthFail);
        DrawVolume(volume);
        glCullFace(GL_BACK);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glDisable(GL_STENCIL_TEST);
        glFinish();
    }

    static void StencilCountOp(GLenum op, bool depthFail)
    {
        if (depthFail)
            glStencilOp(GL_KEEP, op, GL_KEEP);
        else
            glStencilOp(GL_KEEP, GL_KEEP, op);
    }

    static void DrawVolume(const VolumeGeometry& volume)
    {
        volume.DrawSides();
        volume.DrawFrontCap();
        volume.DrawBackCap();
    }

    // The stencil count where the world point (x, y, z) appears.
    static int StencilAt(double x, double y, double z)
    {
        GLdouble modelview[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
        GLubyte value = 0;
        glReadPixels(static_cast<GLint>(wx), static_cast<GLint>(wy), 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE,
                     &value);
        return value;
    }

    SceneObject caster = Cube("Box", 0, 1);

    void SetUpCaster()
    {
        for (Vec4& p : caster.positions)
            p[1] += 1.0f;
    }
};
}

TEST_F(VolumeStencil, ShadowUnderTheCasterInEveryMode)
{
    SetUpCaster();
    VolumeGeometry volume(&caster);
    ASSERT_TRUE(volume.IsValid());
    for (const Mode& mode : Modes) {
        volume.Update(mode.light, mode.length, mode.depthFail);
        Count(volume, mode.depthFail);
        EXPECT_EQ(1, StencilAt(2.0, 0, 0.5)) << mode.name;
        EXPECT_EQ(0, StencilAt(-2.0, 0, 0.5)) << mode.name;
        EXPECT_EQ(0, StencilAt(0.5, 0, 4.0)) << mode.name;
        EXPECT_EQ(0, StencilAt(5.0, 0, 0.5)) << mode.name << ": beyond the shadow";
    }
}

TEST_F(VolumeStencil, ShortVolumesDoNotReachTheFloor)
{
    SetUpCaster();
    VolumeGeometry volume(&caster);
    for (bool depthFail : {false, true}) {
        volume.Update({-3, 6, 0.5f, 1}, 0.5f, depthFail);
        Count(volume, depthFail);
        EXPECT_EQ(0, StencilAt(2.0, 0, 0.5));
    }
}

// The eye inside the volume: depth-fail still counts the floor in shadow.
TEST_F(VolumeStencil, DepthFailWithTheEyeInsideTheVolume)
{
    SetUpCaster();
    VolumeGeometry volume(&caster);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(1.2, 0.6, 0.5, 2.0, 0, 0.5, 0, 1, 0);
    volume.Update({-3, 6, 0.5f, 1}, 0, true);
    Count(volume, true);
    EXPECT_EQ(1, StencilAt(2.0, 0, 0.5));
}

using LightUpload = GLFixture;

TEST_F(LightUpload, DimmedAndFullColours)
{
    Light light;
    light.enabled = true;
    GLfloat value[4] = {};
    light.Upload(false);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(0.175f, value[0]);
    EXPECT_FLOAT_EQ(1.0f, value[3]);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, value);
    EXPECT_EQ(0.0f, value[0]);
    light.Upload(true);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(0.7f, value[0]);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, value);
    EXPECT_FLOAT_EQ(0.7f, value[0]);
}

TEST_F(LightUpload, OnlySpotsHaveACone)
{
    Light light;
    light.enabled = true;
    light.spotCutoff = 30;
    GLfloat cutoff = 0;
    light.Upload(true);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(180.0f, cutoff);
    light.lightType = LightType::Spot;
    light.Upload(true);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(30.0f, cutoff);
}

TEST_F(LightUpload, DisabledLightLeavesOpenGLAlone)
{
    Light light;
    light.diffuse = {0.3f, 0.3f, 0.3f, 1};
    light.position = {4, 5, 6, 1};
    light.Upload(true);
    light.UploadPosition();
    GLfloat value[4] = {};
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_EQ(1.0f, value[0]) << "GL_LIGHT0's initial diffuse";
    glGetLightfv(GL_LIGHT0, GL_POSITION, value);
    EXPECT_EQ(0.0f, value[0]);
}

TEST_F(LightUpload, MarkerOfEveryKindLeavesTheMatrixAsFound)
{
    Light light;
    GLfloat before[16], after[16];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    for (LightType type : {LightType::Point, LightType::Directional, LightType::Spot}) {
        light.lightType = type;
        for (const Vec4& position : {Vec4{0, 0, 0, 1}, Vec4{2, 5, 2.17f, 1}}) {
            light.position = position;
            light.DrawMarker();
            glGetFloatv(GL_MODELVIEW_MATRIX, after);
            for (int i = 0; i < 16; ++i)
                EXPECT_EQ(before[i], after[i]);
        }
    }
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}
