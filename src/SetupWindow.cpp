// The setup dialog: its temporary context and GLEW start, the controls
// filled from the driver and the configuration, and the choices stored on OK.

#define KORVANA_UNIT "src/SetupWindow"

#include "SetupWindow.h"

#include "DisplayModeList.h"
#include "Log.h"
#include "MainConfig.h"
#include "SystemsManager.h"

#include <GL/glew.h>

#include <string>

namespace KorvanaFramework
{
namespace
{
void WriteInt(MainConfig& config, const char* path, int value)
{
    config.SetValue(path, value);
}

void WriteBool(MainConfig& config, const char* path, bool value)
{
    config.SetValue(path, value);
}

bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

LRESULT SelectedItemData(HWND dialog, int id)
{
    const LRESULT selection = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
}

void AddEntry(HWND dialog, int id, const std::string& text, LPARAM data)
{
    const LRESULT index =
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendDlgItemMessageA(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

const char* GLText(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}
}

SetupWindow::SetupWindow(SystemsManager* manager) : GLWindowEssentials(manager)
{
}

LRESULT SetupWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitDialog(window, message, lParam);
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(window, 0);
        return FALSE;
    default:
        return FALSE;
    }
}

// A plain 32-bit double-buffered context on the dialog itself: enough to
// ask the driver for its strings and extensions.
bool SetupWindow::CreateTemporaryContext()
{
    hdc = GetDC(hwnd);
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    SetPixelFormat(hdc, ChoosePixelFormat(hdc, &descriptor), &descriptor);
    hglrc = wglCreateContext(hdc);
    wglMakeCurrent(hdc, hglrc);

    const GLenum error = glewInit();
    if (error == GLEW_OK)
        return true;
    const std::string text = std::string("Błąd inicjalizacji GLEW!\n") +
                             reinterpret_cast<const char*>(glewGetErrorString(error));
    LOG_ERROR(text);
    MessageBoxA(hwnd, text.c_str(), "Błąd", MB_ICONERROR);
    wglMakeCurrent(hdc, nullptr);
    wglDeleteContext(hglrc);
    hglrc = nullptr;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    return false;
}

void SetupWindow::ShowDriverStrings()
{
    SetDlgItemTextA(hwnd, VendorText, GLText(GL_VENDOR));
    SetDlgItemTextA(hwnd, RendererText, GLText(GL_RENDERER));
    SetDlgItemTextA(hwnd, VersionText, GLText(GL_VERSION));
}

int SetupWindow::InitDialog(HWND, UINT, LPARAM)
{
    if (!CreateTemporaryContext())
        return TRUE;
    ShowDriverStrings();
    if (WGLEW_EXT_swap_control) {
        EnableWindow(GetDlgItem(hwnd, VSyncCheck), TRUE);
        if (ReadBool("Renderer.VSync", false))
            CheckDlgButton(hwnd, VSyncCheck, BST_CHECKED);
    }
    CheckDlgButton(hwnd, FullScreenCheck,
                   ReadBool("Window.FullScreen", false) ? BST_CHECKED : BST_UNCHECKED);
    QueryPixelFormats();
    wglMakeCurrent(hdc, nullptr);
    wglDeleteContext(hglrc);
    hglrc = nullptr;

    FillModeList();
    if (WGLEW_ARB_multisample && !sampleCounts.empty()) {
        FillLevelList();
    } else {
        WriteBool(*manager->GetConfig(), "Renderer.FSAA", false);
        CheckDlgButton(hwnd, FsaaCheck, BST_UNCHECKED);
    }
    return TRUE;
}

// The modes in their sorted order, each entry's data its position; the
// configured mode, or the closest one, is selected.
void SetupWindow::FillModeList()
{
    DisplayModeList& modes = *manager->GetDisplayModes();
    modes.ResetCursor();
    LPARAM position = 0;
    for (std::string text = modes.NextText(); !text.empty(); text = modes.NextText())
        AddEntry(hwnd, ModeList, text, position++);

    const int width = ReadInt("Window.Screen.Width", 800);
    const int height = ReadInt("Window.Screen.Height", 600);
    const int color = ReadInt("Window.Screen.Color", 32);
    const int refreshRate = ReadInt("Window.Screen.RefreshRate", 85);
    if (modes.Empty())
        return;
    const DisplayMode best = modes.FindBest(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                            static_cast<uint32_t>(color),
                                            static_cast<uint32_t>(refreshRate));
    const std::string text = DisplayModeList::ToString(best);
    SendDlgItemMessageA(hwnd, ModeList, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text.c_str()));
}

// The sample counts on offer; the configured one is selected, or the
// smallest when the configured one is not offered.
void SetupWindow::FillLevelList()
{
    EnableWindow(GetDlgItem(hwnd, FsaaCheck), TRUE);
    if (ReadBool("Renderer.FSAA", false)) {
        CheckDlgButton(hwnd, FsaaCheck, BST_CHECKED);
        EnableWindow(GetDlgItem(hwnd, LevelList), TRUE);
        EnableWindow(GetDlgItem(hwnd, LevelLabel), TRUE);
    } else {
        CheckDlgButton(hwnd, FsaaCheck, BST_UNCHECKED);
    }
    for (int32_t count : sampleCounts)
        AddEntry(hwnd, LevelList, std::to_string(count), count);
    int level = ReadInt("Renderer.FSAALevel", 2);
    if (!sampleCounts.count(level))
        level = *sampleCounts.begin();
    const std::string text = std::to_string(level);
    SendDlgItemMessageA(hwnd, LevelList, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetupWindow::OnCommand(int controlId, HWND control)
{
    switch (controlId) {
    case FsaaCheck: {
        const BOOL enable = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EnableWindow(GetDlgItem(hwnd, LevelList), enable);
        EnableWindow(GetDlgItem(hwnd, LevelLabel), enable);
        break;
    }
    case IDOK:
        StoreChoices();
        EndDialog(hwnd, 1);
        break;
    case IDCANCEL:
        EndDialog(hwnd, 0);
        break;
    default:
        break;
    }
}

// The selected mode and the check boxes go to the configuration. The level
// list's selection is stored even with anti-aliasing off (-1 for an empty
// list).
void SetupWindow::StoreChoices()
{
    MainConfig& config = *manager->GetConfig();
    DisplayModeList& modes = *manager->GetDisplayModes();
    const LRESULT position = SelectedItemData(hwnd, ModeList);
    if (position >= 0 && static_cast<uint32_t>(position) < modes.Count()) {
        const DisplayMode mode = modes.ModeAt(static_cast<uint32_t>(position));
        WriteInt(config, "Window.Screen.Width", static_cast<int>(mode.width));
        WriteInt(config, "Window.Screen.Height", static_cast<int>(mode.height));
        WriteInt(config, "Window.Screen.Color", static_cast<int>(mode.bitsPerPixel));
        WriteInt(config, "Window.Screen.RefreshRate", static_cast<int>(mode.frequency));
    }
    WriteBool(config, "Window.FullScreen", IsChecked(hwnd, FullScreenCheck));
    WriteBool(config, "Renderer.FSAA", IsChecked(hwnd, FsaaCheck));
    WriteInt(config, "Renderer.FSAALevel", static_cast<int>(SelectedItemData(hwnd, LevelList)));
    WriteBool(config, "Renderer.VSync", IsChecked(hwnd, VSyncCheck));
}
}
