// The program's windows: the base that binds a native window to its object
// through one window procedure, and the OpenGL window with its pixel format,
// context, renderer and message loop.
#pragma once

#include "Renderer.h"

#include "platform/Win32Api.h"

#include <cstdint>
#include <set>

namespace KorvanaFramework
{
class SystemsManager;

// The one procedure of every window and dialog of the program: it finds the
// object on the creation message (WM_NCCREATE, WM_CREATE or WM_INITDIALOG)
// and hands each later message to the object's WndProc.
LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class GLWindowEssentials
{
public:
    virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Surveys the DC's pixel formats: the sample counts of multisampled
    // formats with a stencil buffer, and the largest buffers of the usable
    // formats.
    void QueryPixelFormats();

    HWND Handle() const { return hwnd; }
    const std::set<int32_t>& SampleCounts() const { return sampleCounts; }
    int32_t MaxColorBits() const { return maxColorBits; }
    int32_t MaxDepthBits() const { return maxDepthBits; }
    int32_t MaxStencilBits() const { return maxStencilBits; }

protected:
    explicit GLWindowEssentials(SystemsManager* manager);
    ~GLWindowEssentials() = default;
    GLWindowEssentials(const GLWindowEssentials&) = delete;
    GLWindowEssentials& operator=(const GLWindowEssentials&) = delete;

    // A setting of the configuration, created with the default when absent.
    int32_t ReadInt(const char* path, int32_t defaultValue) const;
    bool ReadBool(const char* path, bool defaultValue) const;

    HWND hwnd = nullptr;
    HDC hdc = nullptr;
    HGLRC hglrc = nullptr;
    std::set<int32_t> sampleCounts;
    int32_t maxColorBits = 0;
    int32_t maxDepthBits = 0;
    int32_t maxAuxBuffers = 0;
    int32_t maxAccumBits = 0;
    int32_t maxStencilBits = 0;
    int32_t maxAlphaBits = 0;
    SystemsManager* manager;

    friend LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
};

class GLWindow final : public GLWindowEssentials
{
public:
    explicit GLWindow(SystemsManager* manager);

    // Opens the window titled `title` and runs the message loop until the
    // window is closed; false when the window could not be made.
    bool Show(const char* title);

    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    Renderer& GetRenderer() { return renderer; }

private:
    void ReadSettings();
    bool SwitchToFullScreen();
    LRESULT Create(HWND window, UINT message, LPARAM lParam);
    bool SetupPixelFormat(int32_t colorBits, int32_t depthBits, int32_t stencilBits, int32_t samples);
    void Destroy();
    void Activate(WPARAM wParam);
    void Paint();
    void MouseMove(LPARAM lParam, WPARAM buttons);

    int32_t width = 0;
    int32_t height = 0;
    int32_t colorBits = 0;
    int32_t refreshRate = 0;
    int32_t fsaaSamples = 0;
    bool fullScreen = false;
    bool vsync = false;
    DEVMODEA displayMode{};
    Renderer renderer;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
};
}
