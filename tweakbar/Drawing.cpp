#include "Drawing.h"

#include "Events.h"
#include "Layout.h"
#include "Values.h"
#include "ui/Font.h"
#include "ui/ImGuiGL1Renderer.h"
#include "ui/Input.h"

#include <imgui.h>

#include <algorithm>
#include <cfloat>

namespace TweakBar
{
const char* const helpWindowName = "Pomoc###TweakBarHelp";

namespace
{
constexpr float fontPixels = 13.0f;
constexpr float helpWrapWidth = 320.0f;

ImVec4 BarColor(const BarSettings& settings, float alpha)
{
    return ImVec4(settings.color[0] / 255.0f, settings.color[1] / 255.0f, settings.color[2] / 255.0f, alpha);
}

// The row's help as a tooltip of the item drawn last.
void HelpTooltip(const std::string& help)
{
    if (help.empty() || !ImGui::IsItemHovered())
        return;
    ImGui::BeginTooltip();
    ImGui::PushTextWrapPos(helpWrapWidth);
    ImGui::TextUnformatted(help.c_str());
    ImGui::PopTextWrapPos();
    ImGui::EndTooltip();
}

// A row's label in the first column: a node that opens when the row has
// rows of its own (openState given), else plain text. The value cell's place
// is noted in the row drawn, when given.
bool LabelCell(const std::string& label, const std::string& help, Settings* openState, Entry* drawn)
{
    ImGui::TableNextRow();
    ImGui::TableSetColumnIndex(0);
    bool open = false;
    if (openState != nullptr) {
        ImGui::SetNextItemOpen(openState->open, ImGuiCond_Always);
        open = ImGui::TreeNodeEx(label.c_str(), ImGuiTreeNodeFlags_SpanFullWidth);
        openState->open = open;
    } else {
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(label.c_str());
    }
    HelpTooltip(help);
    ImGui::TableSetColumnIndex(1);
    ImGui::SetNextItemWidth(-FLT_MIN);
    if (drawn != nullptr) {
        const ImVec2 corner = ImGui::GetCursorScreenPos();
        drawn->valueRect = {corner.x, corner.y, corner.x + ImGui::GetContentRegionAvail().x,
                            corner.y + ImGui::GetFrameHeight()};
        drawn->drawn = true;
    }
    return open;
}

void BoolWidget(const Field& field, const Bytes& bytes)
{
    bool value = NumberAt(field, bytes) != 0;
    const std::string text = ValueText(field, bytes) + "##value";
    if (ImGui::Checkbox(text.c_str(), &value))
        EditNumber(field, value ? 1 : 0);
}

void IntWidget(const Field& field, const Bytes& bytes)
{
    const Settings& settings = field.FieldSettings();
    int value = static_cast<int>(NumberAt(field, bytes));
    const int low = settings.min ? static_cast<int>(*settings.min) : INT32_MIN;
    const int high = settings.max ? static_cast<int>(*settings.max) : INT32_MAX;
    if (ImGui::DragInt("##value", &value, DragSpeed(field), low, high, "%d", ImGuiSliderFlags_AlwaysClamp))
        EditNumber(field, value);
}

void FloatWidget(const Field& field, const Bytes& bytes)
{
    const Settings& settings = field.FieldSettings();
    float value = static_cast<float>(NumberAt(field, bytes));
    const float low = settings.min ? static_cast<float>(*settings.min) : -FLT_MAX;
    const float high = settings.max ? static_cast<float>(*settings.max) : FLT_MAX;
    const std::string format = FloatFormat(settings);
    if (ImGui::DragFloat("##value", &value, DragSpeed(field), low, high, format.c_str(),
                         ImGuiSliderFlags_AlwaysClamp))
        EditNumber(field, value);
}

void EnumWidget(const Field& field, const Bytes& bytes)
{
    const double current = NumberAt(field, bytes);
    if (!ImGui::BeginCombo("##value", ValueText(field, bytes).c_str()))
        return;
    for (const auto& [value, label] : EnumValuesOf(field)) {
        if (ImGui::Selectable(label.c_str(), value == current))
            EditNumber(field, value);
    }
    ImGui::EndCombo();
}

// A colour's swatch; a click opens its picker.
void ColorWidget(const Field& field, const Bytes& bytes)
{
    float rgba[4];
    ColorAt(field, bytes, rgba);
    ImGuiColorEditFlags flags = ImGuiColorEditFlags_NoInputs | ImGuiColorEditFlags_NoLabel |
                                ImGuiColorEditFlags_Float;
    const bool alpha = field.type->kind == TypeKind::Color4 && !field.FieldSettings().noalpha;
    const bool edited = alpha ? ImGui::ColorEdit4("##value", rgba, flags | ImGuiColorEditFlags_AlphaBar)
                              : ImGui::ColorEdit3("##value", rgba, flags);
    if (edited)
        EditColor(field, rgba);
    ImGui::SameLine();
    ImGui::TextUnformatted(ValueText(field, bytes).c_str());
}

// The colour's components as rows of their own.
void ColorComponentRows(const Field& field, const Bytes& bytes)
{
    static const char* const names[] = {"R", "G", "B", "A"};
    const bool alpha = field.type->kind == TypeKind::Color4 && !field.FieldSettings().noalpha;
    float rgba[4];
    ColorAt(field, bytes, rgba);
    for (int i = 0; i < (alpha ? 4 : 3); ++i) {
        ImGui::PushID(i);
        LabelCell(names[i], std::string(), nullptr, nullptr);
        if (ImGui::DragFloat("##value", &rgba[i], 0.005f, 0.0f, 1.0f, "%.3f", ImGuiSliderFlags_AlwaysClamp))
            EditColor(field, rgba);
        ImGui::PopID();
    }
}

void ValueWidget(const Field& field, const Bytes& bytes)
{
    switch (field.type->kind) {
    case TypeKind::Bool: BoolWidget(field, bytes); break;
    case TypeKind::Int: IntWidget(field, bytes); break;
    case TypeKind::Float: FloatWidget(field, bytes); break;
    case TypeKind::Enum: EnumWidget(field, bytes); break;
    case TypeKind::Color3:
    case TypeKind::Color4: ColorWidget(field, bytes); break;
    case TypeKind::Struct: ImGui::TextUnformatted(ValueText(field, bytes).c_str()); break;
    }
}

// One row of a value with, for structures and colours, the rows below it.
void FieldRows(const Field& field, const Bytes& bytes, Settings* openState)
{
    const TypeKind kind = field.type->kind;
    const bool opens = openState != nullptr && (kind == TypeKind::Struct || kind == TypeKind::Color3 ||
                                                kind == TypeKind::Color4);
    Entry* drawn = field.member == nullptr ? field.entry : nullptr;
    const bool open = LabelCell(field.Label(), field.FieldSettings().help, opens ? openState : nullptr, drawn);
    ImGui::BeginDisabled(field.ReadOnly());
    ValueWidget(field, bytes);
    ImGui::EndDisabled();
    if (!open)
        return;
    if (kind == TypeKind::Struct) {
        for (const Member& member : field.entry->members) {
            ImGui::PushID(&member);
            FieldRows(MemberField(*field.bar, *field.entry, member), bytes, nullptr);
            ImGui::PopID();
        }
    } else {
        ColorComponentRows(field, bytes);
    }
    ImGui::TreePop();
}

void ButtonRow(CTwBar& bar, Entry& entry)
{
    ImGui::TableNextRow();
    ImGui::TableSetColumnIndex(0);
    if (entry.button == nullptr) {
        ImGui::AlignTextToFramePadding();
        ImGui::TextUnformatted(entry.Label().c_str());
    } else if (ImGui::Button(entry.Label().c_str())) {
        Press(bar, entry);
    }
    const ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    entry.valueRect = {min.x, min.y, max.x, max.y};
    entry.drawn = true;
    HelpTooltip(entry.settings.help);
}

void SeparatorRow()
{
    ImGui::TableNextRow();
    for (int column = 0; column < 2; ++column) {
        ImGui::TableSetColumnIndex(column);
        ImGui::Separator();
    }
}

void Rows(CTwBar& bar, const std::vector<Entry*>& rows);

void GroupRows(CTwBar& bar, Entry& group)
{
    if (!LabelCell(group.Label(), group.settings.help, &group.settings, &group))
        return;
    Rows(bar, group.children);
    ImGui::TreePop();
}

// The rows in order; a copy of the list is walked, since a setter may move
// rows into groups while the bar is drawn.
void Rows(CTwBar& bar, const std::vector<Entry*>& rows)
{
    const std::vector<Entry*> snapshot = rows;
    for (Entry* entry : snapshot) {
        if (!entry->settings.visible)
            continue;
        ImGui::PushID(entry);
        switch (entry->kind) {
        case EntryKind::Group: GroupRows(bar, *entry); break;
        case EntryKind::Button: ButtonRow(bar, *entry); break;
        case EntryKind::Separator: SeparatorRow(); break;
        case EntryKind::Variable: FieldRows(WholeField(bar, *entry), ReadValue(*entry), &entry->settings); break;
        }
        ImGui::PopID();
    }
}

// Puts the window in its laid-out place when the window's size or the bar's
// settings changed; true when it did.
bool Placement(const Library& library, CTwBar& bar)
{
    if (!bar.placementPending)
        return false;
    const Rect rect = LaidOut(library, bar);
    ImGui::SetNextWindowPos(ImVec2(rect[0], rect[1]), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(rect[2] - rect[0], rect[3] - rect[1]), ImGuiCond_Always);
    ImGui::SetNextWindowCollapsed(bar.settings.iconified, ImGuiCond_Always);
    bar.placementPending = false;
    bar.placed = rect;
    return true;
}

// Keeps what the user did to the window (moving, resizing, folding) in the
// bar's settings; a place or size the layout gave it stays out of them, so
// that a larger window gives the bar its own size back.
void KeepPlacement(CTwBar& bar, bool placedNow)
{
    BarSettings& settings = bar.settings;
    Rect& placed = bar.placed;
    const ImVec2 position = ImGui::GetWindowPos();
    const ImVec2 size = ImGui::GetWindowSize();
    settings.iconified = ImGui::IsWindowCollapsed();
    if (!placedNow && (position.x != placed[0] || position.y != placed[1])) {
        settings.x = static_cast<int>(position.x);
        settings.y = static_cast<int>(position.y);
    }
    float width = placed[2] - placed[0], height = placed[3] - placed[1];
    if (!settings.iconified) {
        if (!placedNow && (size.x != width || size.y != height)) {
            settings.width = static_cast<int>(size.x);
            settings.height = static_cast<int>(size.y);
        }
        width = size.x;
        height = size.y;
    }
    placed = {position.x, position.y, position.x + width, position.y + height};
}

// The values column; a bar the layout made narrower than its own width
// narrows both columns alike, so that the labels stay readable.
float ValuesWidth(const CTwBar& bar)
{
    const float laidOut = bar.placed[2] - bar.placed[0];
    return bar.settings.valuesWidth * std::min(1.0f, laidOut / static_cast<float>(bar.settings.width));
}

void DrawBar(Library& library, CTwBar& bar)
{
    const BarSettings& settings = bar.settings;
    const float alpha = settings.alpha / 255.0f;
    ImGui::PushStyleColor(ImGuiCol_WindowBg, BarColor(settings, alpha));
    ImGui::PushStyleColor(ImGuiCol_TitleBg, BarColor(settings, std::min(1.0f, alpha + 0.5f)));
    ImGui::PushStyleColor(ImGuiCol_TitleBgActive, BarColor(settings, std::min(1.0f, alpha + 0.7f)));
    ImGui::PushStyleColor(ImGuiCol_TitleBgCollapsed, BarColor(settings, std::min(1.0f, alpha + 0.3f)));
    const bool placedNow = Placement(library, bar);
    const std::string title = bar.Label() + "###" + bar.name;
    if (ImGui::Begin(title.c_str(), nullptr, ImGuiWindowFlags_NoSavedSettings)) {
        const ImGuiTableFlags flags = ImGuiTableFlags_SizingStretchProp | ImGuiTableFlags_PadOuterX;
        if (ImGui::BeginTable("rows", 2, flags)) {
            ImGui::TableSetupColumn("label", ImGuiTableColumnFlags_WidthStretch);
            ImGui::TableSetupColumn("value", ImGuiTableColumnFlags_WidthFixed, ValuesWidth(bar));
            Rows(bar, bar.topLevel);
            ImGui::EndTable();
        }
    }
    KeepPlacement(bar, placedNow);
    ImGui::End();
    ImGui::PopStyleColor(4);
}

// A folded window at the bottom left with the global help and the help of
// every visible bar.
void DrawHelpBar(Library& library)
{
    if (!HelpBarShown(library))
        return;
    // Kept at the bottom left, so that it unfolds upwards into the window.
    const Rect folded = FoldedHelpBar(library);
    ImGui::SetNextWindowPos(ImVec2(folded[0], folded[3]), ImGuiCond_Always, ImVec2(0, 1));
    ImGui::SetNextWindowSize(ImVec2(folded[2] - folded[0], 240.0f), ImGuiCond_Appearing);
    ImGui::SetNextWindowCollapsed(true, ImGuiCond_Appearing);
    if (ImGui::Begin(helpWindowName, nullptr, ImGuiWindowFlags_NoSavedSettings)) {
        ImGui::TextWrapped("%s", library.globalHelp.c_str());
        for (const auto& bar : library.bars) {
            if (bar->deleted || !bar->settings.visible || bar->settings.help.empty())
                continue;
            ImGui::Separator();
            ImGui::TextUnformatted(bar->Label().c_str());
            ImGui::TextWrapped("%s", bar->settings.help.c_str());
        }
    }
    ImGui::End();
}

float FrameSeconds(Library& library)
{
    const auto now = std::chrono::steady_clock::now();
    const bool first = library.lastFrame == std::chrono::steady_clock::time_point();
    const float seconds = first ? 1.0f / 60 : std::chrono::duration<float>(now - library.lastFrame).count();
    library.lastFrame = now;
    return std::max(seconds, 1e-4f);
}

// Widgets, edits and button presses of one frame.
void BuildFrame(Library& library)
{
    library.drawing = true;
    for (const auto& bar : library.bars) {
        for (const auto& entry : bar->entries)
            entry->drawn = false;
    }
    for (size_t i = 0; i < library.bars.size(); ++i) {
        CTwBar& bar = *library.bars[i];
        if (!bar.deleted && bar.settings.visible)
            DrawBar(library, bar);
    }
    DrawHelpBar(library);
    library.drawing = false;
    auto& bars = library.bars;
    bars.erase(std::remove_if(bars.begin(), bars.end(), [](const auto& bar) { return bar->deleted; }), bars.end());
}
}

ContextScope::ContextScope(ImGuiContext* context) : previous(ImGui::GetCurrentContext())
{
    ImGui::SetCurrentContext(context);
}

ContextScope::~ContextScope()
{
    ImGui::SetCurrentContext(previous);
}

void CreateContext(Library& library)
{
    ImGuiContext* previous = ImGui::GetCurrentContext();
    library.context = ImGui::CreateContext();
    ImGui::SetCurrentContext(library.context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    KorvanaUi::MapVirtualKeys(io);
    KorvanaUi::LoadDefaultFont(io, fontPixels);
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    ImGui::StyleColorsDark();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 4.0f;
    style.IndentSpacing = 12.0f;
    style.CellPadding = ImVec2(3.0f, 1.0f);
    style.FramePadding = ImVec2(4.0f, 2.0f);
    library.titleHeight = fontPixels + 2 * style.FramePadding.y;
    ImGui::SetCurrentContext(previous);
}

void ReleaseGLObjects(Library& library)
{
    if (!library.fontTexture)
        return;
    ContextScope scope(library.context);
    if (GLContextCurrent())
        KorvanaUi::DestroyFontTexture();
    else
        ImGui::GetIO().Fonts->SetTexID(ImTextureID());
    library.fontTexture = false;
}

void DestroyContext(Library& library)
{
    ReleaseGLObjects(library);
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::DestroyContext(library.context);
    if (previous != library.context)
        ImGui::SetCurrentContext(previous);
    library.context = nullptr;
}

void DrawFrame(Library& library)
{
    if (library.windowWidth <= 0 || library.windowHeight <= 0)
        return;
    ContextScope scope(library.context);
    const bool render = GLContextCurrent();
    if (render && !library.fontTexture)
        library.fontTexture = KorvanaUi::CreateFontTexture();
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(library.windowWidth), float(library.windowHeight));
    io.DeltaTime = FrameSeconds(library);
    FeedInput(library, io);
    ImGui::NewFrame();
    BuildFrame(library);
    ImGui::Render();
    RecordFrame(library);
    if (render && library.fontTexture)
        KorvanaUi::RenderDrawData(ImGui::GetDrawData());
}
}
