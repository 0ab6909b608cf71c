// Seams through which tests use the bars as a user would, and read what the
// bars show, without pixels and without a GL context. None of this is called
// by the program itself.
//
// Paths name a bar ("main"), a row or group of it ("main/backgroundColor")
// or a member of a structure row ("light/position/x").
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace TweakBarTesting
{
// Edits as the user makes them, through the same code as the bar's widgets:
// refused (false) for read-only, hidden or unknown rows; numbers are kept
// within the row's min and max, colour components within 0..1. Booleans take
// 0 or 1; enumerations only the values they offer.
bool SetNumber(const std::string& path, double value);
bool ChooseLabel(const std::string& path, const std::string& label);  // enumerations and booleans
bool SetColor(const std::string& path, float red, float green, float blue, float alpha = 1.0f);
bool PressButton(const std::string& path);

// The text the row shows for its value now (getters are called), for
// example "Wlaczone", "Kierunkowe", "0.50" or "2.00, 5.00, 2.17, 1.00";
// nothing for an unknown row.
std::optional<std::string> ValueText(const std::string& path);

// True when the bar or row is drawn: the bar is visible, and so are the row
// and every group holding it.
bool IsShown(const std::string& path);

struct BarInfo {
    std::string label, help;
    int width = 0, height = 0;
    int x = 0, y = 0;                         // as defined
    float left = 0, top = 0, right = 0, bottom = 0;  // where it is drawn in the window
    int color[3] = {0, 0, 0};
    int alpha = 0;
    int valuesWidth = 0;
    bool visible = false;
    bool iconified = false;
};
std::optional<BarInfo> GetBar(const std::string& name);

struct RowInfo {
    std::string kind;                         // "variable", "button", "separator" or "group"
    std::string type;                         // type name of a variable: "bool", "float", "Position", ...
    std::string label, help, group;
    std::optional<double> min, max, step;
    bool readonly = false;
    bool visible = false;                     // the row's own flag
    bool open = false;
    bool noalpha = false;
    std::string trueLabel, falseLabel;
    std::vector<std::pair<int, std::string>> enumValues;  // what an enumeration offers
};
std::optional<RowInfo> GetRow(const std::string& path);

// Names of the rows of a bar or group in the order they are drawn.
std::vector<std::string> RowNames(const std::string& path);

// The text of "GLOBAL help".
std::string GlobalHelp();

// Where the last TwDraw put the help bar (left, top, right, bottom), folded
// or not; nothing when it was not drawn.
std::optional<std::vector<float>> HelpBarRectangle();

// Where the last TwDraw put the value of a bar's row (left, top, right,
// bottom in window pixels), for clicking it with window messages; nothing
// when the row was not drawn.
std::optional<std::vector<float>> ValueRectangle(const std::string& path);
}
