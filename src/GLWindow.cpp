// The shared window procedure, the pixel-format survey, and the GL window:
// settings, full screen, creation of its format and context, the message
// loop and the handling of its messages.

#define KORVANA_UNIT "src/GLWindow"

#include "GLWindow.h"

#include "DisplayModeList.h"
#include "Log.h"
#include "MainConfig.h"
#include "SystemsManager.h"

#include "tweakbar/TweakBar.h"

#include <GL/glew.h>

#include <algorithm>
#include <vector>

namespace KorvanaFramework
{
namespace
{
const int32_t iconResource = 103;
}

LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE || message == WM_CREATE || message == WM_INITDIALOG) {
        GLWindowEssentials* object =
            message == WM_INITDIALOG
                ? reinterpret_cast<GLWindowEssentials*>(lParam)
                : static_cast<GLWindowEssentials*>(
                      reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(object));
        object->hwnd = window;
    }
    auto* object = reinterpret_cast<GLWindowEssentials*>(GetWindowLongA(window, GWL_USERDATA));
    if (!object)
        return 0;
    return object->WndProc(window, message, wParam, lParam);
}

GLWindowEssentials::GLWindowEssentials(SystemsManager* manager) : manager(manager)
{
}

int32_t GLWindowEssentials::ReadInt(const char* path, int32_t defaultValue) const
{
    int value = defaultValue;
    return manager->GetConfig()->GetValue(path, value);
}

bool GLWindowEssentials::ReadBool(const char* path, bool defaultValue) const
{
    bool value = defaultValue;
    return manager->GetConfig()->GetValue(path, value);
}

// A format is usable for the program's windows when it is accelerated,
// double-buffered RGBA with a depth buffer of 16 bits or more. The depth
// asked for later is the largest among the formats with the most stencil
// bits, so that one format offers both.
void GLWindowEssentials::QueryPixelFormats()
{
    sampleCounts.clear();
    maxColorBits = maxDepthBits = maxAuxBuffers = maxAccumBits = maxStencilBits = maxAlphaBits = 0;
    if (!WGLEW_ARB_pixel_format || !WGLEW_ARB_multisample) {
        maxColorBits = maxDepthBits = maxAuxBuffers = maxAccumBits = maxStencilBits = 32;
        maxAlphaBits = 8;
        return;
    }
    int count = 0;
    const int countAttribute = WGL_NUMBER_PIXEL_FORMATS_ARB;
    wglGetPixelFormatAttribivARB(hdc, 1, 0, 1, &countAttribute, &count);

    const int attributes[] = {WGL_SUPPORT_OPENGL_ARB, WGL_ACCELERATION_ARB, WGL_DRAW_TO_WINDOW_ARB,
                              WGL_DOUBLE_BUFFER_ARB,  WGL_PIXEL_TYPE_ARB,   WGL_DEPTH_BITS_ARB,
                              WGL_STENCIL_BITS_ARB,   WGL_SAMPLE_BUFFERS_ARB, WGL_SAMPLES_ARB,
                              WGL_COLOR_BITS_ARB,     WGL_DEPTH_BITS_ARB,   WGL_AUX_BUFFERS_ARB,
                              WGL_ACCUM_BITS_ARB,     WGL_ALPHA_BITS_ARB};
    struct Usable {
        int depth;
        int stencil;
    };
    std::vector<Usable> usable;
    for (int format = 1; format <= count; ++format) {
        int v[14] = {};
        wglGetPixelFormatAttribivARB(hdc, format, 0, 14, attributes, v);
        if (v[0] != 1 || v[1] != WGL_FULL_ACCELERATION_ARB || v[2] != 1 || v[3] != 1 ||
            v[4] != WGL_TYPE_RGBA_ARB || v[5] < 16)
            continue;
        if (v[6] > maxStencilBits)
            maxStencilBits = v[6];
        if (v[6] >= 8 && v[7] == 1)
            sampleCounts.insert(v[8]);
        maxColorBits = std::max(maxColorBits, v[9]);
        maxAuxBuffers = std::max(maxAuxBuffers, v[11]);
        maxAccumBits = std::max(maxAccumBits, v[12]);
        maxAlphaBits = std::max(maxAlphaBits, v[13]);
        usable.push_back({v[10], v[6]});
    }
    for (const Usable& format : usable)
        if (format.stencil == maxStencilBits)
            maxDepthBits = std::max(maxDepthBits, format.depth);
}

GLWindow::GLWindow(SystemsManager* manager) : GLWindowEssentials(manager)
{
}

void GLWindow::ReadSettings()
{
    width = ReadInt("Window.Screen.Width", 800);
    height = ReadInt("Window.Screen.Height", 600);
    refreshRate = ReadInt("Window.Screen.RefreshRate", 85);
    colorBits = ReadInt("Window.Screen.Color", 32);
    fullScreen = ReadBool("Window.FullScreen", false);
    if (ReadBool("Renderer.FSAA", false))
        fsaaSamples = ReadInt("Renderer.FSAALevel", 2);
    else
        fsaaSamples = 0;
    vsync = ReadBool("Renderer.VSync", false);
}

// The closest display mode to the settings. A display without modes has
// none to switch to, which counts as a refused switch.
bool GLWindow::SwitchToFullScreen()
{
    const DisplayModeList& modes = *manager->GetDisplayModes();
    if (modes.Empty())
        return false;
    const DisplayMode mode = modes.FindBest(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                            static_cast<uint32_t>(colorBits),
                                            static_cast<uint32_t>(refreshRate));
    displayMode = DEVMODEA{};
    displayMode.dmSize = sizeof(DEVMODEA);
    EnumDisplaySettingsA(nullptr, mode.modeIndex, &displayMode);
    return ChangeDisplaySettingsA(&displayMode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool GLWindow::Show(const char* title)
{
    ReadSettings();
    if (fullScreen && !SwitchToFullScreen())
        return false;
    // A window that cannot open gives the desktop its mode back at once.
    auto restoreDesktop = [this] {
        if (fullScreen)
            ChangeDisplaySettingsA(nullptr, 0);
    };

    HINSTANCE instance = manager->GetInstance();
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = StaticWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "GLWindow";
    if (!RegisterClassA(&windowClass)) {
        restoreDesktop();
        return false;
    }

    const DWORD exStyle = fullScreen ? WS_EX_TOPMOST : 0;
    const DWORD style = (fullScreen ? WS_POPUP : WS_OVERLAPPEDWINDOW) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HWND window = CreateWindowExA(exStyle, "GLWindow", title, style, 0, 0, width, height, nullptr,
                                  nullptr, instance, this);
    if (!window) {
        restoreDesktop();
        MessageBoxA(nullptr, "Nie można utworzyć okna OpenGL!", "Błąd!", MB_ICONERROR);
        LOG_ERROR("Nie można utworzyć okna OpenGL!");
        return false;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

LRESULT GLWindow::Create(HWND window, UINT, LPARAM)
{
    hdc = GetDC(window);
    QueryPixelFormats();
    if (!SetupPixelFormat(colorBits, maxDepthBits, maxStencilBits, fsaaSamples)) {
        LOG_ERROR("Wymagany format pikseli jest niedostępny!");
        return -1;
    }
    hglrc = wglCreateContext(hdc);
    wglMakeCurrent(hdc, hglrc);
    if (WGLEW_EXT_swap_control)
        wglSwapIntervalEXT(vsync ? 1 : 0);

    if (!renderer.LoadScene(manager->GetApplicationDirectory() + "Scene/test.obj"))
        LOG_ERROR("Plik sceny 'Scene/test.obj' nie został znaleziony.");
    renderer.multisample = fsaaSamples != 0;
    renderer.InitGL();
    return 0;
}

// Multisampled formats come only from the WGL query; without samples the
// GDI descriptor chooses. There is no fall-back between the two.
bool GLWindow::SetupPixelFormat(int32_t colorBits, int32_t depthBits, int32_t stencilBits, int32_t samples)
{
    PIXELFORMATDESCRIPTOR descriptor{};
    int format = 0;
    if (WGLEW_ARB_pixel_format && WGLEW_ARB_multisample && samples != 0) {
        const int attributes[] = {WGL_SUPPORT_OPENGL_ARB, 1,
                                  WGL_DRAW_TO_WINDOW_ARB, 1,
                                  WGL_DOUBLE_BUFFER_ARB, 1,
                                  WGL_ACCELERATION_ARB, WGL_FULL_ACCELERATION_ARB,
                                  WGL_PIXEL_TYPE_ARB, WGL_TYPE_RGBA_ARB,
                                  WGL_COLOR_BITS_ARB, colorBits,
                                  WGL_ACCUM_BITS_ARB, 0,
                                  WGL_DEPTH_BITS_ARB, depthBits,
                                  WGL_STENCIL_BITS_ARB, stencilBits,
                                  WGL_AUX_BUFFERS_ARB, 0,
                                  WGL_SAMPLE_BUFFERS_ARB, 1,
                                  WGL_SAMPLES_ARB, samples,
                                  0};
        const FLOAT floatAttributes[] = {0.0f, 0.0f};
        UINT found = 0;
        if (!wglChoosePixelFormatARB(hdc, attributes, floatAttributes, 1, &format, &found) || found == 0)
            format = 0;
    } else {
        descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
        descriptor.nVersion = 1;
        descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        descriptor.iPixelType = PFD_TYPE_RGBA;
        descriptor.cColorBits = static_cast<BYTE>(colorBits);
        descriptor.cDepthBits = static_cast<BYTE>(depthBits);
        descriptor.cStencilBits = static_cast<BYTE>(stencilBits);
        descriptor.iLayerType = PFD_MAIN_PLANE;
        format = ChoosePixelFormat(hdc, &descriptor);
    }
    return format != 0 && SetPixelFormat(hdc, format, &descriptor);
}

LRESULT GLWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (TwEventWin(window, message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        return Create(window, message, lParam);
    case WM_DESTROY:
        Destroy();
        return 0;
    case WM_SIZE:
        return renderer.Resize(LOWORD(lParam), HIWORD(lParam));
    case WM_ACTIVATE:
        if (fullScreen)
            Activate(wParam);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(lParam, wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        lastMouseX = LOWORD(lParam);
        lastMouseY = HIWORD(lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The context goes first, then the desktop gets its mode back.
void GLWindow::Destroy()
{
    wglMakeCurrent(hdc, nullptr);
    wglDeleteContext(hglrc);
    hglrc = nullptr;
    if (fullScreen)
        ChangeDisplaySettingsA(nullptr, 0);
    PostQuitMessage(0);
}

// Leaving full screen gives the desktop its mode back and minimises the
// window; coming back switches the mode again.
void GLWindow::Activate(WPARAM wParam)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(WINDOWPLACEMENT);
    placement.flags = WPF_RESTORETOMAXIMIZED;
    placement.rcNormalPosition = RECT{0, 0, width, height};
    if (LOWORD(wParam) != WA_INACTIVE) {
        ChangeDisplaySettingsA(&displayMode, CDS_FULLSCREEN);
        placement.showCmd = SW_RESTORE;
    } else {
        ChangeDisplaySettingsA(nullptr, 0);
        placement.showCmd = SW_SHOWMINNOACTIVE;
    }
    SetWindowPlacement(hwnd, &placement);
}

// The window is never validated, so the next paint message follows at once.
void GLWindow::Paint()
{
    renderer.RenderFrame();
    SwapBuffers(hdc);
}

void GLWindow::MouseMove(LPARAM lParam, WPARAM buttons)
{
    const int32_t x = LOWORD(lParam);
    const int32_t y = HIWORD(lParam);
    const int32_t dx = x - lastMouseX;
    const int32_t dy = y - lastMouseY;
    if (buttons & MK_LBUTTON)
        renderer.RotateCamera(static_cast<float>(dx * 0.1f), static_cast<float>(dy * 0.1f));
    if (buttons & MK_RBUTTON) {
        renderer.panX += static_cast<float>(dx * 0.005f);
        renderer.panY += static_cast<float>(dy * 0.005f);
    }
    if (buttons & MK_MBUTTON)
        renderer.ZoomCamera(static_cast<float>(dy * 0.01f));
    lastMouseX = x;
    lastMouseY = y;
}
}
