// What the OBJ and MTL readers share: a file walked line by line, the
// formatted number scans of the statements and the unique-name maps.
// Internal to the scene units.
#pragma once

#include "Scene.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace KorvanaFramework::WavefrontText
{
// Hands out the lines of a file one by one, counting them, reading the file
// in pieces so that a large one never lies in memory whole. A carriage
// return right before a line feed is not part of the line. A text that ends
// in a line break yields one more, empty, line, and an empty file yields one
// empty line, so the count ends one above the number of line breaks. A line
// stays valid until the next call of Next.
class LineReader
{
public:
    // Only regular files are read: a named pipe or a device such as
    // /dev/zero named by a scene would block the program or fill its memory.
    bool Open(const std::string& path);
    // False after the last line, or at a read error.
    bool Next(std::string_view& line);
    // Whether reading stopped at a read error.
    bool Failed() const { return failed; }
    std::uint32_t LineNumber() const { return lineNumber; }

private:
    bool Fill();

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, std::fclose};
    std::vector<char> buffer;
    std::size_t begin = 0;  // the unread part of the buffer
    std::size_t end = 0;
    bool atEnd = false;  // the file has no more bytes
    bool finished = false;
    bool failed = false;
    std::uint32_t lineNumber = 0;
};

// White space as the "C" locale defines it for formatted scans.
inline bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A scan over a piece of text with the rules of a C formatted scan in the
// "C" locale: literals must match exactly where they stand, and every number
// first skips white space. Numbers are decimal only. The small steps are
// defined here, since faces call them millions of times per large file.
class FormatScanner
{
public:
    explicit FormatScanner(std::string_view text) : rest(text) {}

    // Matches literal text exactly at the current place.
    bool Literal(std::string_view literal)
    {
        if (rest.substr(0, literal.size()) != literal)
            return false;
        rest.remove_prefix(literal.size());
        return true;
    }

    // False, and Overflowed from then on, at a number too large for a float.
    bool Float(float& value);
    bool Overflowed() const { return overflowed; }

    // A decimal integer with optional sign; values beyond the 32-bit range
    // saturate.
    bool Int(std::int32_t& value)
    {
        SkipWhiteSpace();
        const char* at = rest.data();
        const char* const last = at + rest.size();
        const bool negative = at != last && *at == '-';
        if (at != last && (*at == '+' || *at == '-'))
            ++at;
        if (at == last || !IsDigit(*at))
            return false;
        const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
        std::int64_t magnitude = 0;
        for (; at != last && IsDigit(*at); ++at)
            magnitude = std::min(magnitude * 10 + (*at - '0'), limit);
        const std::int64_t signedValue = negative ? -magnitude : std::min(magnitude, limit - 1);
        value = static_cast<std::int32_t>(signedValue);
        rest.remove_prefix(static_cast<std::size_t>(at - rest.data()));
        return true;
    }

private:
    void SkipWhiteSpace()
    {
        while (!rest.empty() && IsScanSpace(rest.front()))
            rest.remove_prefix(1);
    }

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
    LineReader reader;
    if (!reader.Open(path))
        return WalkResult::CannotOpen;
    std::vector<std::string_view> tokens;
    std::string_view text;
    while (reader.Next(text)) {
        line = reader.LineNumber();
        if (!text.empty() && text.front() == '#')
            continue;
        WavefrontFile::SplitTokens(text, tokens);
        if (tokens.empty())
            continue;
        error = statement(text, tokens);
        if (error)
            return WalkResult::Failed;
    }
    if (reader.Failed())
        return WalkResult::CannotOpen;
    line = reader.LineNumber();
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
