#include "ProjectFile.h"

#include "PathConv.h"
#include "PubFnc.h"

#include <cfenv>
#include <charconv>
#include <cmath>

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The characters of `text` without blanks, which never end a number.
std::wstring WithoutBlanks(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text)
        if (!IsBlank(c)) out += c;
    return out;
}
}

double ReadNumber(const std::wstring& text)
{
    // Gather the number's characters, then convert them without regard to the
    // locale, so "0.35" is exactly the double nearest to 0.35.
    const std::wstring t = WithoutBlanks(text);
    std::string number;
    size_t i = 0;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) number += static_cast<char>(t[i++]);
    size_t digits = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i, ++digits) number += static_cast<char>(t[i]);
    if (i < t.size() && t[i] == L'.') {
        number += '.';
        for (++i; i < t.size() && IsDigit(t[i]); ++i, ++digits) number += static_cast<char>(t[i]);
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (i < t.size() && (t[i] == L'E' || t[i] == L'e' || t[i] == L'D' || t[i] == L'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < t.size() && (t[j] == L'+' || t[j] == L'-')) exponent += static_cast<char>(t[j++]);
        if (j < t.size() && IsDigit(t[j])) {
            for (; j < t.size() && IsDigit(t[j]); ++j) exponent += static_cast<char>(t[j]);
            number += exponent;
        }
    }
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    double value = 0;
    auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too small to tell from 0, or too large for a double.
        if (number.find("e-") != std::string::npos) return 0;
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

std::optional<short> ReadCount(const std::wstring& text)
{
    const double value = ReadNumber(text);
    if (!std::isfinite(value)) return std::nullopt;
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (rounded < -32768 || rounded > 32767) return std::nullopt;
    return static_cast<short>(rounded);
}

std::wstring FormatNumber(long value) { return std::to_wstring(value); }

std::wstring MakeStoredPath(const std::wstring& absolutePath, const std::wstring& projectDir)
{
    return RelativePath(absolutePath, projectDir);
}

std::wstring ResolveStoredPath(const std::wstring& storedPath, const std::wstring& projectDir)
{
    return CanonicalPath(projectDir + L"\\" + storedPath);
}
