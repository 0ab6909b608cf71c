#include "SnapshotWindow.h"

#include <GL/glew.h>

#include <algorithm>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace Snapshot
{
namespace
{
const char* const ClassName = "KorvanaSnapshot";

// The class is registered once per process; later windows reuse it.
bool RegisterSnapshotClass()
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = ClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}
}

SnapshotWindow::SnapshotWindow(int width, int height) : width(width), height(height)
{
    ready = Open();
}

SnapshotWindow::~SnapshotWindow()
{
    if (context != nullptr) {
        wglMakeCurrent(dc, nullptr);
        wglDeleteContext(context);
    }
    if (window != nullptr)
        DestroyWindow(window);
}

// A pop-up window has no frame, so its outer size is its client size.
bool SnapshotWindow::Open()
{
    if (!RegisterSnapshotClass()) {
        error = "the window class could not be registered";
        return false;
    }
    window = CreateWindowExA(0, ClassName, "Korvana snapshot", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                             nullptr, nullptr);
    if (window == nullptr) {
        error = "no window: is an X display available?";
        return false;
    }
    dc = GetDC(window);
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 24;
    descriptor.cStencilBits = 8;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(dc, &descriptor);
    if (format == 0 || !SetPixelFormat(dc, format, &descriptor)) {
        error = "no pixel format with depth and stencil";
        return false;
    }
    context = wglCreateContext(dc);
    if (context == nullptr || !wglMakeCurrent(dc, context)) {
        error = "no GL context";
        return false;
    }
    if (glewInit() != GLEW_OK) {
        error = "GLEW could not start";
        return false;
    }
    return true;
}

Image SnapshotWindow::ReadBack() const
{
    Image image;
    image.width = width;
    image.height = height;
    image.rgb.assign(static_cast<std::size_t>(3) * width * height, 0);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    return image;
}

void SnapshotWindow::Present() const
{
    SwapBuffers(dc);
}

bool WritePng(const Image& image, const std::string& path)
{
    // GL rows start at the bottom; a PNG starts at the top.
    const std::size_t stride = static_cast<std::size_t>(3) * image.width;
    std::vector<std::uint8_t> topFirst(image.rgb.size());
    for (int row = 0; row < image.height; ++row)
        std::copy_n(image.rgb.begin() + stride * row, stride, topFirst.begin() + stride * (image.height - 1 - row));
    return stbi_write_png(path.c_str(), image.width, image.height, 3, topFirst.data(), static_cast<int>(stride)) != 0;
}

std::string ExecutableDirectory()
{
    char path[4096] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string executable(path, length);
    return executable.substr(0, executable.find_last_of('/') + 1);
}
}
