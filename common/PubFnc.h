#pragma once
// PubFnc: window caption from the version resource and small path helpers.
#include <windows.h>

#include <array>
#include <optional>
#include <string>

// What a program's or library's version resource says of it.
struct FileVersion {
    std::wstring product;  // empty when it names none
    unsigned parts[4];     // the file version, major first
};
// None when the file has no version resource (or is not there).
std::optional<FileVersion> ReadFileVersion(const std::wstring& path);

// Product name, " Ver ", major version, ".", minor version, from the program's
// own version resource.
std::wstring VersionCaptionText();
void SetVersionCaption(HWND window);

// { folder without the backslash the path was cut at, name }, both unquoted.
std::array<std::wstring, 2> SplitPath(const std::wstring& path);
// The text without its last dot and what follows, wherever that dot stands.
std::wstring StripExtension(const std::wstring& text);
// The extension of the path's last part, from its last dot on (".PNG" of
// "C:\my.dir\shot.PNG", "." of "shot."); empty when that part has no dot.
std::wstring FileExtension(const std::wstring& path);
std::wstring TrimTrailingBackslash(const std::wstring& path);
// Relative path from the folder `base` to the file `target` (".\main.srf",
// "..\other\a.pex"); the empty text when there is none.
std::wstring RelativePath(const std::wstring& target, const std::wstring& base);
