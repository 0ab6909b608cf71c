#include "Values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace TweakBar
{
namespace
{
template <typename T>
T Load(const Bytes& bytes, size_t offset)
{
    T value{};
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <typename T>
void Store(Bytes& bytes, size_t offset, T value)
{
    if (offset + sizeof(T) <= bytes.size())
        std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

size_t ValueSize(const Entry& entry)
{
    const TypeInfo* type = FindType(entry.type);
    return type != nullptr ? type->size : 0;
}

// Hands the bytes to the variable's memory or setter.
void WriteValue(Entry& entry, const Bytes& bytes)
{
    if (entry.memory != nullptr)
        std::memcpy(entry.memory, bytes.data(), bytes.size());
    else if (entry.setter != nullptr)
        entry.setter(bytes.data(), entry.clientData);
}

bool Editable(const Field& field)
{
    return field.entry->kind == EntryKind::Variable && !field.ReadOnly() && Shown(*field.bar, *field.entry);
}

double Clamp(double value, const Settings& settings)
{
    if (settings.min)
        value = std::max(value, *settings.min);
    if (settings.max)
        value = std::min(value, *settings.max);
    return value;
}

int Decimals(const Settings& settings)
{
    if (!settings.step)
        return 2;
    const int decimals = static_cast<int>(std::ceil(-std::log10(*settings.step) - 1e-9));
    return std::clamp(decimals, 0, 6);
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "a, b, c" of the structure's members, for a structure without a summary.
std::string MemberSummary(const Field& field, const Bytes& bytes)
{
    std::string summary;
    for (const Member& member : field.entry->members) {
        const Field memberField = MemberField(*field.bar, *field.entry, member);
        summary += (summary.empty() ? "" : ", ") + ValueText(memberField, bytes);
    }
    return summary;
}
}

Field WholeField(CTwBar& bar, Entry& entry)
{
    Field field;
    field.bar = &bar;
    field.entry = &entry;
    field.type = FindType(entry.type);
    return field;
}

Field MemberField(CTwBar& bar, Entry& entry, const Member& member)
{
    Field field = WholeField(bar, entry);
    field.member = &member;
    field.type = FindType(member.type);
    field.offset = member.offset;
    return field;
}

bool FindField(CTwBar& bar, const std::string& entryName, const std::string& memberName, Field& out)
{
    Entry* entry = bar.Find(entryName);
    if (entry == nullptr)
        return false;
    if (memberName.empty()) {
        out = WholeField(bar, *entry);
        return true;
    }
    for (const Member& member : entry->members) {
        if (member.name == memberName) {
            out = MemberField(bar, *entry, member);
            return true;
        }
    }
    return false;
}

bool Shown(const CTwBar& bar, const Entry& entry)
{
    if (!bar.settings.visible)
        return false;
    for (const Entry* row = &entry; row != nullptr; row = row->parent) {
        if (!row->settings.visible)
            return false;
    }
    return true;
}

Bytes ReadValue(const Entry& entry)
{
    Bytes bytes(ValueSize(entry), 0);
    if (entry.memory != nullptr)
        std::memcpy(bytes.data(), entry.memory, bytes.size());
    else if (entry.getter != nullptr)
        entry.getter(bytes.data(), entry.clientData);
    return bytes;
}

double NumberAt(const Field& field, const Bytes& bytes)
{
    switch (field.type->kind) {
    case TypeKind::Bool:
        return Load<bool>(bytes, field.offset) ? 1 : 0;
    case TypeKind::Int:
    case TypeKind::Enum:
        return Load<int32_t>(bytes, field.offset);
    case TypeKind::Float:
        return Load<float>(bytes, field.offset);
    default:
        return 0;
    }
}

void ColorAt(const Field& field, const Bytes& bytes, float rgba[4])
{
    const int count = field.type->kind == TypeKind::Color4 ? 4 : 3;
    rgba[3] = 1.0f;
    for (int i = 0; i < count; ++i)
        rgba[i] = Load<float>(bytes, field.offset + i * sizeof(float));
}

const EnumValues& EnumValuesOf(const Field& field)
{
    const std::optional<EnumValues>& own = field.FieldSettings().enumValues;
    return own ? *own : field.type->enumValues;
}

bool EditNumber(const Field& field, double value)
{
    if (!Editable(field) || !std::isfinite(value))
        return false;
    Bytes bytes = ReadValue(*field.entry);
    switch (field.type->kind) {
    case TypeKind::Bool:
        Store<bool>(bytes, field.offset, value != 0);
        break;
    case TypeKind::Int:
        value = std::clamp(std::round(Clamp(value, field.FieldSettings())), double(INT32_MIN), double(INT32_MAX));
        Store<int32_t>(bytes, field.offset, static_cast<int32_t>(value));
        break;
    case TypeKind::Enum: {
        const EnumValues& values = EnumValuesOf(field);
        const bool offered = std::any_of(values.begin(), values.end(), [&](const auto& v) { return v.first == value; });
        if (!offered)
            return false;
        Store<int32_t>(bytes, field.offset, static_cast<int32_t>(value));
        break;
    }
    case TypeKind::Float:
        Store<float>(bytes, field.offset, static_cast<float>(Clamp(value, field.FieldSettings())));
        break;
    default:
        return false;
    }
    WriteValue(*field.entry, bytes);
    return true;
}

bool EditColor(const Field& field, const float rgba[4])
{
    const TypeKind kind = field.type->kind;
    if (!Editable(field) || (kind != TypeKind::Color3 && kind != TypeKind::Color4))
        return false;
    Bytes bytes = ReadValue(*field.entry);
    const int count = kind == TypeKind::Color3 || field.FieldSettings().noalpha ? 3 : 4;
    for (int i = 0; i < count; ++i) {
        const float component = std::isfinite(rgba[i]) ? std::clamp(rgba[i], 0.0f, 1.0f) : 0.0f;
        Store<float>(bytes, field.offset + i * sizeof(float), component);
    }
    WriteValue(*field.entry, bytes);
    return true;
}

bool Press(const CTwBar& bar, Entry& entry)
{
    if (entry.kind != EntryKind::Button || entry.button == nullptr || !Shown(bar, entry))
        return false;
    entry.button(entry.clientData);
    return true;
}

std::string FloatFormat(const Settings& settings)
{
    return "%." + std::to_string(Decimals(settings)) + "f";
}

float DragSpeed(const Field& field)
{
    const Settings& settings = field.FieldSettings();
    if (settings.step)
        return static_cast<float>(*settings.step);
    if (settings.min && settings.max && *settings.max > *settings.min)
        return static_cast<float>((*settings.max - *settings.min) / 200.0);
    return field.type->kind == TypeKind::Int ? 1.0f : 0.05f;
}

std::string ValueText(const Field& field, const Bytes& bytes)
{
    const Settings& settings = field.FieldSettings();
    const double number = NumberAt(field, bytes);
    switch (field.type->kind) {
    case TypeKind::Bool:
        return number != 0 ? settings.trueLabel : settings.falseLabel;
    case TypeKind::Int:
        return Format("%.0f", number);
    case TypeKind::Float:
        return Format(FloatFormat(settings).c_str(), number);
    case TypeKind::Enum:
        for (const auto& value : EnumValuesOf(field)) {
            if (value.first == number)
                return value.second;
        }
        return Format("%.0f", number);
    case TypeKind::Color3:
    case TypeKind::Color4: {
        float rgba[4];
        ColorAt(field, bytes, rgba);
        const bool alpha = field.type->kind == TypeKind::Color4 && !settings.noalpha;
        std::string text;
        for (int i = 0; i < (alpha ? 4 : 3); ++i)
            text += (i > 0 ? ", " : "") + Format("%.2f", rgba[i]);
        return text;
    }
    case TypeKind::Struct:
        if (field.type->summary != nullptr) {
            char summary[256] = "";
            field.type->summary(summary, sizeof summary, bytes.data(), field.type->summaryClientData);
            summary[sizeof summary - 1] = '\0';
            return summary;
        }
        return MemberSummary(field, bytes);
    }
    return std::string();
}
}
