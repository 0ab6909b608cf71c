// Drawing a dialog's controls with Dear ImGui at their template rectangles,
// and turning clicks, Enter and Escape into the dialog's messages.

#include "DialogState.h"
#include "WindowObjects.h"

#include <imgui.h>

#include <string>

namespace
{
struct PixelRect {
    ImVec2 min;
    ImVec2 size;
};

PixelRect ToPixels(HWND control, float baseUnitX, float baseUnitY)
{
    return PixelRect{ImVec2(control->x * baseUnitX / 4.0f, control->y * baseUnitY / 8.0f),
                     ImVec2(control->width * baseUnitX / 4.0f, control->height * baseUnitY / 8.0f)};
}

bool Disabled(HWND control)
{
    return (control->style & WS_DISABLED) != 0;
}

std::string Label(HWND control, const std::string& text)
{
    return text + "##" + std::to_string(reinterpret_cast<uintptr_t>(control));
}

void Notify(HWND control, WORD code)
{
    SendMessageA(control->parent, WM_COMMAND, MAKEWPARAM(control->controlId, code),
                 reinterpret_cast<LPARAM>(control));
}

// A frame with its caption set into the top edge.
void DrawGroupBox(HWND control, const PixelRect& r)
{
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetWindowPos();
    const float half = ImGui::GetFontSize() / 2.0f;
    const ImVec2 min(origin.x + r.min.x, origin.y + r.min.y + half);
    const ImVec2 max(origin.x + r.min.x + r.size.x, origin.y + r.min.y + r.size.y);
    draw->AddRect(min, max, ImGui::GetColorU32(ImGuiCol_Border));
    const ImVec2 textPos(min.x + 8.0f, origin.y + r.min.y);
    const ImVec2 textSize = ImGui::CalcTextSize(control->text.c_str());
    draw->AddRectFilled(ImVec2(textPos.x - 3.0f, textPos.y),
                        ImVec2(textPos.x + textSize.x + 3.0f, textPos.y + textSize.y),
                        ImGui::GetColorU32(ImGuiCol_WindowBg));
    draw->AddText(textPos, ImGui::GetColorU32(ImGuiCol_Text), control->text.c_str());
}

void DrawStatic(HWND control, const PixelRect& r)
{
    ImGui::SetCursorPos(r.min);
    ImGui::PushClipRect(ImVec2(ImGui::GetWindowPos().x + r.min.x, ImGui::GetWindowPos().y + r.min.y),
                        ImVec2(ImGui::GetWindowPos().x + r.min.x + r.size.x,
                               ImGui::GetWindowPos().y + r.min.y + r.size.y + ImGui::GetFontSize()),
                        true);
    if (Disabled(control))
        ImGui::TextDisabled("%s", control->text.c_str());
    else
        ImGui::TextUnformatted(control->text.c_str());
    ImGui::PopClipRect();
}

void DrawButton(HWND control, const PixelRect& r, bool isDefault)
{
    ImGui::SetCursorPos(r.min);
    if (isDefault)
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 2.0f);
    if (ImGui::Button(Label(control, control->text).c_str(), r.size))
        Notify(control, BN_CLICKED);
    if (isDefault)
        ImGui::PopStyleVar();
}

void DrawCheckBox(HWND control, const PixelRect& r)
{
    ImGui::SetCursorPos(r.min);
    bool checked = control->control->check == BST_CHECKED;
    if (ImGui::Checkbox(Label(control, control->text).c_str(), &checked)) {
        control->control->check = checked ? BST_CHECKED : BST_UNCHECKED;
        Notify(control, BN_CLICKED);
    }
}

void DrawComboBox(HWND control, const PixelRect& r)
{
    Platform::ControlState& state = *control->control;
    ImGui::SetCursorPos(r.min);
    ImGui::SetNextItemWidth(r.size.x);
    const char* preview = state.selection >= 0 ? state.entries[static_cast<std::size_t>(state.selection)].text.c_str() : "";
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), ImVec2(r.size.x * 2.0f, r.size.y));
    if (!ImGui::BeginCombo(Label(control, "").c_str(), preview))
        return;
    for (std::size_t i = 0; i < state.entries.size(); ++i) {
        const bool selected = static_cast<int>(i) == state.selection;
        ImGui::PushID(static_cast<int>(i));  // equal modes have equal texts
        if (ImGui::Selectable(state.entries[i].text.c_str(), selected)) {
            state.selection = static_cast<int>(i);
            Notify(control, CBN_SELCHANGE);
        }
        if (selected)
            ImGui::SetItemDefaultFocus();
        ImGui::PopID();
    }
    // An open list closes on Escape and Enter, as a Windows drop-down does.
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false) ||
        ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false))
        ImGui::CloseCurrentPopup();
    ImGui::EndCombo();
}

void DrawControl(HWND control, const PixelRect& r)
{
    const Platform::ControlState& state = *control->control;
    const DWORD kind = state.style & 0x0F;
    if (state.kind == "STATIC")
        DrawStatic(control, r);
    else if (state.kind == "COMBOBOX")
        DrawComboBox(control, r);
    else if (kind == BS_GROUPBOX)
        DrawGroupBox(control, r);
    else if (kind == BS_AUTOCHECKBOX)
        DrawCheckBox(control, r);
    else
        DrawButton(control, r, kind == BS_DEFPUSHBUTTON);
}

// Enter presses the enabled default button; Escape closes the dialog, as
// its close button does. A list open when the frame began takes both keys.
void HandleKeys(HWND dialog, bool listOpen)
{
    if (listOpen)
        return;
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape), false)) {
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    if (!ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter), false))
        return;
    for (HWND control : dialog->children)
        if (control->control->kind == "BUTTON" && (control->control->style & 0x0F) == BS_DEFPUSHBUTTON &&
            !Disabled(control)) {
            Notify(control, BN_CLICKED);
            return;
        }
}
}

namespace Platform
{
void DrawDialogControls(HWND dialog, float baseUnitX, float baseUnitY)
{
    const bool listOpen = ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(4.0f, 1.0f));
    // A command may end the dialog or change its controls; the list is
    // copied so that drawing goes on over what was there at the start.
    for (HWND control : std::vector<HWND>(dialog->children)) {
        ImGui::BeginDisabled(Disabled(control));
        DrawControl(control, ToPixels(control, baseUnitX, baseUnitY));
        ImGui::EndDisabled();
    }
    ImGui::PopStyleVar();
    HandleKeys(dialog, listOpen);
}
}
