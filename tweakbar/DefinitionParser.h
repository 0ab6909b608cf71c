// Reading of definition strings: "target params", where the target names a
// bar, a row or a group ("bar", "bar/row", "GLOBAL") and the parameters are
// flags ("hide") or "name=value" pairs with bare, numeric or quoted values.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace TweakBar
{
struct Parameter {
    std::string name;
    std::string value;
    bool hasValue = false;  // false for a flag standing alone
};

struct Definition {
    std::vector<std::string> target;  // path elements, empty for a parameter list
    std::vector<Parameter> parameters;
};

// Reads the definitions of a TwDefine call, one per line. On failure returns
// false and describes the fault in error.
bool ParseDefinitions(const std::string& text, std::vector<Definition>& out, std::string& error);

// Reads the parameters of a row's own definition (no target).
bool ParseParameters(const std::string& text, std::vector<Parameter>& out, std::string& error);

// Value readers; each returns nothing when the text is not of its form.
// Numbers accept a trailing 'f' as in "0.0f"; blanks around are ignored.
std::optional<double> ParseNumber(const std::string& text);
std::optional<bool> ParseBool(const std::string& text);
// count integers separated by blanks, as in "350 130" or "18 141 18".
std::optional<std::vector<int>> ParseIntegers(const std::string& text, size_t count);
// "0 {Label}, 1 {Other label}".
std::optional<std::vector<std::pair<int, std::string>>> ParseEnumValues(const std::string& text);
}
