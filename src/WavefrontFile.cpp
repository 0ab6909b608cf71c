#define KORVANA_UNIT "src/WavefrontFile"

#include "Scene.h"
#include "Log.h"
#include "WavefrontText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <locale.h>
#include <memory>

namespace KorvanaFramework
{
// One format for every reader error, so the user finds file and line.
void WavefrontFile::FileErrorLog(const std::string& message, const std::string& path,
                                 std::uint32_t line) const
{
    LOG_ERROR("Błąd odczytu pliku: " << path << "\n --> (Linia: " << line << ") " << message);
}

// Only blanks separate tokens, so a tab keeps a keyword and its numbers
// together as one token that matches no keyword.
void WavefrontFile::SplitTokens(std::string_view line, std::vector<std::string_view>& tokens)
{
    tokens.clear();
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] == ' ') {
            ++pos;
            continue;
        }
        std::size_t end = line.find(' ', pos);
        if (end == std::string_view::npos)
            end = line.size();
        tokens.push_back(line.substr(pos, end - pos));
        pos = end;
    }
}

namespace WavefrontText
{
namespace
{
// White space as the "C" locale defines it for formatted scans.
bool IsScanSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A decimal number too large or too small for a float: converted the slow
// way so that it underflows towards zero, as a formatted scan does. False
// when it is too large: read as infinity it would reach the geometry.
bool OutOfRangeFloat(const char* first, const char* last, float& value)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(first, last);
    const double converted = strtod_l(copy.c_str(), nullptr, cLocale);
    if (!(std::fabs(converted) <= FLT_MAX))
        return false;
    value = static_cast<float>(converted);
    return true;
}
}

// The whole file at once: one read is much faster than line-wise stream
// input, and lines are then views into one buffer. Only regular files are
// read: a named pipe or a device such as /dev/zero named by a scene would
// block the program or fill its memory.
bool ReadWholeFile(const std::string& path, std::string& contents)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return false;
    contents.clear();
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error)
        contents.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        contents.append(buffer, got);
    return !std::ferror(file.get());
}

// Steps to the next line; false once the text is exhausted.
bool LineCursor::Next(std::string_view& line)
{
    if (finished)
        return false;
    ++lineNumber;
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) {
        line = rest;
        rest = {};
        finished = true;
        return true;
    }
    line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    rest.remove_prefix(end + 1);
    return true;
}

void FormatScanner::SkipWhiteSpace()
{
    while (!rest.empty() && IsScanSpace(rest.front()))
        rest.remove_prefix(1);
}

// Matches literal text exactly at the current place.
bool FormatScanner::Literal(std::string_view literal)
{
    if (rest.substr(0, literal.size()) != literal)
        return false;
    rest.remove_prefix(literal.size());
    return true;
}

// A decimal floating-point number with optional sign and exponent and a
// full stop as decimal separator, read the same in every locale.
bool FormatScanner::Float(float& value)
{
    SkipWhiteSpace();
    const char* first = rest.data();
    const char* last = rest.data() + rest.size();
    const char* digits = first;
    if (digits != last && (*digits == '+' || *digits == '-'))
        ++digits;
    const bool startsNumber =
        digits != last && (IsDigit(*digits) || (*digits == '.' && digits + 1 != last && IsDigit(digits[1])));
    if (!startsNumber)
        return false;
    const char* from = *first == '+' ? digits : first;
    const auto result = std::from_chars(from, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        overflowed = !OutOfRangeFloat(from, result.ptr, value);
        if (overflowed)
            return false;
    } else if (result.ec != std::errc()) {
        return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(result.ptr - first));
    return true;
}

// A decimal integer with optional sign.
bool FormatScanner::Int(std::int32_t& value)
{
    SkipWhiteSpace();
    std::size_t pos = 0;
    const bool negative = pos < rest.size() && rest[pos] == '-';
    if (pos < rest.size() && (rest[pos] == '+' || rest[pos] == '-'))
        ++pos;
    if (pos == rest.size() || !IsDigit(rest[pos]))
        return false;
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; pos < rest.size() && IsDigit(rest[pos]); ++pos)
        magnitude = std::min(magnitude * 10 + (rest[pos] - '0'), limit);
    const std::int64_t signedValue = negative ? -magnitude : std::min(magnitude, limit - 1);
    value = static_cast<std::int32_t>(signedValue);
    rest.remove_prefix(pos);
    return true;
}

int ScanFloats(std::string_view line, std::string_view keyword, float* values, int count)
{
    FormatScanner scanner(line);
    if (!scanner.Literal(keyword))
        return 0;
    int converted = 0;
    while (converted < count && scanner.Float(values[converted]))
        ++converted;
    return scanner.Overflowed() ? 0 : converted;
}
}
}
