#include "RendererTestSupport.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace RendererTests
{
namespace
{
Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

std::string Numbers(float a, float b, float c)
{
    std::ostringstream text;
    text << a << ' ' << b << ' ' << c;
    return text.str();
}
}

TestScene& TestScene::Material(const std::string& name, float r, float g, float b)
{
    mtlText += "newmtl " + name + "\nKa " + Numbers(r, g, b) + "\nKd " + Numbers(r, g, b) +
               "\nKs 0 0 0\nNs 0\nd 1\n\n";
    return *this;
}

void TestScene::Object(const std::string& name, const std::string& material)
{
    objText += "o " + name + "\nusemtl " + material + "\n";
}

void TestScene::Quad(const Vec3& centre, const Vec3& u, const Vec3& v)
{
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& corner : corners) {
        objText += "v " + Numbers(centre[0] + corner[0] * u[0] + corner[1] * v[0],
                                  centre[1] + corner[0] * u[1] + corner[1] * v[1],
                                  centre[2] + corner[0] * u[2] + corner[1] * v[2]) + "\n";
    }
    Vec3 n = Cross(u, v);
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    objText += "vn " + Numbers(n[0] / length, n[1] / length, n[2] / length) + "\n";
    ++normals;
    const int first = vertices + 1;
    vertices += 4;
    const std::string nn = "//" + std::to_string(normals);
    auto corner = [&](int i) { return std::to_string(first + i) + nn; };
    objText += "f " + corner(0) + " " + corner(1) + " " + corner(2) + "\n";
    objText += "f " + corner(0) + " " + corner(2) + " " + corner(3) + "\n";
}

TestScene& TestScene::Floor(const std::string& name, const std::string& material, float y, float half, int cells)
{
    Object(name, material);
    const float size = 2.0f * half / static_cast<float>(cells);
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            const Vec3 centre{-half + (i + 0.5f) * size, y, -half + (j + 0.5f) * size};
            Quad(centre, {0, 0, size / 2}, {size / 2, 0, 0});
        }
    }
    return *this;
}

TestScene& TestScene::Wall(const std::string& name, const std::string& material, float z, float half)
{
    Object(name, material);
    Quad({0, 0, z}, {half, 0, 0}, {0, half, 0});
    return *this;
}

TestScene& TestScene::Box(const std::string& name, const std::string& material, const Vec3& c, float h)
{
    Object(name, material);
    const Vec3 x{h, 0, 0}, y{0, h, 0}, z{0, 0, h};
    const Vec3 negX{-h, 0, 0}, negY{0, -h, 0}, negZ{0, 0, -h};
    auto at = [&](const Vec3& offset) { return Vec3{c[0] + offset[0], c[1] + offset[1], c[2] + offset[2]}; };
    Quad(at(x), y, z);
    Quad(at(negX), z, y);
    Quad(at(y), z, x);
    Quad(at(negY), x, z);
    Quad(at(z), x, y);
    Quad(at(negZ), y, x);
    return *this;
}

TestScene& TestScene::Empty(const std::string& name)
{
    objText += "o " + name + "\n";
    return *this;
}

std::string TestScene::Write(const TestSupport::TempDir& folder) const
{
    TestSupport::WriteFile(folder / "scene.mtl", mtlText);
    TestSupport::WriteFile(folder / "scene.obj", "mtllib scene.mtl\n" + objText);
    return folder / "scene.obj";
}

std::string DefaultScenePath()
{
    return std::string(KORVANA_BINARY_DIR) + "/Scene/test.obj";
}

void RendererGLTest::SetUp()
{
    window = std::make_unique<Snapshot::SnapshotWindow>(Width, Height);
    if (!window->Ready())
        GTEST_SKIP() << window->Error();
}

void RendererGLTest::Start(const std::string& scenePath)
{
    renderer = std::make_unique<Renderer>();
    ASSERT_TRUE(renderer->LoadScene(scenePath));
    renderer->InitGL();
    renderer->Resize(Width, Height);
}

Image RendererGLTest::Frame()
{
    renderer->RenderFrame();
    return window->ReadBack();
}

Image RendererGLTest::LitScene(bool fullDiffuse)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    renderer->ApplyCamera();
    renderer->light.UploadPosition();
    renderer->light.Upload(fullDiffuse);
    renderer->DrawScene(true, true, false);
    return window->ReadBack();
}

std::array<int, 2> RendererGLTest::ScreenOf(const Vec3& world)
{
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    renderer->ApplyCamera();
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glPopMatrix();
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x = 0, y = 0, z = 0;
    gluProject(world[0], world[1], world[2], modelview, projection, viewport, &x, &y, &z);
    return {static_cast<int>(std::lround(x)), Height - 1 - static_cast<int>(std::lround(y))};
}

// The scene's depth first, then the object alone in white wherever its
// depth equals what the scene left.
std::vector<bool> RendererGLTest::VisiblePixels(std::uint32_t index)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    renderer->ApplyCamera();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    renderer->DrawScene(false, false, false);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthFunc(GL_EQUAL);
    glColor3f(1, 1, 1);
    const auto& object = renderer->scene.ObjectAt(index);
    glVertexPointer(4, GL_FLOAT, 0, object.positions.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * object.triangles.size()), GL_UNSIGNED_INT,
                   object.triangles.data());
    glPopAttrib();
    const Image mask = window->ReadBack();
    std::vector<bool> visible(static_cast<std::size_t>(mask.width) * mask.height);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            visible[static_cast<std::size_t>(y) * mask.width + x] = mask.At(x, y)[0] == 255;
    return visible;
}

void RendererGLTest::Save(const Image& image, const std::string& name)
{
    Snapshot::WritePng(image, std::string(KORVANA_BINARY_DIR) + "/tests/renderer-" + name + ".png");
}

// The pixel at `at`; a point outside the image fails the test.
const std::uint8_t* PixelAt(const Image& image, const std::array<int, 2>& at)
{
    static const std::uint8_t black[3] = {0, 0, 0};
    if (at[0] < 0 || at[1] < 0 || at[0] >= image.width || at[1] >= image.height) {
        ADD_FAILURE() << "(" << at[0] << ", " << at[1] << ") is outside the image";
        return black;
    }
    return image.At(at[0], at[1]);
}

double Brightness(const Image& image, const std::array<int, 2>& at)
{
    const std::uint8_t* p = PixelAt(image, at);
    return (p[0] + p[1] + p[2]) / 3.0;
}

bool IsYellow(const Image& image, const std::array<int, 2>& at)
{
    const std::uint8_t* p = PixelAt(image, at);
    return p[0] > 200 && p[1] > 200 && p[2] < 80;
}

double Hue(double r, double g, double b)
{
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    const double range = high - low;
    if (range <= 0.0)
        return 0.0;
    double hue = 0.0;
    if (high == r)
        hue = std::fmod((g - b) / range, 6.0);
    else if (high == g)
        hue = (b - r) / range + 2.0;
    else
        hue = (r - g) / range + 4.0;
    hue *= 60.0;
    return hue < 0.0 ? hue + 360.0 : hue;
}

double HueDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 360.0 - d);
}
}
