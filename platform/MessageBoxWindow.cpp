#include "MessageBoxWindow.h"

#include "ImGuiModalWindow.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Platform
{
namespace
{
const ImU32 contentColour = IM_COL32(255, 255, 255, 255);
const ImU32 buttonStripColour = IM_COL32(240, 240, 240, 255);
const ImU32 iconColour = IM_COL32(232, 17, 35, 255);
const ImU32 iconCrossColour = IM_COL32(255, 255, 255, 255);
const ImVec4 defaultButtonBorder(0.0f, 0.47f, 0.84f, 1.0f);

struct Button {
    const char* label;
    int result;
};

// Where everything of one box lies, in client pixels.
struct Layout {
    ImVec2 client;
    ImVec2 iconCentre;
    float iconRadius = 0.0f;
    ImVec2 textPosition;
    float wrapWidth = 0.0f;
    float stripTop = 0.0f;
    ImVec2 buttonSize;
    std::vector<ImVec2> buttonPositions;
};

std::vector<Button> ButtonsOf(UINT type)
{
    if ((type & 0xFu) == MB_OKCANCEL)
        return {{"OK", IDOK}, {"Anuluj", IDCANCEL}};
    return {{"OK", IDOK}};
}

// Text beside the icon at the top, a grey strip with the buttons at its
// right below, all measured in the window's font so that the box fits its
// content; long lines wrap at a width that stays well inside the screen.
Layout LayOut(const ImGuiModalWindow& window, const ImVec2& screen, const std::string& text,
              bool icon, const std::vector<Button>& buttons)
{
    const float font = window.FontSize();
    const float margin = std::round(font * 1.4f);
    const float iconSize = icon ? std::round(font * 2.2f) : 0.0f;
    const float iconGap = icon ? std::round(font * 0.8f) : 0.0f;
    const float buttonGap = std::round(font * 0.6f);
    const float stripPadding = std::round(font * 0.8f);

    Layout layout;
    layout.wrapWidth = std::min(std::round(font * 40.0f), std::round(screen.x * 0.6f));
    const ImVec2 textSize = window.MeasureText(text.c_str(), layout.wrapWidth);

    float buttonWidth = std::round(font * 5.8f);
    for (const Button& button : buttons)
        buttonWidth = std::max(buttonWidth, window.MeasureText(button.label).x + 2.0f * font);
    layout.buttonSize = ImVec2(buttonWidth, std::round(font * 1.8f));
    const float buttonsWidth = buttons.size() * buttonWidth + (buttons.size() - 1) * buttonGap;

    const float contentHeight = std::max(iconSize, textSize.y);
    const float contentWidth = iconSize + iconGap + textSize.x;
    layout.client.x = std::ceil(std::max(contentWidth, buttonsWidth) + 2.0f * margin);
    layout.stripTop = std::ceil(contentHeight + 2.0f * margin);
    layout.client.y = layout.stripTop + layout.buttonSize.y + 2.0f * stripPadding;

    layout.iconRadius = iconSize * 0.5f;
    layout.iconCentre = ImVec2(margin + layout.iconRadius, margin + contentHeight * 0.5f);
    layout.textPosition = ImVec2(margin + iconSize + iconGap,
                                 std::round(margin + (contentHeight - textSize.y) * 0.5f));
    float x = layout.client.x - margin - buttonsWidth;
    for (size_t i = 0; i < buttons.size(); ++i, x += buttonWidth + buttonGap)
        layout.buttonPositions.push_back(ImVec2(x, layout.stripTop + stripPadding));
    return layout;
}

// The error icon: a red disc with a white diagonal cross.
void DrawErrorIcon(ImDrawList* drawList, const ImVec2& origin, const Layout& layout)
{
    const ImVec2 centre(origin.x + layout.iconCentre.x, origin.y + layout.iconCentre.y);
    const float radius = layout.iconRadius;
    const float arm = radius * 0.38f;
    const float thickness = std::max(2.0f, radius * 0.16f);
    drawList->AddCircleFilled(centre, radius, iconColour, 48);
    drawList->AddLine(ImVec2(centre.x - arm, centre.y - arm), ImVec2(centre.x + arm, centre.y + arm),
                      iconCrossColour, thickness);
    drawList->AddLine(ImVec2(centre.x - arm, centre.y + arm), ImVec2(centre.x + arm, centre.y - arm),
                      iconCrossColour, thickness);
}

// Light, square-cornered controls on a white face.
void SetStyle(ImGuiStyle& style)
{
    ImGui::StyleColorsLight(&style);
    style.WindowRounding = 0.0f;
    style.FrameRounding = 0.0f;
    style.FrameBorderSize = 1.0f;
    style.Colors[ImGuiCol_WindowBg] = ImGui::ColorConvertU32ToFloat4(contentColour);
    style.Colors[ImGuiCol_Text] = ImVec4(0.0f, 0.0f, 0.0f, 1.0f);
    style.Colors[ImGuiCol_Button] = ImVec4(0.88f, 0.88f, 0.88f, 1.0f);
    style.Colors[ImGuiCol_ButtonHovered] = ImVec4(0.90f, 0.95f, 0.98f, 1.0f);
    style.Colors[ImGuiCol_ButtonActive] = ImVec4(0.80f, 0.89f, 0.97f, 1.0f);
    style.Colors[ImGuiCol_Border] = ImVec4(0.68f, 0.68f, 0.68f, 1.0f);
}

// One frame of the box; sets result and returns false once it is answered.
bool DrawBox(const ImGuiModalWindow& window, const Layout& layout, const std::string& text,
             bool icon, const std::vector<Button>& buttons, int& result)
{
    ImDrawList* drawList = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    drawList->AddRectFilled(ImVec2(origin.x, origin.y + layout.stripTop),
                            ImVec2(origin.x + layout.client.x, origin.y + layout.client.y),
                            buttonStripColour);
    if (icon)
        DrawErrorIcon(drawList, origin, layout);

    ImGui::SetCursorPos(layout.textPosition);
    ImGui::PushTextWrapPos(layout.textPosition.x + layout.wrapWidth);
    ImGui::TextUnformatted(text.c_str(), text.c_str() + text.size());
    ImGui::PopTextWrapPos();

    const int cancelResult = buttons.back().result;
    for (size_t i = 0; i < buttons.size(); ++i) {
        ImGui::SetCursorPos(layout.buttonPositions[i]);
        const bool isDefault = i == 0;
        if (isDefault)
            ImGui::PushStyleColor(ImGuiCol_Border, defaultButtonBorder);
        if (ImGui::Button(buttons[i].label, layout.buttonSize))
            result = buttons[i].result;
        if (isDefault)
            ImGui::PopStyleColor();
    }
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false))
        result = IDOK;
    else if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false) ||
             window.CloseRequested())
        result = cancelResult;
    return result == 0;
}
}

void SetLightStyle(ImGuiStyle& style)
{
    SetStyle(style);
}

int ShowMessageBoxWindow(Display* display, Window owner, const std::string& text,
                         const std::string& caption, UINT type)
{
    const bool icon = (type & 0xF0u) == MB_ICONERROR;
    const std::vector<Button> buttons = ButtonsOf(type);

    ImGuiModalWindow window;
    SetStyle(window.Style());
    const Layout layout = LayOut(window, ImGuiModalWindow::ScreenSize(display), text, icon, buttons);
    if (!window.Create(display, caption, static_cast<int>(layout.client.x),
                       static_cast<int>(layout.client.y), owner))
        return 0;

    int result = 0;
    window.Run([&] { return DrawBox(window, layout, text, icon, buttons, result); });
    return result;
}
}
