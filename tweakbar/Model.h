// What the library knows: value types, bars, their rows and groups, and the
// library-wide state behind the C functions.
#pragma once

#include "TweakBar.h"

#include "platform/Win32Api.h"

#include <array>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ImGuiContext;

namespace TweakBar
{
using EnumValues = std::vector<std::pair<int, std::string>>;
using Rect = std::array<float, 4>;  // left, top, right, bottom

// The definable settings of a row or of a structure member.
struct Settings {
    std::string label;  // empty: the row's name is shown
    std::string help;
    std::string group;  // name of the group holding the row, empty at top level
    std::optional<double> min, max, step;
    bool readonly = false;
    bool visible = true;
    bool open = false;  // groups, structures and colours show their rows
    bool noalpha = false;
    std::string trueLabel = "Tak";
    std::string falseLabel = "Nie";
    std::optional<EnumValues> enumValues;  // replaces the type's values
};

enum class TypeKind { Bool, Int, Float, Color3, Color4, Enum, Struct };

struct Member {
    std::string name;
    TwType type = TW_TYPE_UNDEF;
    size_t offset = 0;
    Settings settings;
};

struct TypeInfo {
    TypeKind kind = TypeKind::Int;
    std::string name;
    size_t size = 0;
    EnumValues enumValues;        // enumerations
    std::vector<Member> members;  // structures
    TwSummaryCallback summary = nullptr;
    void* summaryClientData = nullptr;
};

// The type's description, or null for an unknown type number.
const TypeInfo* FindType(TwType type);

enum class EntryKind { Variable, Button, Separator, Group };

// A row of a bar: a variable, a button, a separator or a group of rows.
struct Entry {
    EntryKind kind = EntryKind::Variable;
    std::string name;
    Settings settings;
    Entry* parent = nullptr;        // the group holding it, null at top level
    std::vector<Entry*> children;   // groups: their rows in order

    TwType type = TW_TYPE_UNDEF;
    void* memory = nullptr;         // read-write variables
    TwSetVarCallback setter = nullptr;
    TwGetVarCallback getter = nullptr;
    TwButtonCallback button = nullptr;
    void* clientData = nullptr;
    std::vector<Member> members;    // structures: a copy per variable
    std::array<float, 4> valueRect{}; // value cell in the last frame (left, top, right, bottom)
    bool drawn = false;             // in the last frame

    const std::string& Label() const { return settings.label.empty() ? name : settings.label; }
    bool ReadOnly() const { return settings.readonly || (getter != nullptr && setter == nullptr); }
};

// The definable settings of a bar.
struct BarSettings {
    std::string label;
    std::string help;
    int width = 200, height = 320;
    int x = 16, y = 16;             // as asked for; drawn clamped into the window
    int color[3] = {17, 109, 143};
    int alpha = 200;
    int valuesWidth = 100;
    bool visible = true;
    bool iconified = false;
};
}

struct CTwBar {
    std::string name;
    TweakBar::BarSettings settings;
    bool placementPending = true;   // the drawn window must take its laid-out place
    TweakBar::Rect placed{};        // the window since then, unfolded, as the user moves and sizes it
    bool deleted = false;           // deleted while being drawn
    std::vector<std::unique_ptr<TweakBar::Entry>> entries;  // owns every row
    std::vector<TweakBar::Entry*> topLevel;                // rows outside groups

    const std::string& Label() const { return settings.label.empty() ? name : settings.label; }
    TweakBar::Entry* Find(const std::string& entryName) const;
    // The rows of a group, or the top-level rows for null.
    std::vector<TweakBar::Entry*>& RowsOf(TweakBar::Entry* group);
    // Moves the row into the group named in its settings, making the group
    // when it does not exist yet. False when that would put a group into
    // itself or a name belongs to a row that is not a group.
    bool Place(TweakBar::Entry& entry, std::string& error);
};

namespace TweakBar
{
struct QueuedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Window input between two frames and what the last frame showed of it.
struct InputState {
    std::deque<QueuedMessage> queue;  // handed to ImGui by the next frame
    unsigned buttonsDown = 0;         // bit per mouse button, from the messages
    bool captured = false;            // a press began on a bar
    bool keyboardWanted = false;      // a field takes the keys
    std::vector<Rect> popups;         // open drop-down lists and pickers
    std::optional<Rect> helpBar;      // the help bar, folded or not
};

// Library-wide state behind the C functions.
struct Library {
    bool initialised = false;
    ImGuiContext* context = nullptr;
    int windowWidth = 0, windowHeight = 0;
    std::vector<std::unique_ptr<CTwBar>> bars;
    std::deque<TypeInfo> types;  // defined types; number = index + firstCustomType
    std::string globalHelp;
    std::string lastError;
    bool errorPending = false;
    bool drawing = false;
    bool fontTexture = false;     // the font is in the current GL context
    float titleHeight = 0;        // height of an iconified bar
    std::chrono::steady_clock::time_point lastFrame;
    InputState input;

    CTwBar* FindBar(const std::string& name) const;
    bool Owns(const TwBar* bar) const;
    void Fail(const std::string& message);
};

constexpr int firstCustomType = 0x100;

Library& State();
}
