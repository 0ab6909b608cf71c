// Reading, editing and showing the values of rows: read-write variables
// through their memory, callback variables through their getter and setter.
// The bar's widgets and the test hooks make their edits through the same
// functions, so both honour read-only rows and the min and max of a row.
#pragma once

#include "Model.h"

#include <string>
#include <vector>

namespace TweakBar
{
using Bytes = std::vector<unsigned char>;

// One editable value: a variable itself or one member of a structure.
struct Field {
    CTwBar* bar = nullptr;
    Entry* entry = nullptr;
    const Member* member = nullptr;  // null for the variable itself
    const TypeInfo* type = nullptr;  // the field's own type
    size_t offset = 0;               // of the field within the variable's bytes

    const Settings& FieldSettings() const { return member != nullptr ? member->settings : entry->settings; }
    const std::string& Label() const { return member != nullptr ? member->name : entry->Label(); }
    bool ReadOnly() const { return entry->ReadOnly() || FieldSettings().readonly; }
};

// The variable itself (memberName empty) or its named member; false when
// there is no such variable or member.
bool FindField(CTwBar& bar, const std::string& entryName, const std::string& memberName, Field& out);
Field MemberField(CTwBar& bar, Entry& entry, const Member& member);
Field WholeField(CTwBar& bar, Entry& entry);

// True when the row is drawn: its bar, its groups and itself are visible.
bool Shown(const CTwBar& bar, const Entry& entry);

// The variable's current bytes: its memory or what its getter gives.
Bytes ReadValue(const Entry& entry);

// Booleans, integers, floats and enumerations as numbers.
double NumberAt(const Field& field, const Bytes& bytes);
// Colours as four floats; alpha is 1 for three-component colours.
void ColorAt(const Field& field, const Bytes& bytes, float rgba[4]);

// Edits as the user makes them: refused (false) for read-only or hidden
// rows and for enumeration values the row does not offer; numbers are kept
// within min and max, colour components within 0..1, and the alpha of a
// "noalpha" colour is left as it was. The new bytes go to the variable's
// memory or setter.
bool EditNumber(const Field& field, double value);
bool EditColor(const Field& field, const float rgba[4]);
bool Press(const CTwBar& bar, Entry& entry);

// The values an enumeration row offers.
const EnumValues& EnumValuesOf(const Field& field);

// printf format for a float row, with as many decimals as its step needs.
std::string FloatFormat(const Settings& settings);
// Drag speed of a number row: its step, else a share of its range.
float DragSpeed(const Field& field);

// The text a row shows for its value.
std::string ValueText(const Field& field, const Bytes& bytes);
}
