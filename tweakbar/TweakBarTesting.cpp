#include "TweakBarTesting.h"

#include "Layout.h"
#include "Model.h"
#include "Values.h"

using namespace TweakBar;

namespace TweakBarTesting
{
namespace
{
std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (c == '/')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The field of "bar/variable" or "bar/variable/member".
std::optional<Field> FieldAt(const std::string& path)
{
    const std::vector<std::string> parts = SplitPath(path);
    CTwBar* bar = State().FindBar(parts[0]);
    Field field;
    if (bar == nullptr || parts.size() < 2 || parts.size() > 3 ||
        !FindField(*bar, parts[1], parts.size() == 3 ? parts[2] : std::string(), field) ||
        field.entry->kind != EntryKind::Variable)
        return std::nullopt;
    return field;
}

// The row of "bar/row" with its bar.
std::pair<CTwBar*, Entry*> RowAt(const std::string& path)
{
    const std::vector<std::string> parts = SplitPath(path);
    CTwBar* bar = State().FindBar(parts[0]);
    if (bar == nullptr || parts.size() != 2)
        return {bar, nullptr};
    return {bar, bar->Find(parts[1])};
}

const char* KindName(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Variable: return "variable";
    case EntryKind::Button: return "button";
    case EntryKind::Separator: return "separator";
    case EntryKind::Group: return "group";
    }
    return "";
}
}

bool SetNumber(const std::string& path, double value)
{
    const std::optional<Field> field = FieldAt(path);
    return field && EditNumber(*field, value);
}

bool ChooseLabel(const std::string& path, const std::string& label)
{
    const std::optional<Field> field = FieldAt(path);
    if (!field)
        return false;
    const Settings& settings = field->FieldSettings();
    if (field->type->kind == TypeKind::Bool && (label == settings.trueLabel || label == settings.falseLabel))
        return EditNumber(*field, label == settings.trueLabel ? 1 : 0);
    if (field->type->kind != TypeKind::Enum)
        return false;
    for (const auto& [value, text] : EnumValuesOf(*field)) {
        if (text == label)
            return EditNumber(*field, value);
    }
    return false;
}

bool SetColor(const std::string& path, float red, float green, float blue, float alpha)
{
    const std::optional<Field> field = FieldAt(path);
    const float rgba[4] = {red, green, blue, alpha};
    return field && EditColor(*field, rgba);
}

bool PressButton(const std::string& path)
{
    const auto [bar, entry] = RowAt(path);
    return entry != nullptr && Press(*bar, *entry);
}

std::optional<std::string> ValueText(const std::string& path)
{
    const std::optional<Field> field = FieldAt(path);
    if (!field)
        return std::nullopt;
    return TweakBar::ValueText(*field, ReadValue(*field->entry));
}

bool IsShown(const std::string& path)
{
    const auto [bar, entry] = RowAt(path);
    if (bar == nullptr)
        return false;
    if (path.find('/') == std::string::npos)
        return bar->settings.visible;
    return entry != nullptr && Shown(*bar, *entry);
}

std::optional<BarInfo> GetBar(const std::string& name)
{
    const Library& library = State();
    const CTwBar* bar = library.FindBar(name);
    if (bar == nullptr)
        return std::nullopt;
    const BarSettings& settings = bar->settings;
    BarInfo info;
    info.label = bar->Label();
    info.help = settings.help;
    info.width = settings.width;
    info.height = settings.height;
    info.x = settings.x;
    info.y = settings.y;
    const Rect rect = BarRectangle(library, *bar);
    info.left = rect[0];
    info.top = rect[1];
    info.right = rect[2];
    info.bottom = rect[3];
    std::copy(settings.color, settings.color + 3, info.color);
    info.alpha = settings.alpha;
    info.valuesWidth = settings.valuesWidth;
    info.visible = settings.visible;
    info.iconified = settings.iconified;
    return info;
}

std::optional<RowInfo> GetRow(const std::string& path)
{
    std::optional<Field> field = FieldAt(path);
    const auto [bar, entry] = RowAt(path);
    if (!field && entry == nullptr)
        return std::nullopt;
    const Settings& settings = field ? field->FieldSettings() : entry->settings;
    RowInfo info;
    info.kind = KindName(field ? EntryKind::Variable : entry->kind);
    info.type = field ? field->type->name : std::string();
    info.label = field ? field->Label() : entry->Label();
    info.help = settings.help;
    info.group = settings.group;
    info.min = settings.min;
    info.max = settings.max;
    info.step = settings.step;
    info.readonly = field ? field->ReadOnly() : settings.readonly;
    info.visible = settings.visible;
    info.open = settings.open;
    info.noalpha = settings.noalpha;
    info.trueLabel = settings.trueLabel;
    info.falseLabel = settings.falseLabel;
    if (field && field->type->kind == TypeKind::Enum)
        info.enumValues = EnumValuesOf(*field);
    return info;
}

std::vector<std::string> RowNames(const std::string& path)
{
    const auto [bar, entry] = RowAt(path);
    std::vector<std::string> names;
    if (bar == nullptr || (path.find('/') != std::string::npos && entry == nullptr))
        return names;
    for (const Entry* row : bar->RowsOf(entry))
        names.push_back(row->name);
    return names;
}

std::string GlobalHelp()
{
    return State().globalHelp;
}

std::optional<std::vector<float>> ValueRectangle(const std::string& path)
{
    const auto [bar, entry] = RowAt(path);
    if (entry == nullptr || !entry->drawn)
        return std::nullopt;
    return std::vector<float>(entry->valueRect.begin(), entry->valueRect.end());
}

std::optional<std::vector<float>> HelpBarRectangle()
{
    const std::optional<Rect>& help = State().input.helpBar;
    if (!help)
        return std::nullopt;
    return std::vector<float>(help->begin(), help->end());
}
}
