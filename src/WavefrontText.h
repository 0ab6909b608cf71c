// What the OBJ and MTL readers share: a file walked line by line, the
// formatted number scans of the statements and the unique-name maps.
// Internal to the scene units.
#pragma once

#include "Scene.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace KorvanaFramework::WavefrontText
{
// Reads a whole file into memory; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Hands out the lines of a text one by one, counting them. A carriage
// return right before a line feed is not part of the line. A text that ends
// in a line break yields one more, empty, line, and an empty text yields one
// empty line, so the count ends one above the number of line breaks.
class LineCursor
{
public:
    explicit LineCursor(std::string_view text) : rest(text) {}
    bool Next(std::string_view& line);
    std::uint32_t LineNumber() const { return lineNumber; }

private:
    std::string_view rest;
    bool finished = false;
    std::uint32_t lineNumber = 0;
};

// A scan over a piece of text with the rules of a C formatted scan in the
// "C" locale: literals must match exactly where they stand, and every number
// first skips white space. Numbers are decimal only.
class FormatScanner
{
public:
    explicit FormatScanner(std::string_view text) : rest(text) {}
    bool Literal(std::string_view literal);
    // False, and Overflowed from then on, at a number too large for a float.
    bool Float(float& value);
    bool Overflowed() const { return overflowed; }
    // Values beyond the 32-bit range saturate.
    bool Int(std::int32_t& value);

private:
    void SkipWhiteSpace();
    std::string_view rest;
    bool overflowed = false;
};

// Scans "<keyword>%f%f..." from the start of a line into up to `count`
// values and returns how many numbers were converted: none when one of
// them is too large for a float, so that the statement is refused.
int ScanFloats(std::string_view line, std::string_view keyword, float* values, int count);

// Result of walking the statements of a file.
enum class WalkResult
{
    CannotOpen,
    Failed,
    Finished,
};

// Walks every statement line of a file: a line whose first character is
// '#' is a comment, and a line without tokens is skipped. `statement` gets
// the line and its tokens and returns nullptr or an error message; the first
// error stops the walk with `error` and `line` describing it. At the end
// `line` holds the final line count.
template <class Statement>
WalkResult WalkStatements(const std::string& path, std::uint32_t& line, const char*& error,
                          Statement&& statement)
{
    std::string contents;
    if (!ReadWholeFile(path, contents))
        return WalkResult::CannotOpen;
    LineCursor cursor(contents);
    std::vector<std::string_view> tokens;
    std::string_view text;
    while (cursor.Next(text)) {
        line = cursor.LineNumber();
        if (!text.empty() && text.front() == '#')
            continue;
        WavefrontFile::SplitTokens(text, tokens);
        if (tokens.empty())
            continue;
        error = statement(text, tokens);
        if (error)
            return WalkResult::Failed;
    }
    line = cursor.LineNumber();
    return WalkResult::Finished;
}

// Maps each item's name to its index, in order. On the first name met twice
// it stops, leaving only the entries before it, and returns that name in
// `duplicate`.
template <class Items>
bool FillNameMap(const Items& items, std::map<std::string, std::uint32_t>& nameMap, std::string& duplicate)
{
    nameMap.clear();
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        if (!nameMap.emplace(items[i]->name, i).second) {
            duplicate = items[i]->name;
            return false;
        }
    }
    return true;
}
}
