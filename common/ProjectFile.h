#pragma once
// The host project file (.sds) and the VTP file: their sections and keys, and
// how numbers and paths are stored in them.
#include <optional>
#include <string>

namespace Sds {
inline constexpr wchar_t Main[] = L"MAIN";
inline constexpr wchar_t ProjectName[] = L"PROJECT-NAME";
inline constexpr wchar_t LangFile[] = L"LANGFILE";
inline constexpr wchar_t LangFileValue[] = L"piece.slf";
inline constexpr wchar_t Source[] = L"SOURCE";
inline constexpr wchar_t Other[] = L"OTHER";
inline constexpr wchar_t Count[] = L"N";
inline constexpr wchar_t Pex[] = L"PEX";
inline constexpr wchar_t Title[] = L"TITLE";
inline constexpr wchar_t Input[] = L"INPUT";
inline constexpr wchar_t Output[] = L"OUTPUT";
inline constexpr wchar_t Icon[] = L"ICON";
inline constexpr wchar_t FirstSource[] = L"1";
}

namespace Vtp {
inline constexpr wchar_t Main[] = L"MAIN";
inline constexpr wchar_t ProjectName[] = L"PROJECT-NAME";
inline constexpr wchar_t Version[] = L"VER";
inline constexpr wchar_t VersionDefault[] = L"0.34";
inline constexpr double FirstUnconvertedVersion = 0.35;
inline constexpr wchar_t Sources[] = L"C";
inline constexpr wchar_t Files[] = L"FILE";
inline constexpr wchar_t Count[] = L"N";
inline constexpr wchar_t CountDefault[] = L"0";
inline constexpr wchar_t Pex[] = L"PEX";
inline constexpr wchar_t PexKeys[3][7] = {L"INPUT", L"OUTPUT", L"ICON"};
}

// The value of the leading decimal number of `text`: blanks (space, tab, line
// feed) are skipped, "." is the decimal point whatever the locale, the first
// character that cannot continue the number ends it, no number gives 0.
double ReadNumber(const std::wstring& text);

// A list count: ReadNumber rounded half to even; nothing when it does not fit
// a 16-bit signed integer.
std::optional<short> ReadCount(const std::wstring& text);

// Decimal text of a number, "-" in front when negative, no blanks.
std::wstring FormatNumber(long value);

// The stored form of `absolutePath` in a project file whose folder is
// `projectDir`; the empty text (the entry is left out) when there is none.
std::wstring MakeStoredPath(const std::wstring& absolutePath, const std::wstring& projectDir);
// The absolute form of a stored path: the folder, one backslash, the value, canonicalised.
std::wstring ResolveStoredPath(const std::wstring& storedPath, const std::wstring& projectDir);
