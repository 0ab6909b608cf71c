#include "Parameters.h"

namespace TweakBar
{
namespace
{
bool Needs(const Parameter& parameter, bool value, std::string& error)
{
    if (parameter.hasValue == value)
        return true;
    error = value ? "parameter '" + parameter.name + "' needs a value"
                  : "parameter '" + parameter.name + "' takes no value";
    return false;
}

// A boolean parameter: standing alone it means true.
bool ReadSwitch(const Parameter& parameter, bool& out, std::string& error)
{
    if (!parameter.hasValue) {
        out = true;
        return true;
    }
    const std::optional<bool> value = ParseBool(parameter.value);
    if (!value) {
        error = "'" + parameter.value + "' is not true or false for '" + parameter.name + "'";
        return false;
    }
    out = *value;
    return true;
}

bool ReadNumber(const Parameter& parameter, std::optional<double>& out, std::string& error)
{
    if (!Needs(parameter, true, error))
        return false;
    out = ParseNumber(parameter.value);
    if (!out)
        error = "'" + parameter.value + "' is not a number for '" + parameter.name + "'";
    return out.has_value();
}

bool ReadText(const Parameter& parameter, std::string& out, std::string& error)
{
    if (!Needs(parameter, true, error))
        return false;
    out = parameter.value;
    return true;
}

// The integers of a parameter, each within [low, high].
bool ReadIntegers(const Parameter& parameter, int* out, size_t count, int low, int high, std::string& error)
{
    if (!Needs(parameter, true, error))
        return false;
    const auto values = ParseIntegers(parameter.value, count);
    bool inRange = values.has_value();
    for (size_t i = 0; inRange && i < count; ++i) {
        inRange = (*values)[i] >= low && (*values)[i] <= high;
        out[i] = inRange ? (*values)[i] : out[i];
    }
    if (!inRange)
        error = "'" + parameter.value + "' is not valid for '" + parameter.name + "'";
    return inRange;
}

bool Unknown(const Parameter& parameter, const std::string& owner, std::string& error)
{
    error = "unknown parameter '" + parameter.name + "' for " + owner;
    return false;
}

// What a row or member is, for the parameters that only some rows take.
struct RowKind {
    EntryKind entry;
    const TypeInfo* type;  // variables and members
    bool member;

    bool Is(TypeKind kind) const { return type != nullptr && type->kind == kind; }
    bool Numeric() const { return Is(TypeKind::Int) || Is(TypeKind::Float); }
    bool Colour() const { return Is(TypeKind::Color3) || Is(TypeKind::Color4); }
    bool Opens() const { return entry == EntryKind::Group || Is(TypeKind::Struct) || Colour(); }
    bool Value() const { return type != nullptr; }
};

// Parameters that every row takes.
bool ApplyCommon(Settings& settings, const RowKind& kind, const Parameter& parameter, bool& handled,
                 std::string& error)
{
    handled = true;
    const std::string& name = parameter.name;
    if (name == "label")
        return ReadText(parameter, settings.label, error);
    if (name == "help")
        return ReadText(parameter, settings.help, error);
    if (kind.member) {
        handled = false;
        return true;
    }
    if (name == "group")
        return ReadText(parameter, settings.group, error);
    if (name == "visible")
        return Needs(parameter, true, error) && ReadSwitch(parameter, settings.visible, error);
    if (name == "hide" || name == "show") {
        settings.visible = name == "show";
        return Needs(parameter, false, error);
    }
    handled = false;
    return true;
}

// Parameters that depend on the row's kind and type.
bool ApplyTyped(Settings& settings, const RowKind& kind, const Parameter& parameter, bool& handled,
                std::string& error)
{
    handled = true;
    const std::string& name = parameter.name;
    if (kind.Value() && name == "readonly")
        return ReadSwitch(parameter, settings.readonly, error);
    if (kind.Value() && name == "readwrite") {
        settings.readonly = false;
        return Needs(parameter, false, error);
    }
    if (kind.Numeric() && name == "min")
        return ReadNumber(parameter, settings.min, error);
    if (kind.Numeric() && name == "max")
        return ReadNumber(parameter, settings.max, error);
    if (kind.Numeric() && name == "step") {
        if (!ReadNumber(parameter, settings.step, error))
            return false;
        if (*settings.step <= 0)
            error = "step must be above 0";
        return *settings.step > 0;
    }
    if (kind.Is(TypeKind::Bool) && name == "true")
        return ReadText(parameter, settings.trueLabel, error);
    if (kind.Is(TypeKind::Bool) && name == "false")
        return ReadText(parameter, settings.falseLabel, error);
    if (kind.Is(TypeKind::Enum) && name == "val") {
        settings.enumValues = Needs(parameter, true, error) ? ParseEnumValues(parameter.value) : std::nullopt;
        if (!settings.enumValues && error.empty())
            error = "'" + parameter.value + "' is not a list of values such as '0 {A}, 1 {B}'";
        return settings.enumValues.has_value();
    }
    if (kind.Colour() && name == "noalpha") {
        settings.noalpha = true;
        return Needs(parameter, false, error);
    }
    if (kind.Opens() && !kind.member && (name == "open" || name == "close")) {
        settings.open = name == "open";
        return Needs(parameter, false, error);
    }
    handled = false;
    return true;
}

bool ApplySettings(Settings& settings, const RowKind& kind, const std::vector<Parameter>& parameters,
                   const std::string& owner, std::string& error)
{
    for (const Parameter& parameter : parameters) {
        bool handled = false;
        if (!ApplyCommon(settings, kind, parameter, handled, error))
            return false;
        if (!handled && !ApplyTyped(settings, kind, parameter, handled, error))
            return false;
        if (!handled)
            return Unknown(parameter, owner, error);
    }
    if (settings.min && settings.max && *settings.min > *settings.max) {
        error = "min is above max for " + owner;
        return false;
    }
    return true;
}

bool ApplyBarParameter(BarSettings& settings, const Parameter& parameter, std::string& error)
{
    const std::string& name = parameter.name;
    if (name == "label")
        return ReadText(parameter, settings.label, error);
    if (name == "help")
        return ReadText(parameter, settings.help, error);
    if (name == "size") {
        int size[2] = {settings.width, settings.height};
        const bool ok = ReadIntegers(parameter, size, 2, 1, 16384, error);
        settings.width = size[0];
        settings.height = size[1];
        return ok;
    }
    if (name == "position") {
        int position[2] = {settings.x, settings.y};
        const bool ok = ReadIntegers(parameter, position, 2, -16384, 16384, error);
        settings.x = position[0];
        settings.y = position[1];
        return ok;
    }
    if (name == "color")
        return ReadIntegers(parameter, settings.color, 3, 0, 255, error);
    if (name == "alpha")
        return ReadIntegers(parameter, &settings.alpha, 1, 0, 255, error);
    if (name == "valueswidth")
        return ReadIntegers(parameter, &settings.valuesWidth, 1, 1, 16384, error);
    if (name == "visible")
        return Needs(parameter, true, error) && ReadSwitch(parameter, settings.visible, error);
    if (name == "iconified")
        return Needs(parameter, true, error) && ReadSwitch(parameter, settings.iconified, error);
    if (name == "hide" || name == "show") {
        settings.visible = name == "show";
        return Needs(parameter, false, error);
    }
    return Unknown(parameter, "a bar", error);
}

bool ApplyToBar(CTwBar& bar, const std::vector<Parameter>& parameters, std::string& error)
{
    BarSettings settings = bar.settings;
    for (const Parameter& parameter : parameters) {
        if (!ApplyBarParameter(settings, parameter, error))
            return false;
    }
    const BarSettings& old = bar.settings;
    const bool moved = settings.x != old.x || settings.y != old.y || settings.width != old.width ||
                       settings.height != old.height || settings.iconified != old.iconified;
    bar.placementPending = bar.placementPending || moved || (settings.visible && !old.visible);
    bar.settings = settings;
    return true;
}

bool ApplyToGlobal(Library& library, const std::vector<Parameter>& parameters, std::string& error)
{
    std::string help = library.globalHelp;
    for (const Parameter& parameter : parameters) {
        if (parameter.name != "help")
            return Unknown(parameter, "GLOBAL", error);
        if (!ReadText(parameter, help, error))
            return false;
    }
    library.globalHelp = help;
    return true;
}
}

bool SettingsForEntry(const Entry& entry, const std::vector<Parameter>& parameters, Settings& out,
                      std::string& error)
{
    out = entry.settings;
    const RowKind kind{entry.kind, entry.kind == EntryKind::Variable ? FindType(entry.type) : nullptr, false};
    return ApplySettings(out, kind, parameters, "'" + entry.name + "'", error);
}

bool ApplyToEntry(CTwBar& bar, Entry& entry, const std::vector<Parameter>& parameters, std::string& error)
{
    Settings settings;
    if (!SettingsForEntry(entry, parameters, settings, error))
        return false;
    const Settings old = entry.settings;
    entry.settings = settings;
    if (!bar.Place(entry, error)) {
        entry.settings = old;
        return false;
    }
    return true;
}

bool ApplyToMember(Member& member, const std::string& definition, std::string& error)
{
    std::vector<Parameter> parameters;
    const RowKind kind{EntryKind::Variable, FindType(member.type), true};
    return ParseParameters(definition, parameters, error) &&
           ApplySettings(member.settings, kind, parameters, "member '" + member.name + "'", error);
}

bool ApplyDefinition(Library& library, const Definition& definition, std::string& error)
{
    const std::vector<std::string>& target = definition.target;
    if (target.size() == 1 && target[0] == "GLOBAL")
        return ApplyToGlobal(library, definition.parameters, error);
    CTwBar* bar = library.FindBar(target[0]);
    if (bar == nullptr) {
        error = "unknown bar '" + target[0] + "'";
        return false;
    }
    if (target.size() == 1)
        return ApplyToBar(*bar, definition.parameters, error);
    Entry* entry = target.size() == 2 ? bar->Find(target[1]) : nullptr;
    if (entry == nullptr) {
        error = "unknown variable or group '" + target.back() + "' in bar '" + target[0] + "'";
        return false;
    }
    return ApplyToEntry(*bar, *entry, definition.parameters, error);
}
}
