#include "ShadowTestSupport.h"

namespace ShadowTests
{
namespace
{
PFNGLSTENCILOPSEPARATEPROC realSeparate = nullptr;
PFNGLACTIVESTENCILFACEEXTPROC realActiveFace = nullptr;

void GLAPIENTRY CountedStencilOpSeparate(GLenum face, GLenum sfail, GLenum dpfail, GLenum dppass)
{
    ++StencilEntryCounter::separateCalls;
    realSeparate(face, sfail, dpfail, dppass);
}

void GLAPIENTRY CountedActiveStencilFace(GLenum face)
{
    ++StencilEntryCounter::activeFaceCalls;
    realActiveFace(face);
}
}

std::string DataScene(const std::string& name)
{
    return std::string(KORVANA_TEST_DATA) + "/" + name;
}

std::size_t Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

void ShadowGLTest::StartScene(const std::string& path, float pitch, float distance)
{
    Start(path);
    renderer->pitch = pitch;
    renderer->distance = distance;
}

void ShadowGLTest::StartBoxes()
{
    StartScene(DataScene("boxes.obj"), BoxesPitch, BoxesDistance);
    PlaceLight(OverCaster);
}

void ShadowGLTest::PlaceLight(const Vec4& position)
{
    renderer->light.position = position;
    renderer->light.lightType = position[3] == 0.0f ? LightType::Directional : LightType::Point;
}

Image ShadowGLTest::Pass(RendererMode mode)
{
    const Vec3& background = renderer->options.backgroundColor;
    renderer->options.rendererMode = mode;
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    switch (mode) {
    case RendererMode::Projected:
        renderer->RenderProjectedShadow();
        break;
    case RendererMode::Volumes:
        renderer->RenderShadowVolumes();
        break;
    default:
        renderer->RenderNoShadow();
        break;
    }
    return window->ReadBack();
}

double ShadowGLTest::BrightnessOf(const Image& image, const Vec3& world)
{
    return Brightness(image, ScreenOf(world));
}

std::vector<std::uint8_t> ShadowGLTest::Stencil()
{
    std::vector<std::uint8_t> values(static_cast<std::size_t>(Width) * Height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, values.data());
    return values;
}

GlewFlagsOff::GlewFlagsOff(std::vector<GLboolean*> flags)
{
    for (GLboolean* flag : flags) {
        saved.emplace_back(flag, *flag);
        *flag = GL_FALSE;
    }
}

GlewFlagsOff::~GlewFlagsOff()
{
    for (const auto& [flag, value] : saved)
        *flag = value;
}

int StencilEntryCounter::separateCalls = 0;
int StencilEntryCounter::activeFaceCalls = 0;

StencilEntryCounter::StencilEntryCounter() : separate(__glewStencilOpSeparate), activeFace(__glewActiveStencilFaceEXT)
{
    separateCalls = activeFaceCalls = 0;
    realSeparate = separate;
    realActiveFace = activeFace;
    __glewStencilOpSeparate = CountedStencilOpSeparate;
    __glewActiveStencilFaceEXT = CountedActiveStencilFace;
}

StencilEntryCounter::~StencilEntryCounter()
{
    __glewStencilOpSeparate = separate;
    __glewActiveStencilFaceEXT = activeFace;
}
}
