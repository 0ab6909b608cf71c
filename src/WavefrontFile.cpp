#define KORVANA_UNIT "src/WavefrontFile"

#include "Scene.h"
#include "Log.h"
#include "WavefrontText.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
// together as one token that matches no keyword. Tokens are a few bytes
// long, so a plain scan beats a library search per token.
void WavefrontFile::SplitTokens(std::string_view line, std::vector<std::string_view>& tokens)
{
    tokens.clear();
    const char* const first = line.data();
    const char* const last = first + line.size();
    const char* at = first;
    while (at != last) {
        if (*at == ' ') {
            ++at;
            continue;
        }
        const char* end = at;
        while (end != last && *end != ' ')
            ++end;
        tokens.emplace_back(at, static_cast<std::size_t>(end - at));
        at = end;
    }
}

namespace WavefrontText
{
namespace
{
// How much of a file is read at once.
constexpr std::size_t PieceSize = 1 << 20;

// Seven digits at most, without exponent, as exporters write coordinates:
// the digits as an integer and the power of ten of the decimals are then
// both exact floats, so their quotient is rounded exactly as a full
// conversion rounds the number. Returns where the number ends, or null,
// having set nothing, for any other number.
const char* ShortDecimal(const char* first, const char* last, float& value)
{
    static const float PowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    static const std::uint32_t IntPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    constexpr std::size_t MaxDigits = 7;
    const char* at = first;
    const bool negative = *at == '-';
    if (negative)
        ++at;
    const std::size_t whole = DigitRun(at, last);
    std::uint32_t number = whole == 0 ? 0 : DigitsValue(at, whole);
    at += whole;
    std::size_t decimals = 0;
    if (whole <= MaxDigits && at != last && *at == '.') {
        ++at;
        decimals = DigitRun(at, last);
        if (decimals != 0 && whole + decimals <= MaxDigits)
            number = number * IntPowersOfTen[decimals] + DigitsValue(at, decimals);
        at += decimals;
    }
    const std::size_t count = whole + decimals;
    if (count == 0 || count > MaxDigits || (at != last && (*at == 'e' || *at == 'E')))
        return nullptr;
    const float magnitude = static_cast<float>(number) / PowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return at;
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

// A decimal floating-point number with optional sign and exponent and a
// full stop as decimal separator, read the same in every locale. Returns
// where it ends, or null when none starts at `first`; `overflowed` is set
// for a number too large for a float.
const char* ScanFloat(const char* first, const char* last, float& value, bool& overflowed)
{
    const char* digits = first;
    if (digits != last && (*digits == '+' || *digits == '-'))
        ++digits;
    const bool startsNumber =
        digits != last && (IsDigit(*digits) || (*digits == '.' && digits + 1 != last && IsDigit(digits[1])));
    if (!startsNumber)
        return nullptr;
    const char* from = *first == '+' ? digits : first;
    if (const char* end = ShortDecimal(from, last, value))
        return end;
    const auto result = std::from_chars(from, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        overflowed = !OutOfRangeFloat(from, result.ptr, value);
        if (overflowed)
            return nullptr;
    } else if (result.ec != std::errc()) {
        return nullptr;
    }
    return result.ptr;
}
}

bool NextLine(const TextPiece& piece, std::size_t& offset, std::string_view& line)
{
    if (offset > piece.size || (offset == piece.size && !piece.last))
        return false;
    const char* first = piece.bytes.data() + offset;
    const std::size_t rest = piece.size - offset;
    const auto* lineFeed = static_cast<const char*>(std::memchr(first, '\n', rest));
    if (lineFeed == nullptr) {
        line = std::string_view(first, rest);
        offset = piece.size + 1;
        return true;
    }
    line = std::string_view(first, static_cast<std::size_t>(lineFeed - first));
    offset += line.size() + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}

bool PieceReader::Open(const std::string& path, std::size_t pieceSize)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    file.reset(std::fopen(path.c_str(), "rb"));
    // A small file is read at once into a buffer of its own size.
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    fileSize = error ? 0 : size;
    readSize = error ? pieceSize : static_cast<std::size_t>(std::min<std::uintmax_t>(size + 1, pieceSize));
    return file != nullptr;
}

// The piece starts with the line the last one left unfinished and ends
// after the last line feed read; a line that no read of the buffer's size
// finishes doubles the buffer.
bool PieceReader::Next(TextPiece& piece)
{
    if (finished)
        return false;
    std::size_t size = carried.size();
    if (piece.bytes.size() < size + readSize + ReadAhead)
        piece.bytes.resize(size + readSize + ReadAhead);
    std::copy(carried.begin(), carried.end(), piece.bytes.begin());
    for (;;) {
        const std::size_t capacity = piece.bytes.size() - ReadAhead;
        const std::size_t got = std::fread(piece.bytes.data() + size, 1, capacity - size, file.get());
        if (std::ferror(file.get())) {
            failed = finished = true;
            return false;
        }
        const char* fresh = piece.bytes.data() + size;
        size += got;
        if (got == 0 || std::feof(file.get())) {
            piece.size = size;
            piece.last = finished = true;
            carried.clear();
            return true;
        }
        const auto* lineFeed = static_cast<const char*>(memrchr(fresh, '\n', got));
        if (lineFeed != nullptr) {
            piece.size = static_cast<std::size_t>(lineFeed - piece.bytes.data()) + 1;
            piece.last = false;
            carried.assign(piece.bytes.data() + piece.size, piece.bytes.data() + size);
            return true;
        }
        if (size == capacity)
            piece.bytes.resize(2 * capacity + ReadAhead);
    }
}

bool LineReader::Open(const std::string& path)
{
    return pieces.Open(path, PieceSize);
}

bool LineReader::Next(std::string_view& line)
{
    for (;;) {
        if (started && NextLine(piece, offset, line)) {
            ++lineNumber;
            return true;
        }
        if (!pieces.Next(piece))
            return false;
        started = true;
        offset = 0;
    }
}

int ScanFloats(std::string_view line, std::string_view keyword, float* values, int count)
{
    if (line.substr(0, keyword.size()) != keyword)
        return 0;
    const char* at = line.data() + keyword.size();
    const char* const last = line.data() + line.size();
    bool overflowed = false;
    int converted = 0;
    for (; converted < count; ++converted) {
        while (at != last && IsScanSpace(*at))
            ++at;
        const char* end = ScanFloat(at, last, values[converted], overflowed);
        if (!end)
            break;
        at = end;
    }
    return overflowed ? 0 : converted;
}
}
}
