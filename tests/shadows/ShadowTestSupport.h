// The shadow passes on the virtual display: the scenes written for them, one
// pass drawn and read back without the light marker and the bars, and GLEW's
// availability flags switched off for a while to force the fallbacks.
#pragma once

#include "RendererTestSupport.h"

#include <GL/glew.h>

#include <vector>

namespace ShadowTests
{
using KorvanaFramework::LightType;
using KorvanaFramework::RendererMode;
using KorvanaFramework::Vec3;
using KorvanaFramework::Vec4;
using RendererTests::Brightness;
using Snapshot::Image;

// A scene of tests/shadows/data.
std::string DataScene(const std::string& name);

// boxes.obj: a floor at height 0 that is also the shadow plane, a small box
// from height 2 to 3 over its centre and a wide box from 5 to 6 beside it,
// seen from 40 degrees above, 14 units away.
constexpr float BoxesPitch = 40.0f;
constexpr float BoxesDistance = 14.0f;
// A point light straight above the small box, whose shadow then covers the
// floor around the origin.
const Vec4 OverCaster{0, 8, 0, 1};
const Vec3 UnderCaster{0, 0, 0};
const Vec3 FarFromBoxes{-4, 0, 3};
// A directional light along which the wide box lies behind the small one:
// their shadows overlap around BothShadows; the wide one alone reaches
// UpperShadowOnly.
const Vec4 ThroughBothBoxes{1, 1, 0, 0};
const Vec3 BothShadows{-2.5f, 0, 0};
const Vec3 UpperShadowOnly{-2.5f, 0, 0.8f};

// The default scene under the light InitGL places: a floor point in the
// shadow of the sphere, and a brightly lit one in front of every object.
const Vec3 UnderDefaultSphere{-3.84f, -2, 0.34f};
const Vec3 FarInDefaultScene{0.5f, -2, 3.5f};

// How many bytes of two equally long buffers differ.
std::size_t Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

class ShadowGLTest : public RendererTests::RendererGLTest
{
protected:
    // Loads boxes.obj, seen as described there, under the light OverCaster.
    void StartBoxes();
    // Loads the scene and looks at the origin from `pitch` degrees above the
    // horizon, `distance` away.
    void StartScene(const std::string& path, float pitch, float distance);
    // The light at a homogeneous position; w 0 makes it directional.
    void PlaceLight(const Vec4& position);
    // One frame of `mode` as RenderFrame draws it, without the light marker
    // and the bars, read back.
    Image Pass(RendererMode mode);
    // The brightness of the pixel where a world point is seen.
    double BrightnessOf(const Image& image, const Vec3& world);
    // The stencil buffer as the last drawing left it.
    std::vector<std::uint8_t> Stencil();
};

// Clears availability flags of GLEW while it lives and restores them after,
// so that the passes take the paths of an older driver.
class GlewFlagsOff
{
public:
    explicit GlewFlagsOff(std::vector<GLboolean*> flags);
    ~GlewFlagsOff();
    GlewFlagsOff(const GlewFlagsOff&) = delete;
    GlewFlagsOff& operator=(const GlewFlagsOff&) = delete;

private:
    std::vector<std::pair<GLboolean*, GLboolean>> saved;
};

// Counts the calls of the two entry points that only the separate-stencil
// and the two-side paths use, while it lives.
class StencilEntryCounter
{
public:
    StencilEntryCounter();
    ~StencilEntryCounter();
    StencilEntryCounter(const StencilEntryCounter&) = delete;
    StencilEntryCounter& operator=(const StencilEntryCounter&) = delete;

    static int separateCalls;
    static int activeFaceCalls;

private:
    PFNGLSTENCILOPSEPARATEPROC separate;
    PFNGLACTIVESTENCILFACEEXTPROC activeFace;
};
}
