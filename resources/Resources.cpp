// The resources of the executable: the setup dialog's template and the
// window icon.

#include "platform/ResourceTable.h"

#include <algorithm>
#include <cmath>

namespace
{
using Platform::DialogItemTemplate;

constexpr DWORD checkBox = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD dropDown = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

const Platform::DialogTemplate setupDialog{
    101,
    "Korvana - Konfiguracja",
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER | DS_SETFONT |
        DS_FIXEDSYS,
    343,
    167,
    "MS Shell Dlg",
    8,
    {
        {IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 227, 146, 50, 14},
        {IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 286, 146, 50, 14},
        {1001, "BUTTON", "Pełnoekranowe wygładzanie krawędzi (FSAA)", checkBox | WS_DISABLED, 165,
         102, 162, 10},
        {1002, "BUTTON", "Pełny ekran", checkBox, 15, 106, 86, 10},
        {1008, "BUTTON", "Rozmiar okna", BS_GROUPBOX, 7, 71, 140, 50},
        {1003, "BUTTON", "Synchronizacja pionowa (VSync)", checkBox | WS_DISABLED, 165, 84, 162, 10},
        {1006, "COMBOBOX", "", dropDown, 15, 85, 123, 200},
        {-1, "BUTTON", "Opcje", BS_GROUPBOX, 156, 71, 180, 67},
        {1009, "COMBOBOX", "", dropDown | WS_DISABLED, 253, 116, 37, 58},
        {1014, "STATIC", "Jaskość wygładzania", SS_LEFT | WS_DISABLED, 177, 119, 68, 8},
        {-1, "STATIC", "Producent:", SS_LEFT, 15, 20, 36, 8},
        {-1, "BUTTON", "Informacje o sterowniku", BS_GROUPBOX, 7, 7, 329, 59},
        {-1, "STATIC", "Urządzenie:", SS_LEFT, 15, 35, 39, 8},
        {-1, "STATIC", "Wersja OpenGL:", SS_LEFT, 15, 50, 54, 8},
        {1011, "STATIC", "VENDOR", SS_LEFT, 75, 20, 252, 8},
        {1012, "STATIC", "VERSION", SS_LEFT, 75, 50, 252, 8},
        {1013, "STATIC", "RENDERER", SS_LEFT, 75, 35, 252, 8},
    }};

uint32_t Argb(float a, float r, float g, float b)
{
    auto byte = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// The program's emblem: an orange ball lit from the upper left above the
// soft shadow it casts on the ground.
Platform::IconImage MakeIcon()
{
    const int size = 32;
    Platform::IconImage icon{103, size, size, std::vector<uint32_t>(size * size, 0)};
    const float cx = 14.5f, cy = 13.0f, radius = 9.5f;
    const float lx = -0.5f, ly = -0.6f, lz = 0.62f;  // towards the light
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float sx = (px - 19.5f) / 11.0f, sy = (py - 27.0f) / 3.5f;
            const float shadow = 1.0f - (sx * sx + sy * sy);
            uint32_t pixel = shadow > 0.0f ? Argb(std::min(shadow * 2.0f, 0.75f), 0.1f, 0.1f, 0.15f) : 0;
            const float nx = (px - cx) / radius, ny = (py - cy) / radius;
            const float d = nx * nx + ny * ny;
            if (d <= 1.0f) {
                const float nz = std::sqrt(1.0f - d);
                const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
                const float highlight = std::pow(std::max(0.0f, nz * 0.8f + diffuse * 0.2f), 24.0f);
                const float light = 0.25f + 0.75f * diffuse;
                pixel = Argb(1.0f, 0.95f * light + highlight, 0.55f * light + highlight,
                             0.15f * light + highlight);
            }
            icon.argb[y * size + x] = pixel;
        }
    }
    return icon;
}
}

namespace Platform
{
const DialogTemplate* FindDialogTemplate(int id)
{
    return id == setupDialog.id ? &setupDialog : nullptr;
}

const IconImage* FindIconImage(int id)
{
    static const IconImage icon = MakeIcon();
    return id == icon.id ? &icon : nullptr;
}
}
