#include "DefinitionParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace TweakBar
{
namespace
{
// Flags the library knows; a quote followed by one of them ends a value.
const char* const knownFlags[] = {"hide", "show", "readonly", "readwrite", "open", "close", "noalpha"};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsQuote(char c)
{
    return c == '\'' || c == '"' || c == '`';
}

bool IsKeyChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Walks one line of a definition.
class Scanner
{
public:
    explicit Scanner(const std::string& line) : text(line) {}

    void SkipBlanks()
    {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    }
    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[pos]; }

    // A bar or row name, bare or quoted, ending at a blank or a '/'.
    bool ReadName(std::string& name, std::string& error)
    {
        if (IsQuote(Peek())) {
            const char quote = text[pos];
            const size_t close = text.find(quote, pos + 1);
            if (close == std::string::npos) {
                error = "unterminated quoted name";
                return false;
            }
            name = text.substr(pos + 1, close - pos - 1);
            pos = close + 1;
        } else {
            const size_t begin = pos;
            while (!AtEnd() && !IsBlank(text[pos]) && text[pos] != '/')
                ++pos;
            name = text.substr(begin, pos - begin);
        }
        if (name.empty()) {
            error = "empty name in '" + text + "'";
            return false;
        }
        return true;
    }

    // "a/b/c" followed by a blank or the end of the line.
    bool ReadTarget(std::vector<std::string>& target, std::string& error)
    {
        for (;;) {
            std::string name;
            if (!ReadName(name, error))
                return false;
            target.push_back(name);
            if (Peek() != '/')
                break;
            ++pos;
        }
        if (!AtEnd() && !IsBlank(Peek())) {
            error = "unexpected character after the name in '" + text + "'";
            return false;
        }
        return true;
    }

    bool ReadParameters(std::vector<Parameter>& out, std::string& error)
    {
        for (SkipBlanks(); !AtEnd(); SkipBlanks()) {
            Parameter parameter;
            if (!ReadParameter(parameter, error))
                return false;
            out.push_back(parameter);
        }
        return true;
    }

private:
    bool ReadParameter(Parameter& parameter, std::string& error)
    {
        const size_t begin = pos;
        while (!AtEnd() && IsKeyChar(text[pos]))
            ++pos;
        parameter.name = text.substr(begin, pos - begin);
        parameter.name = Lower(parameter.name);
        if (parameter.name.empty() || (!AtEnd() && !IsBlank(Peek()) && Peek() != '=')) {
            error = "malformed parameter at '" + text.substr(begin) + "'";
            return false;
        }
        const size_t afterName = pos;
        SkipBlanks();
        if (Peek() != '=') {
            pos = afterName;  // a flag standing alone
            return true;
        }
        ++pos;
        SkipBlanks();
        parameter.hasValue = true;
        return IsQuote(Peek()) ? ReadQuotedValue(parameter, error) : ReadBareValue(parameter, error);
    }

    bool ReadBareValue(Parameter& parameter, std::string& error)
    {
        const size_t begin = pos;
        while (!AtEnd() && !IsBlank(text[pos]))
            ++pos;
        parameter.value = text.substr(begin, pos - begin);
        if (parameter.value.empty()) {
            error = "missing value of '" + parameter.name + "'";
            return false;
        }
        return true;
    }

    // A quoted value ends at a quote that is followed by the end of the line
    // or by the next parameter, so that a help text may quote a word itself
    // ("Wspolrzedna 'w' jest tylko do odczytu").
    bool ReadQuotedValue(Parameter& parameter, std::string& error)
    {
        const char quote = text[pos];
        for (size_t close = text.find(quote, pos + 1); close != std::string::npos;
             close = text.find(quote, close + 1)) {
            if (EndsValue(close + 1)) {
                parameter.value = text.substr(pos + 1, close - pos - 1);
                pos = close + 1;
                return true;
            }
        }
        error = "unterminated quoted value of '" + parameter.name + "'";
        return false;
    }

    // True when the text from at on is blank or begins the next parameter.
    bool EndsValue(size_t at) const
    {
        if (at >= text.size())
            return true;
        if (!IsBlank(text[at]))
            return false;
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        const size_t keyBegin = at;
        while (at < text.size() && IsKeyChar(text[at]))
            ++at;
        if (keyBegin == text.size())
            return true;
        if (at == keyBegin)
            return false;
        const std::string key = text.substr(keyBegin, at - keyBegin);
        const bool flagEnds = at == text.size() || IsBlank(text[at]);
        while (at < text.size() && IsBlank(text[at]))
            ++at;
        if (at < text.size() && text[at] == '=')
            return true;
        return flagEnds && std::find_if(std::begin(knownFlags), std::end(knownFlags), [&](const char* flag) {
                               return key == flag;
                           }) != std::end(knownFlags);
    }

    const std::string& text;
    size_t pos = 0;
};

// Splits at line breaks that are not inside a quoted value.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    char quote = '\0';
    for (char c : text) {
        if (quote == '\0' && (c == '\n' || c == '\r')) {
            lines.emplace_back();
            continue;
        }
        if (quote == '\0' && IsQuote(c))
            quote = c;
        else if (c == quote)
            quote = '\0';
        lines.back() += c;
    }
    return lines;
}
}

bool ParseDefinitions(const std::string& text, std::vector<Definition>& out, std::string& error)
{
    std::vector<Definition> parsed;
    for (const std::string& line : SplitLines(text)) {
        Scanner scanner(line);
        scanner.SkipBlanks();
        if (scanner.AtEnd())
            continue;
        Definition definition;
        if (!scanner.ReadTarget(definition.target, error) || !scanner.ReadParameters(definition.parameters, error))
            return false;
        parsed.push_back(std::move(definition));
    }
    if (parsed.empty()) {
        error = "empty definition";
        return false;
    }
    out = std::move(parsed);
    return true;
}

bool ParseParameters(const std::string& text, std::vector<Parameter>& out, std::string& error)
{
    Scanner scanner(text);
    return scanner.ReadParameters(out, error);
}

std::optional<double> ParseNumber(const std::string& raw)
{
    std::string text = Trim(raw);
    if (!text.empty() && text[0] == '+')
        text.erase(0, 1);
    if (text.size() > 1 && (text.back() == 'f' || text.back() == 'F'))
        text.pop_back();
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> ParseBool(const std::string& raw)
{
    const std::string text = Lower(Trim(raw));
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    return std::nullopt;
}

namespace
{
// Reads an integer at pos, skipping blanks before it.
bool ReadInteger(const std::string& text, size_t& pos, int& value)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    const char* begin = text.data() + pos;
    const auto result = std::from_chars(begin, text.data() + text.size(), value);
    if (result.ec != std::errc())
        return false;
    pos += result.ptr - begin;
    return true;
}
}

std::optional<std::vector<int>> ParseIntegers(const std::string& text, size_t count)
{
    std::vector<int> values(count);
    size_t pos = 0;
    for (int& value : values) {
        if (!ReadInteger(text, pos, value) || (pos < text.size() && !IsBlank(text[pos])))
            return std::nullopt;
    }
    if (!Trim(text.substr(pos)).empty())
        return std::nullopt;
    return values;
}

std::optional<std::vector<std::pair<int, std::string>>> ParseEnumValues(const std::string& text)
{
    std::vector<std::pair<int, std::string>> values;
    size_t pos = 0;
    for (;;) {
        int value = 0;
        if (!ReadInteger(text, pos, value))
            return std::nullopt;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        const size_t close = text.find('}', pos);
        if (pos >= text.size() || text[pos] != '{' || close == std::string::npos)
            return std::nullopt;
        const bool repeated = std::any_of(values.begin(), values.end(), [&](const auto& v) { return v.first == value; });
        if (repeated)
            return std::nullopt;
        values.emplace_back(value, text.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        if (pos >= text.size())
            return values;
        if (text[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}
}
