// What the OBJ and MTL readers share: a file walked line by line, the
// formatted number scans of the statements and the unique-name maps.
// Internal to the scene units.
#pragma once

#include "Scene.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace KorvanaFramework::WavefrontText
{
// How many bytes after the end of every line handed out by LineReader can
// be read (their values are unspecified), so that scans may load a word of
// digits at once.
constexpr std::size_t ReadAhead = 8;

// A piece of a file: whole lines, followed by ReadAhead readable bytes.
struct TextPiece
{
    // The text, then ReadAhead bytes that are never filled.
    std::vector<char> bytes;
    std::size_t size = 0;
    // The piece holds the end of the file: the text after its last line
    // feed, empty or not, is one more line.
    bool last = false;
};

// The next line of `piece` from `offset`, which it moves past the line;
// false once the piece has no more. A carriage return right before a line
// feed is not part of the line.
bool NextLine(const TextPiece& piece, std::size_t& offset, std::string_view& line);

// Reads a file in pieces that end at a line feed, so that no line is split
// and a large file never lies in memory whole; a line longer than a piece
// makes its piece longer. A text that ends in a line break yields one more,
// empty, line, and an empty file yields one empty line, so the lines of all
// pieces count one above the number of line breaks.
class PieceReader
{
public:
    // Only regular files are read: a named pipe or a device such as
    // /dev/zero named by a scene would block the program or fill its memory.
    bool Open(const std::string& path, std::size_t pieceSize);
    // Refills `piece` with the next piece; false after the last one, or at a
    // read error.
    bool Next(TextPiece& piece);
    // Whether reading stopped at a read error.
    bool Failed() const { return failed; }
    // The file's size as Open found it; 0 when unknown.
    std::uintmax_t FileSize() const { return fileSize; }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, std::fclose};
    // The start of a line that the last piece read but did not hand out.
    std::vector<char> carried;
    std::size_t readSize = 0;
    bool finished = false;
    bool failed = false;
    std::uintmax_t fileSize = 0;
};

// Hands out the lines of a file one by one, counting them. A line stays
// valid until the next call of Next and is followed by ReadAhead readable
// bytes.
class LineReader
{
public:
    bool Open(const std::string& path);
    // False after the last line, or at a read error.
    bool Next(std::string_view& line);
    // Whether reading stopped at a read error.
    bool Failed() const { return pieces.Failed(); }
    std::uint32_t LineNumber() const { return lineNumber; }

private:
    PieceReader pieces;
    TextPiece piece;
    std::size_t offset = 0;
    bool started = false;
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

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the digit scans load words low byte first");

// The eight bytes at `at` as one word, the first byte lowest.
inline std::uint64_t LoadWord(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// How many of the eight bytes at `at` are decimal digits before the first
// other byte: 0 to 8. A byte's test can be disturbed only by a carry from a
// byte before it that is no digit, so the count is exact.
inline std::size_t DigitRun(const char* at)
{
    const std::uint64_t word = LoadWord(at);
    const std::uint64_t highNibbles = 0xF0F0F0F0F0F0F0F0ull, threes = 0x3030303030303030ull;
    const std::uint64_t notDigit =
        ((word & highNibbles) ^ threes) | (((word + 0x0606060606060606ull) & highNibbles) ^ threes);
    return notDigit == 0 ? 8 : static_cast<std::size_t>(__builtin_ctzll(notDigit)) / 8;
}

// The value of the `count` (1 to 8) decimal digits at `at`, combined in
// pairs, fours and eights within one word.
inline std::uint32_t DigitsValue(const char* at, std::size_t count)
{
    std::uint64_t word = (LoadWord(at) & 0x0F0F0F0F0F0F0F0Full) << (8 * (8 - count));
    word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FFull;
    word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFFull;
    return static_cast<std::uint32_t>(word * 10000 + (word >> 32));
}

// The run of digits at `at`, at most eight and not beyond `last`, which
// must be followed by ReadAhead readable bytes.
inline std::size_t DigitRun(const char* at, const char* last)
{
    return std::min(DigitRun(at), static_cast<std::size_t>(last - at));
}

// A scan over a piece of text with the rules of a C formatted scan in the
// "C" locale: literals must match exactly where they stand, and every number
// first skips white space. Integers are decimal only. The small steps are
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
};

// Scans "<keyword>%f%f..." from the start of a line into up to `count`
// values and returns how many numbers were converted: none when one of
// them is too large for a float, so that the statement is refused. The
// line must be followed by ReadAhead readable bytes, as LineReader's are.
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
